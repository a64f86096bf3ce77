// The effect on a device: the reflection text creates, Begin gives its one pass, Pass applies the
// states and parameters, End puts back every state and transform the technique touched.
#include "tests/platform/d3dx/dds_writer.h"
#include "tests/platform/d3dx/device_fixture.h"
#include "tests/platform/d3dx/fixture_files.h"

#include <algorithm>

namespace {

using d3dx_test::DeviceTest;

class EffectTest : public DeviceTest {
protected:
    ID3DXEffect *CreateReflection() {
        const std::vector<std::uint8_t> text = testing_xfile::ReadFixture("effect/reflection.fx");
        EXPECT_EQ(text.size(), 535u);
        ID3DXEffect *effect = nullptr;
        EXPECT_EQ(D3DXCreateEffect(m_device, text.data(), static_cast<UINT>(text.size()), &effect,
                                   nullptr),
                  S_OK);
        return effect;
    }

    DWORD Stage(D3DTEXTURESTAGESTATETYPE type) {
        DWORD value = 0;
        m_device->GetTextureStageState(0, type, &value);
        return value;
    }
    DWORD Render(D3DRENDERSTATETYPE type) {
        DWORD value = 0;
        m_device->GetRenderState(type, &value);
        return value;
    }
};

bool Logged(const std::vector<std::string> &calls, const std::string &call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

TEST_F(EffectTest, BeginPassEndAppliesThenRestoresWhatTheTechniqueTouches) {
    ID3DXEffect *effect = CreateReflection();
    ASSERT_NE(effect, nullptr);
    IDirect3DCubeTexture8 *cube = nullptr;
    ASSERT_EQ(m_device->CreateCubeTexture(4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &cube), S_OK);
    ASSERT_EQ(effect->SetTexture("texCubeMap", cube), S_OK);
    D3DXMATRIX world, view, projection;
    D3DXMatrixTranslation(&world, 1, 2, 3);
    D3DXMatrixTranslation(&view, 0, 0, 7);
    D3DXMatrixScaling(&projection, 2, 2, 1);
    EXPECT_EQ(effect->SetMatrix("matWorld", &world), S_OK);
    EXPECT_EQ(effect->SetMatrix("matView", &view), S_OK);
    EXPECT_EQ(effect->SetMatrix("matProject", &projection), S_OK);
    EXPECT_LT(effect->SetMatrix("texCubeMap", &world), 0) << "not a matrix parameter";
    EXPECT_LT(effect->SetTexture("nothing", cube), 0);

    // States the game leaves behind before the reflective draw.
    m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    m_device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    const D3DMATRIX before = pipeline_test::Identity();
    m_device->SetTransform(D3DTS_WORLD, &before);
    const DWORD texCoordIndex = Stage(D3DTSS_TEXCOORDINDEX);
    const DWORD transformFlags = Stage(D3DTSS_TEXTURETRANSFORMFLAGS);
    const DWORD colourOp = Stage(D3DTSS_COLOROP);

    seams::StartDeviceCallLog();
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 0), S_OK);
    EXPECT_EQ(passes, 1u);
    ASSERT_EQ(effect->Pass(0), S_OK);
    EXPECT_EQ(Render(D3DRS_ZFUNC), static_cast<DWORD>(D3DCMP_LESSEQUAL));
    EXPECT_EQ(Render(D3DRS_ZWRITEENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(Stage(D3DTSS_TEXCOORDINDEX), D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
    EXPECT_EQ(Stage(D3DTSS_TEXTURETRANSFORMFLAGS), static_cast<DWORD>(D3DTTFF_COUNT3));
    EXPECT_EQ(Stage(D3DTSS_ADDRESSU), static_cast<DWORD>(D3DTADDRESS_CLAMP));
    EXPECT_EQ(Stage(D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG1));
    D3DMATRIX applied{};
    m_device->GetTransform(D3DTS_WORLD, &applied);
    EXPECT_FLOAT_EQ(applied._42, 2.0f);
    m_device->GetTransform(D3DTS_PROJECTION, &applied);
    EXPECT_FLOAT_EQ(applied._11, 2.0f);
    const std::vector<std::string> passCalls = seams::DeviceCallTexts();
    EXPECT_TRUE(Logged(passCalls, "SetVertexShader(18)")) << "xyz | normal";
    bool boundCube = false;
    for (const std::string &call : passCalls)
        boundCube |= call.rfind("SetTexture(0, ", 0) == 0 && call != "SetTexture(0, NULL)";
    EXPECT_TRUE(boundCube);

    ASSERT_EQ(effect->End(), S_OK);
    EXPECT_EQ(Render(D3DRS_ZFUNC), static_cast<DWORD>(D3DCMP_ALWAYS));
    EXPECT_EQ(Render(D3DRS_ZWRITEENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(Stage(D3DTSS_TEXCOORDINDEX), texCoordIndex);
    EXPECT_EQ(Stage(D3DTSS_TEXTURETRANSFORMFLAGS), transformFlags);
    EXPECT_EQ(Stage(D3DTSS_ADDRESSU), static_cast<DWORD>(D3DTADDRESS_WRAP));
    EXPECT_EQ(Stage(D3DTSS_COLOROP), colourOp);
    m_device->GetTransform(D3DTS_WORLD, &applied);
    EXPECT_FLOAT_EQ(applied._42, 0.0f);
    // The restores went through the device, after the pass's own settings.
    const std::vector<std::string> calls = seams::DeviceCallTexts();
    const auto restore =
        std::find(calls.begin(), calls.end(),
                  "SetTextureStageState(0, " + std::to_string(D3DTSS_TEXCOORDINDEX) + ", " +
                      std::to_string(texCoordIndex) + ")");
    EXPECT_NE(restore, calls.end());

    EXPECT_LT(effect->Pass(0), 0) << "no pass outside Begin/End";
    EXPECT_LT(effect->End(), 0);
    // The effect keeps its own reference to the texture.
    EXPECT_EQ(cube->Release(), 1u);
    EXPECT_EQ(effect->Release(), 0u);
}

TEST_F(EffectTest, ReflectiveQuadShowsTheCubeFaceBehindTheCamera) {
    // Faces in file order +X, -X, +Y, -Y, +Z, -Z, each one flat colour.
    const std::uint32_t colours[6] = {0xFFFF0000, 0xFF00FFFF, 0xFF00FF00,
                                      0xFFFF00FF, 0xFFFFFF00, 0xFF0000FF};
    const std::string file =
        Write("cubemap.dds",
              testing_dds::DdsWriter::Write(
                  8, 8, 1, true, {}, [&](int face, int, int, int) { return colours[face]; }));
    IDirect3DCubeTexture8 *cube = nullptr;
    ASSERT_EQ(D3DXCreateCubeTextureFromFileA(m_device, file.c_str(), &cube), S_OK);
    const std::string mesh = WriteText(
        "mirror.x", "xof 0303txt 0032\nMesh Mirror {\n 4;\n -4;-4;5;, -4;4;5;, 4;4;5;, 4;-4;5;;\n"
                    " 2; 3;0,1,2;, 3;0,2,3;;\n"
                    " MeshNormals { 1; 0.0;0.0;-1.0;; 2; 3;0,0,0;, 3;0,0,0;; }\n}\n");
    ID3DXMesh *loaded = nullptr;
    ASSERT_EQ(D3DXLoadMeshFromX(mesh.c_str(), 0, m_device, nullptr, nullptr, nullptr, &loaded),
              S_OK);
    ID3DXMesh *clone = nullptr;
    ASSERT_EQ(
        loaded->CloneMeshFVF(D3DXMESH_SYSTEMMEM, D3DFVF_XYZ | D3DFVF_NORMAL, m_device, &clone),
        S_OK);
    loaded->Release();
    ID3DXEffect *effect = CreateReflection();
    ASSERT_NE(effect, nullptr);
    effect->SetTexture("texCubeMap", cube);

    LookAlongZ();
    D3DXMATRIX world, view, projection;
    m_device->GetTransform(D3DTS_WORLD, &world);
    m_device->GetTransform(D3DTS_VIEW, &view);
    m_device->GetTransform(D3DTS_PROJECTION, &projection);
    effect->SetMatrix("matWorld", &world);
    effect->SetMatrix("matView", &view);
    effect->SetMatrix("matProject", &projection);
    IDirect3DVertexBuffer8 *vb = nullptr;
    IDirect3DIndexBuffer8 *ib = nullptr;
    clone->GetVertexBuffer(&vb);
    clone->GetIndexBuffer(&ib);
    Begin();
    m_device->SetStreamSource(0, vb, 24);
    m_device->SetIndices(ib, 0);
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 0), S_OK);
    for (UINT pass = 0; pass < passes; ++pass) {
        effect->Pass(pass);
        m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, clone->GetNumVertices(), 0,
                                       clone->GetNumFaces());
    }
    effect->End();
    End("d3dx-effect-reflection");
    // Looking along +z at a mirror facing -z, the reflection points back along -z.
    EXPECT_TRUE(pipeline_test::Near(At(32, 32), pipeline_test::Rgb{0, 0, 255}, 8));
    vb->Release();
    ib->Release();
    clone->Release();
    effect->Release();
    cube->Release();
}

TEST_F(EffectTest, DoNotSaveStateLeavesThePassStates) {
    ID3DXEffect *effect = CreateReflection();
    ASSERT_NE(effect, nullptr);
    ASSERT_EQ(effect->SetTexture("texCubeMap", nullptr), S_OK);
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, D3DXFX_DONOTSAVESTATE), S_OK);
    ASSERT_EQ(effect->Pass(0), S_OK);
    ASSERT_EQ(effect->End(), S_OK);
    EXPECT_EQ(Stage(D3DTSS_TEXCOORDINDEX), D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
    effect->Release();
}

TEST_F(EffectTest, TextOutsideTheLanguageIsRefusedWithItsReason) {
    const char text[] = "technique T { pass P { Fog = Sideways; } }";
    ID3DXEffect *effect = reinterpret_cast<ID3DXEffect *>(0x1);
    ID3DXBuffer *errors = nullptr;
    EXPECT_LT(D3DXCreateEffect(m_device, text, sizeof text - 1, &effect, &errors), 0);
    EXPECT_EQ(effect, nullptr);
    ASSERT_NE(errors, nullptr);
    EXPECT_GT(errors->GetBufferSize(), 1u);
    errors->Release();
    effect = reinterpret_cast<ID3DXEffect *>(0x1);
    EXPECT_LT(D3DXCreateEffect(m_device, nullptr, 10, &effect, nullptr), 0);
    EXPECT_EQ(effect, nullptr);
}

TEST_F(EffectTest, ShadersCannotBeAssembledNorCreated) {
    ID3DXBuffer *code = reinterpret_cast<ID3DXBuffer *>(0x1);
    EXPECT_LT(D3DXAssembleShaderFromFileA("shader.vsh", 0, nullptr, &code, nullptr), 0);
    EXPECT_EQ(code, nullptr);
    DWORD handle = 5;
    const DWORD declaration[] = {0xFFFFFFFF};
    EXPECT_LT(m_device->CreateVertexShader(declaration, nullptr, &handle, 0), 0);
}

} // namespace
