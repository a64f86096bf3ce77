// The device call log: calls in order with their arguments, refused calls included, nothing
// recorded until a test starts it; and one program per state combination, however often drawn.
#include "pipeline_fixture.h"

using namespace pipeline_test;

TEST_F(PipelineTest, CallLogRecordsCallsInOrderWithArguments) {
    m_device->SetRenderState(D3DRS_ZBIAS, 3); // before the log starts
    seams::StartDeviceCallLog();
    m_device->SetRenderState(D3DRS_ZBIAS, 16);
    m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    m_device->SetTexture(0, nullptr);
    m_device->LightEnable(2, FALSE);
    m_device->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_TEX1);
    m_device->SetRenderState(D3DRS_SRCBLEND, 99); // refused, still logged
    seams::StopDeviceCallLog();
    m_device->SetRenderState(D3DRS_ZBIAS, 0);
    const std::vector<std::string> expected = {
        "SetRenderState(47, 16)", "SetTextureStageState(1, 1, 7)", "SetTexture(0, NULL)",
        "LightEnable(2, 0)",      "SetVertexShader(260)",          "SetRenderState(19, 99)"};
    EXPECT_EQ(seams::DeviceCallTexts(), expected);
    seams::ResetAll();
    EXPECT_TRUE(seams::DeviceCalls().empty());
}

TEST_F(PipelineTest, OneProgramPerStateCombination) {
    LookAlongZ();
    const ColourVertex v[3] = {
        {-1, 1, 10, 0xFFFFFFFF}, {1, 1, 10, 0xFFFFFFFF}, {-1, -1, 10, 0xFFFFFFFF}};
    m_device->SetVertexShader(kColourFvf);
    Begin();
    for (int i = 0; i < 10; ++i) {
        m_device->SetRenderState(D3DRS_LIGHTING, i % 2);
        D3DMATRIX world = Identity();
        world._41 = static_cast<float>(i) * 0.1f; // uniform changes build nothing
        m_device->SetTransform(D3DTS_WORLD, &world);
        ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(ColourVertex)), S_OK);
    }
    m_device->EndScene();
    EXPECT_EQ(seams::D3D8ProgramCount(m_device), 2u);
}

TEST_F(PipelineTest, ProgramThatFailsToBuildSkipsTheDrawOnly) {
    LookAlongZ();
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    const ColourVertex v[3] = {
        {-20, 20, 10, 0xFFFFFFFF}, {20, 20, 10, 0xFFFFFFFF}, {-20, -20, 10, 0xFFFFFFFF}};
    m_device->SetVertexShader(kColourFvf);
    seams::InjectFailure("CompileProgram", 1);
    ::testing::internal::CaptureStderr();
    Begin();
    EXPECT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(ColourVertex)), S_OK);
    EXPECT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(ColourVertex)), S_OK);
    End("program_failed");
    const std::string errors = ::testing::internal::GetCapturedStderr();
    // Reported once, with the compiler's log; nothing drawn.
    EXPECT_NE(errors.find("failed to compile"), std::string::npos);
    EXPECT_EQ(errors.find("failed to compile"), errors.rfind("failed to compile"));
    EXPECT_TRUE(Near(At(10, 10), {0, 0, 0}, 0));
    // Another state combination still draws.
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    D3DMATERIAL8 m{};
    m.Emissive = {1, 1, 1, 1};
    m_device->SetMaterial(&m);
    m_device->SetVertexShader(D3DFVF_XYZ);
    const float p[3][3] = {{-20, 20, 10}, {20, 20, 10}, {-20, -20, 10}};
    Begin();
    EXPECT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, p, 12), S_OK);
    End("program_other");
    EXPECT_TRUE(Near(At(10, 10), {255, 255, 255}, 0));
}

TEST_F(PipelineTest, CallLogFollowsAFrame) {
    LookAlongZ();
    const ColourVertex v[3] = {
        {-1, 1, 10, 0xFFFFFFFF}, {1, 1, 10, 0xFFFFFFFF}, {-1, -1, 10, 0xFFFFFFFF}};
    m_device->SetVertexShader(kColourFvf);
    seams::StartDeviceCallLog();
    m_device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    m_device->BeginScene();
    m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(ColourVertex));
    m_device->EndScene();
    m_device->Present(nullptr, nullptr, nullptr, nullptr);
    const std::vector<std::string> texts = seams::DeviceCallTexts();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0], "Clear(0, 2, 0, 1.0, 0)");
    EXPECT_EQ(texts[1], "BeginScene()");
    EXPECT_EQ(texts[2].rfind("DrawPrimitiveUP(4, 1, ", 0), 0u) << texts[2];
    EXPECT_EQ(texts[3], "EndScene()");
    EXPECT_EQ(texts[4], "Present()");
}
