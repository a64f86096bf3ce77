// The options menu through the game's update step: its item texts, the values Left and Right walk,
// the switches, and leaving it without applying a mode. The mode change itself needs a device and
// is exercised by the whole-program tests.
#include "menu_flow_fixture.h"

#include <string>

namespace {

std::string Item(const CMyD3DApplication &app, int i) {
    return app.m_menuItems[i];
}

} // namespace

class OptionsMenuTest : public MenuFlowTest {
protected:
    void SetUp() override {
        MenuFlowTest::SetUp();
        app->m_dwChosenModeIndex = 0;
        app->m_bInvertPitch = true;
        app->m_bHeadlight = true;
        app->m_bReflection = false;
        app->m_bBrisaVenner = true;
        app->m_dwSteeringSensitivity = 5;
        Enter(GameState::MainMenu);
        app->m_nMainMenuCursor = 1; // OPTIONS
        Press(DIK_RETURN);
    }
    // One accepted key, then one frame more so the items show its effect (they are built before
    // the keys are read).
    void Step(BYTE key) {
        Settle();
        Press(key);
        Run();
    }
};

TEST_F(OptionsMenuTest, ItemsShowValuesAndMarkTheHighlightedOne) {
    ASSERT_EQ(app->m_gameState, GameState::OptionsMenu);
    EXPECT_EQ(app->m_nMainMenuCursor, 1);
    ASSERT_EQ(app->m_nItemCount, 7);
    EXPECT_EQ(Item(*app, 0), "MODE{640X480X32}");
    EXPECT_EQ(Item(*app, 1), ")INVERT PITCH");
    EXPECT_EQ(Item(*app, 2), ")HEADLIGHT");
    EXPECT_EQ(Item(*app, 3), "(REFLECTIONS");
    EXPECT_EQ(Item(*app, 4), ")BRISA VENNER");
    EXPECT_EQ(Item(*app, 5).rfind("SENSITIVITY ", 0), 0u);
    EXPECT_EQ(Item(*app, 6), "DONE");

    Step(DIK_RIGHT);
    EXPECT_EQ(Item(*app, 0), "MODE{800X600X16}"); // R5G6B5 is a 16-bit mode
    Step(DIK_RIGHT);
    EXPECT_EQ(Item(*app, 0), "MODE{1024X768X32}");
    Step(DIK_RIGHT); // past the last mode to the first
    EXPECT_EQ(app->m_dwOptionsModeIndex, 0u);
    Step(DIK_LEFT); // before the first to the last
    EXPECT_EQ(app->m_dwOptionsModeIndex, 2u);
    Step(DIK_DOWN);
    EXPECT_EQ(Item(*app, 0), "MODE 1024X768X32 ");
    Step(DIK_UP);
    Step(DIK_UP); // from the first item to DONE
    EXPECT_EQ(app->m_nOptionsCursor, 6);
}

TEST_F(OptionsMenuTest, SensitivityWrapsBothWaysAndSwitchesFlip) {
    app->m_nOptionsCursor = 5;
    app->m_dwSteeringSensitivity = 0;
    Step(DIK_LEFT);
    EXPECT_EQ(app->m_dwSteeringSensitivity, 10u);
    Step(DIK_RIGHT);
    EXPECT_EQ(app->m_dwSteeringSensitivity, 0u);
    Step(DIK_RETURN); // nothing to do on the slider
    EXPECT_EQ(app->m_dwSteeringSensitivity, 0u);
    EXPECT_EQ(app->m_gameState, GameState::OptionsMenu);
    // A stored value beyond the slider shows no mark; Left steps down, Right starts again at 0.
    app->m_dwSteeringSensitivity = 11;
    Run();
    EXPECT_EQ(Item(*app, 5), "SENSITIVITY{<===========>}");
    Step(DIK_LEFT);
    EXPECT_EQ(app->m_dwSteeringSensitivity, 10u);
    app->m_dwSteeringSensitivity = 0xFFFFFFFFu;
    Run();
    EXPECT_EQ(Item(*app, 5), "SENSITIVITY{<===========>}");
    Step(DIK_RIGHT);
    EXPECT_EQ(app->m_dwSteeringSensitivity, 0u);
    Step(DIK_UP);
    Step(DIK_UP);
    Step(DIK_UP);
    Step(DIK_RETURN);
    EXPECT_FALSE(app->m_bHeadlight);
}

TEST_F(OptionsMenuTest, LeavingKeepsSwitchesButNotAnUnappliedMode) {
    Step(DIK_RIGHT);
    Step(DIK_DOWN);
    Step(DIK_RIGHT);
    Step(DIK_ESCAPE);
    EXPECT_EQ(app->m_gameState, GameState::MainMenu);
    EXPECT_EQ(app->m_nItemCount, 5); // the main menu's items, built by the second pass
    EXPECT_FALSE(app->m_bInvertPitch);
    EXPECT_EQ(app->m_dwChosenModeIndex, 0u);

    // Opened again, the menu shows the mode in use.
    Step(DIK_RETURN);
    EXPECT_EQ(Item(*app, 0), "MODE{640X480X32}");

    // DONE with the mode unchanged goes back without a device.
    app->m_nOptionsCursor = 6;
    Step(DIK_RETURN);
    EXPECT_EQ(app->m_gameState, GameState::MainMenu);
    EXPECT_EQ(app->m_pDevice, nullptr);
}

TEST_F(OptionsMenuTest, AModeIndexOutsideTheListIsKeptAndNeverApplied) {
    // The chosen mode belongs to a device with more modes than this one.
    app->m_dwChosenModeIndex = app->m_dwOptionsModeIndex = 5;
    app->m_bActive = app->m_bReady = TRUE; // a mode change would reach for the (absent) device
    Run();
    EXPECT_EQ(Item(*app, 0), "MODE{640X480X32}"); // shown from the first record
    EXPECT_EQ(app->m_dwOptionsModeIndex, 5u);
    Step(DIK_LEFT);
    EXPECT_EQ(app->m_dwOptionsModeIndex, 4u);
    Step(DIK_RETURN); // still outside the list: nothing to apply
    EXPECT_EQ(app->m_dwChosenModeIndex, 5u);
    Step(DIK_RIGHT); // past the end of the list to the first mode
    EXPECT_EQ(app->m_dwOptionsModeIndex, 0u);
    // DONE with the index the menu opened with leaves the device alone.
    app->m_dwOptionsModeIndex = 5;
    app->m_nOptionsCursor = 6;
    Step(DIK_RETURN);
    EXPECT_EQ(app->m_gameState, GameState::MainMenu);
    EXPECT_EQ(app->m_dwChosenModeIndex, 5u);
}

TEST_F(OptionsMenuTest, TwentyIdleSecondsLeaveForTheHallOfFame) {
    Step(DIK_DOWN);
    Step(DIK_RETURN);
    for (int i = 0; i < 1100 && app->m_gameState == GameState::OptionsMenu; ++i)
        Run();
    EXPECT_EQ(app->m_gameState, GameState::HallOfFame);
    EXPECT_FALSE(app->m_bInvertPitch);
}
