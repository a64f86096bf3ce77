texture texCubeMap;
matrix matWorld;
matrix matView;
matrix matProject;
technique Cube
{
pass P0
{
ZFunc = LessEqual;
ZWriteEnable = true;
VertexShader = xyz | normal;
WorldTransform[0] = <matWorld>;
ViewTransform = <matView>;
ProjectionTransform = <matProject>;
Texture[0] = <texCubeMap>;
MinFilter[0] = Linear;
MagFilter[0] = Linear;
AddressU[0] = Clamp;
AddressV[0] = Clamp;
AddressW[0] = Clamp;
ColorOp[0] = SelectArg1;
ColorArg1[0] = Texture;
TexCoordIndex[0] = CameraSpaceReflectionVector;
TextureTransformFlags[0] = Count3;
}
}
