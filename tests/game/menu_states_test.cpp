// The states outside play driven through the game's update step: what the whole-program tests do
// not reach (cursor wrap, play in progress, the initials entry, the credits after EXIT).
#include "menu_flow_fixture.h"

#include <string>
#include <vector>

namespace {

std::vector<std::string> Items(const CMyD3DApplication &app) {
    return {app.m_menuItems, app.m_menuItems + app.m_nItemCount};
}

int FramesUntilStateLeaves(CMyD3DApplication &app, GameState state, int limit) {
    int frames = 0;
    while (app.m_gameState == state && frames < limit) {
        app.UpdateFrame();
        ++frames;
    }
    return frames;
}

} // namespace

TEST_F(MenuFlowTest, CursorWrapsAndKeysWaitForTheDelay) {
    Enter(GameState::MainMenu);
    Press(DIK_UP);
    EXPECT_EQ(app->m_nMainMenuCursor, 4); // from the first item to the last
    Press(DIK_DOWN);                      // too soon after the last key
    EXPECT_EQ(app->m_nMainMenuCursor, 4);
    Settle();
    Press(DIK_DOWN);
    EXPECT_EQ(app->m_nMainMenuCursor, 0);

    // During a game the list starts with RESUME GAME.
    app->m_bGameInProgress = true;
    Run();
    EXPECT_EQ(Items(*app).front(), "RESUME GAME");
    EXPECT_EQ(app->m_nItemCount, 6);
}

TEST_F(MenuFlowTest, TheMainMenuKeepsItsItemAcrossAnIdleVisit) {
    Enter(GameState::MainMenu);
    app->m_nMainMenuCursor = 2;
    FramesUntilStateLeaves(*app, GameState::MainMenu, 2000);
    EXPECT_EQ(app->m_gameState, GameState::HallOfFame);
    Settle();
    Press(DIK_RETURN);
    EXPECT_EQ(app->m_gameState, GameState::MainMenu);
    EXPECT_EQ(app->m_nMainMenuCursor, 2);
}

TEST_F(MenuFlowTest, EscapeResumesAGameOnlyWhileOneIsInProgress) {
    Enter(GameState::MainMenu);
    Press(DIK_ESCAPE);
    EXPECT_EQ(app->m_gameState, GameState::MainMenu);

    app->m_bGameInProgress = true;
    app->m_nMainMenuCursor = 3;
    app->m_fStateTimer = 0.16f; // past the key delay, not yet past Escape's
    Press(DIK_ESCAPE);
    EXPECT_EQ(app->m_gameState, GameState::MainMenu);
    Settle();
    Press(DIK_ESCAPE);
    EXPECT_EQ(app->m_gameState, GameState::Playing);
    EXPECT_EQ(app->m_nMainMenuCursor, 0);
}

TEST_F(MenuFlowTest, DifficultyMenuOpensOnNormalAndEscapeReturnsToNewGame) {
    for (bool inGame : {false, true}) {
        app->m_bGameInProgress = inGame;
        Enter(GameState::MainMenu);
        app->m_nMainMenuCursor = inGame ? 1 : 0;
        Press(DIK_RETURN);
        ASSERT_EQ(app->m_gameState, GameState::DifficultyMenu);
        EXPECT_EQ(app->m_nMainMenuCursor, 2);
        EXPECT_EQ(Items(*app)[2], "NORMAL");
        Settle();
        Press(DIK_DOWN);
        app->m_fStateTimer = 0.16f;
        Press(DIK_ESCAPE); // Escape waits 0.2 s
        EXPECT_EQ(app->m_gameState, GameState::DifficultyMenu);
        Settle();
        Press(DIK_ESCAPE);
        EXPECT_EQ(app->m_gameState, GameState::MainMenu);
        EXPECT_EQ(Items(*app)[app->m_nMainMenuCursor], "NEW GAME");
    }
}

TEST_F(MenuFlowTest, InitialsNeedThreeLettersAndTheScoreTakesItsPlace) {
    for (int i = 0; i < kHallOfFameRows; ++i)
        app->m_hallOfFame[i] = {"AAA", static_cast<DWORD>(10000 * (10 - i))};
    app->m_dwTotalScore = 70000; // equal to the fourth entry, above the fifth
    Enter(GameState::InitialsEntry);
    auto type = [this](BYTE key) {
        Press(key);
        Settle();
    };
    Press(DIK_BACK); // nothing to take back
    EXPECT_EQ(app->m_nInitialsCount, 0);
    type(DIK_X);
    type(DIK_Y);
    Settle();
    Press(DIK_RETURN); // two letters are not enough
    EXPECT_EQ(app->m_gameState, GameState::InitialsEntry);
    Settle();
    Press(DIK_BACK);
    Settle();
    type(DIK_Z);
    type(DIK_Q);
    type(DIK_W); // a fourth letter is ignored
    EXPECT_STREQ(app->m_initials, "XZQ");
    Press(DIK_RETURN);
    EXPECT_EQ(app->m_gameState, GameState::HallOfFame);
    EXPECT_EQ(app->m_nInitialsCount, 0);
    EXPECT_STREQ(app->m_hallOfFame[4].initials, "XZQ");
    EXPECT_EQ(app->m_hallOfFame[4].score, 70000u);
    EXPECT_EQ(app->m_hallOfFame[3].score, 70000u);
    EXPECT_EQ(app->m_hallOfFame[5].score, 60000u);
    EXPECT_EQ(app->m_hallOfFame[9].score, 20000u); // the old tenth is gone
}

TEST_F(MenuFlowTest, TheInsertionWalkStaysInTheTableWhateverTheStoredOrder) {
    // Rows restored worst first: every row above is lower, so the walk climbs to row 0 and stops.
    for (int i = 0; i < kHallOfFameRows; ++i)
        app->m_hallOfFame[i] = {"AAA", static_cast<DWORD>(10000 * (i + 1))};
    app->m_dwTotalScore = 95000;
    Enter(GameState::InitialsEntry);
    for (BYTE key : {DIK_X, DIK_Y, DIK_Z}) {
        Press(key);
        Settle();
    }
    Press(DIK_RETURN);
    ASSERT_EQ(app->m_gameState, GameState::HallOfFame);
    EXPECT_STREQ(app->m_hallOfFame[0].initials, "XYZ");
    EXPECT_EQ(app->m_hallOfFame[0].score, 95000u);
    for (int i = 1; i < kHallOfFameRows; ++i)
        EXPECT_EQ(app->m_hallOfFame[i].score, static_cast<DWORD>(10000 * i)) << i;
}

TEST_F(MenuFlowTest, AfterExitTheCreditsWaitForAKeyThenQuit) {
    Enter(GameState::MainMenu);
    app->m_nMainMenuCursor = 4;
    Press(DIK_RETURN);
    EXPECT_TRUE(app->m_bExitChosen);
    Run(static_cast<int>(30.0f / kStep)); // no time-out after EXIT
    EXPECT_EQ(app->m_gameState, GameState::Credits);
    Press(DIK_ESCAPE);
    EXPECT_TRUE(app->m_bQuit);
}
