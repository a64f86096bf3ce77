MATRIX m; texture t;
technique { pass { vertexshader = (XYZ | Normal | tex1); cullmode = none; colorop[1] = modulate; texture[1] = <t>; worldtransform[2] = <m>; } /* c */ }
