// The game application's records and its construction defaults.
#include "game/asteroid_game.h"

#include <gtest/gtest.h>

#include <cstddef>

TEST(AsteroidGameRecords, LayoutsMatchTheirStoredSizes) {
    // The input record is 256 key bytes then seventeen 32-bit flags then the letter.
    EXPECT_EQ(offsetof(InputState, bUp), 256u);
    EXPECT_EQ(offsetof(InputState, cLetter), 256u + 17u * 4u);
    EXPECT_EQ(sizeof(HallOfFameEntry), 8u);
    EXPECT_EQ(sizeof(WaveEntry), 16u);
    EXPECT_EQ(static_cast<int>(GameState::StationSequence), 14);
}

TEST(AsteroidGameConstruction, SetsWindowAndEmptyObjects) {
    CMyD3DApplication app;
    EXPECT_EQ(app.m_dwCreationWidth, 640u);
    EXPECT_EQ(app.m_dwCreationHeight, 480u);
    EXPECT_STREQ(app.m_strWindowTitle, "Tarvos");
    EXPECT_TRUE(app.m_bUseDepthBuffer);
    EXPECT_EQ(app.m_pMusicPerformance, nullptr);
    EXPECT_EQ(app.m_pSoundManager, nullptr);
    EXPECT_EQ(app.m_pStationOrderSound, nullptr);
    EXPECT_EQ(app.m_pController, nullptr);
    for (BYTE key : app.m_input.keys)
        EXPECT_EQ(key, 0);
    EXPECT_EQ(app.m_input.bLetterTyped, 0u);
    EXPECT_EQ(app.AcceptDeviceCaps(nullptr, 0, D3DFMT_UNKNOWN), 0);
    EXPECT_EQ(app.PrepareDeviceResources(), 0);
}
