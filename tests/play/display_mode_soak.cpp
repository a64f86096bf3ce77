// The options menu's display-mode change on the real game application and devices: many changes
// in one run leave nothing behind, and a change that fails ends the program cleanly with the
// settings saved.
#include "game/asteroid_game.h"
#include "platform/test_seams.h"
#include "tests/build_folder.h"
#include "tests/framework/app_test_seams.h"
#include "tests/scratch_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace {

class DisplayModeTest : public ::testing::Test {
protected:
    void SetUp() override {
        test_support::UseApplicationTestSeams();
        m_settings.Use("modes");
        m_oldFolder = std::filesystem::current_path();
        std::filesystem::current_path(test_support::BinaryDir() / "media");
        m_glBefore = seams::LiveGlObjects();
        app = std::make_unique<CMyD3DApplication>();
        ASSERT_EQ(app->Startup(GetModuleHandleA(nullptr)), S_OK);
        app->m_gameState = GameState::OptionsMenu;
    }
    void TearDown() override {
        if (IsWindow(app->m_hWnd))
            SendMessageA(app->m_hWnd, WM_CLOSE, 0, 0);
        app.reset();
        EXPECT_EQ(seams::LiveD3D8Objects(), 0);
        EXPECT_EQ(seams::LiveGlObjects(), m_glBefore);
        std::filesystem::current_path(m_oldFolder);
        seams::TakeMessageBoxes();
        seams::TakeDebugOutput();
        seams::ResetAll();
        m_settings.Remove();
    }

    // The options menu's own keys: Right on the mode item picks the next mode, Enter applies it.
    HRESULT ChooseNextModeAndApply() {
        app->m_nOptionsCursor = 0;
        app->m_input = {};
        app->m_input.bRight = 1;
        app->m_fStateTimer = 1.0f;
        app->m_fElapsedTime = 0.02f;
        EXPECT_EQ(app->UpdateOptionsMenu(), 0);
        app->m_input.bRight = 0;
        app->m_input.bEnter = 1;
        app->m_fStateTimer = 1.0f;
        return app->UpdateOptionsMenu();
    }
    const DeviceRecord &Device() const {
        const AdapterRecord &adapter = app->m_adapters[app->m_dwCurrentAdapter];
        return adapter.devices[adapter.dwCurrentDevice];
    }

    std::unique_ptr<CMyD3DApplication> app;
    test_support::ScratchSettingsStore m_settings;
    std::filesystem::path m_oldFolder;
    int m_glBefore = 0;
};

} // namespace

TEST_F(DisplayModeTest, TwoHundredChangesKeepOneDeviceAndReleaseEverythingAtTheEnd) {
    ASSERT_GT(Device().dwModeCount, 1u);
    const int liveAtStart = seams::LiveD3D8Objects();
    for (int i = 0; i < 200; ++i) {
        const DWORD wanted = (app->m_dwChosenModeIndex + 1) % Device().dwModeCount;
        ASSERT_EQ(ChooseNextModeAndApply(), 0) << "change " << i;
        ASSERT_EQ(app->m_dwChosenModeIndex, wanted);
        ASSERT_EQ(Device().dwCurrentMode, wanted);
        ASSERT_NE(app->m_pDevice, nullptr);
        ASSERT_TRUE(app->m_bReady);
        ASSERT_EQ(app->AdvanceFrame(), S_OK);
    }
    EXPECT_EQ(seams::LiveD3D8Objects(), liveAtStart);
    EXPECT_TRUE(seams::TakeMessageBoxes().empty());
}

TEST_F(DisplayModeTest, AFailedChangeClosesTheProgramAndSavesTheSettings) {
    app->m_dwSteeringSensitivity = 9;
    seams::InjectFailure("CreateDevice", seams::kFailAlways, D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_TRUE(FAILED(ChooseNextModeAndApply()));
    EXPECT_FALSE(IsWindow(app->m_hWnd));
    EXPECT_EQ(app->m_pDevice, nullptr);
    const auto boxes = seams::TakeMessageBoxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_NE(boxes.back().text.find("This program will now exit."), std::string::npos);

    seams::ReloadRegistry();
    std::ifstream file(seams::RegistryFilePath(HKEY_CURRENT_USER));
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find("SteeringSensitivity"), std::string::npos) << text.str();
}

TEST_F(DisplayModeTest, ADeviceStillHeldAfterItsReleaseEndsTheProgram) {
    seams::InjectFailure("DeviceRelease");
    EXPECT_EQ(ChooseNextModeAndApply(), AppError::NonZeroReferenceCount);
    EXPECT_FALSE(IsWindow(app->m_hWnd));
}
