// A settings store filled past (or up to) its limits by hand: the game still saves its options and
// hall of fame, and the next run reads them back.
#include "game/asteroid_game.h"
#include "platform/test_seams.h"
#include "platform/win32/registry_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string foreignKeys(std::size_t count) {
    std::string text = "tarvos-registry 1\n";
    for (std::size_t i = 0; i < count; ++i)
        text += "key \"Other\\" + std::to_string(i) + "\"\n";
    return text + "end\n";
}

std::string foreignValues(std::size_t count) {
    std::string text = "tarvos-registry 1\nkey \"Other\"\n";
    for (std::size_t i = 0; i < count; ++i)
        text += "value \"v" + std::to_string(i) + "\" 4 4 01000000\n";
    return text + "end\n";
}

TEST(SettingsStoreLimits, AFullOrOverfullStoreStillKeepsTheOptionsAndTheHallOfFame) {
    using win32::registry::kMaxKeys;
    using win32::registry::kMaxValues;
    char pattern[] = "/tmp/tarvos-settings-limits-XXXXXX";
    const std::string folder = ::mkdtemp(pattern);
    seams::UseRegistryRoot(folder);
    seams::CaptureDebugOutput(true);
    const std::string stores[] = {foreignKeys(kMaxKeys + 1000), foreignValues(kMaxValues + 5000),
                                  foreignKeys(kMaxKeys - 1), foreignValues(kMaxValues)};
    for (const std::string &store : stores) {
        SCOPED_TRACE(store.substr(18, 40));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::ofstream(seams::RegistryFilePath(HKEY_CURRENT_USER), std::ios::binary) << store;
        seams::ReloadRegistry();
        {
            CMyD3DApplication app;
            app.m_bHeadlight = false;
            app.m_dwSteeringSensitivity = 9;
            app.m_hallOfFame[0] = HallOfFameEntry{"ZED", 123456};
            EXPECT_EQ(app.SaveSettings(), ERROR_SUCCESS);
        }
        EXPECT_NE(seams::TakeDebugOutput().find("clean store"), std::string::npos);

        seams::ReloadRegistry();
        CMyD3DApplication next;
        EXPECT_FALSE(next.m_bHeadlight);
        EXPECT_TRUE(next.m_bReflection);
        EXPECT_EQ(next.m_dwSteeringSensitivity, 9u);
        EXPECT_STREQ(next.m_hallOfFame[0].initials, "ZED");
        EXPECT_EQ(next.m_hallOfFame[0].score, 123456u);
        EXPECT_EQ(seams::TakeDebugOutput(), "");
    }
    seams::CaptureDebugOutput(false);
    seams::ResetAll();
    std::filesystem::remove_all(folder);
}

// The game's own values in a store over its limits, after everything else: they are what the
// next start reads, not the defaults.
TEST(SettingsStoreLimits, AStoreOverItsLimitsStillGivesTheGameItsOwnValues) {
    using win32::registry::kMaxKeys;
    using win32::registry::kMaxValues;
    const std::string own = "key \"Software\\Tarvos\"\n"
                            "value \"SteeringSensitivity\" 4 4 07000000\n"
                            "value \"Name0\" 1 4 5a454400\n"
                            "value \"Score0\" 4 4 40e20100\n"
                            "end\n";
    char pattern[] = "/tmp/tarvos-settings-limits-XXXXXX";
    const std::string folder = ::mkdtemp(pattern);
    seams::UseRegistryRoot(folder);
    seams::CaptureDebugOutput(true);
    for (std::string store : {foreignKeys(kMaxKeys + 1000), foreignValues(kMaxValues + 5000)}) {
        SCOPED_TRACE(store.substr(18, 40));
        store.replace(store.size() - 4, 4, own);
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::ofstream(seams::RegistryFilePath(HKEY_CURRENT_USER), std::ios::binary) << store;
        seams::ReloadRegistry();
        for (const char *run : {"first start", "next start"}) {
            SCOPED_TRACE(run);
            CMyD3DApplication app;
            EXPECT_EQ(app.m_dwSteeringSensitivity, 7u);
            EXPECT_STREQ(app.m_hallOfFame[0].initials, "ZED");
            EXPECT_EQ(app.m_hallOfFame[0].score, 123456u);
            EXPECT_EQ(app.m_hallOfFame[1].score, 90000u);
            EXPECT_EQ(app.SaveSettings(), ERROR_SUCCESS);
            seams::ReloadRegistry();
        }
        const std::string trace = seams::TakeDebugOutput();
        EXPECT_NE(trace.find("kept key \"Software\\Tarvos\""), std::string::npos) << trace;
    }
    seams::CaptureDebugOutput(false);
    seams::ResetAll();
    std::filesystem::remove_all(folder);
}

} // namespace
