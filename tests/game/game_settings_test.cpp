// Settings and hall of fame in the store: a damaged store starts the game with defaults where a
// value cannot be used, and what that run saves is clean and is what the next process reads.
#include "game/asteroid_game.h"
#include "platform/test_seams.h"
#include "tests/build_folder.h"
#include "tests/framework/app_test_seams.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr const char *kParentRoot = "TARVOS_SETTINGS_PARENT_ROOT";

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarvos-settings-XXXXXX";
        m_folder = ::mkdtemp(pattern);
        const char *parent = std::getenv(kParentRoot);
        seams::UseRegistryRoot(parent ? parent : m_folder);
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tarvos", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &m_key, nullptr);
    }
    void TearDown() override {
        RegCloseKey(m_key);
        seams::ResetAll();
        std::filesystem::remove_all(m_folder);
    }
    void Set(const char *name, DWORD type, const std::string &bytes) {
        RegSetValueExA(m_key, name, 0, type, reinterpret_cast<const BYTE *>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
    }
    static std::string Dword(DWORD value) {
        return std::string(reinterpret_cast<char *>(&value), 4);
    }
    std::string m_folder;
    HKEY m_key = nullptr;
};

void ExpectRepaired(const CMyD3DApplication &app) {
    EXPECT_TRUE(app.m_bWindowed == TRUE && app.m_bWantedWindowed);
    EXPECT_TRUE(app.m_bInvertPitch && !app.m_bHeadlight && app.m_bReflection && app.m_bBrisaVenner);
    EXPECT_EQ(app.m_dwCreationWidth * 10000 + app.m_dwCreationHeight, 10240480u);
    EXPECT_EQ(app.m_wantedFullScreenMode.Format, D3DFMT_X8R8G8B8);
    // A number is taken as it stands, even where the options menu would never put it.
    EXPECT_EQ(app.m_dwSteeringSensitivity, 4000000000u);
    // The rows as stored, out of order too, each score with its own initials.
    const DWORD scores[] = {5, 90000, 80000, 70000, 60000, 999999, 40000, 30000, 20000, 10000};
    for (int row = 0; row < kHallOfFameRows; ++row) {
        EXPECT_EQ(app.m_hallOfFame[row].score, scores[row]);
        EXPECT_STREQ(app.m_hallOfFame[row].initials, row == 2 ? "AB" : "???");
    }
}

TEST_F(Settings, AFirstStartTakesTheDefaults) {
    CMyD3DApplication app;
    EXPECT_TRUE(!app.m_bWindowed && !app.m_bWantedWindowed && app.m_bInvertPitch);
    EXPECT_EQ(app.m_dwCreationWidth * 10000 + app.m_dwCreationHeight, 6400480u);
    EXPECT_EQ(app.m_wantedFullScreenMode.Format, D3DFMT_R5G6B5);
}

TEST_F(Settings, ASizeBeyondTheDisplaysLargestIsReadAsTheDefaultAndAWindowedRunSavesTheDesktop) {
    seams::OverrideD3D8Adapters({seams::StandardD3D8Adapter(1024, 768)});
    Set("Windowed", REG_DWORD, Dword(1));
    Set("Width", REG_DWORD, Dword(16384));
    Set("Height", REG_DWORD, Dword(16384));
    const auto size = [](const CMyD3DApplication &app) {
        EXPECT_EQ(app.m_wantedFullScreenMode.Width, app.m_dwCreationWidth);
        EXPECT_EQ(app.m_wantedFullScreenMode.Height, app.m_dwCreationHeight);
        return app.m_dwCreationWidth * 10000 + app.m_dwCreationHeight;
    };
    EXPECT_EQ(size(CMyD3DApplication()), 6400480u);
    // The display's own largest mode is taken; one pixel more is not.
    Set("Width", REG_DWORD, Dword(1024));
    Set("Height", REG_DWORD, Dword(769));
    EXPECT_EQ(size(CMyD3DApplication()), 10240480u);
    Set("Height", REG_DWORD, Dword(768));

    // Started at that size in a window as large as the desktop, the game runs in a window that
    // fits the desktop, and a clean exit stores the desktop's mode for the next start.
    const std::filesystem::path folder = std::filesystem::current_path();
    std::filesystem::current_path(test_support::BinaryDir() / "media");
    RegCloseKey(m_key);
    test_support::UseApplicationTestSeams();
    seams::UseRegistryRoot(m_folder);
    seams::OverrideD3D8Adapters({seams::StandardD3D8Adapter(1024, 768)});
    {
        CMyD3DApplication app;
        EXPECT_EQ(size(app), 10240768u);
        ASSERT_EQ(app.Startup(GetModuleHandleA(nullptr)), S_OK);
        RECT client{};
        GetClientRect(app.m_hWnd, &client);
        EXPECT_LT(client.right * client.bottom, 1024 * 768);
        EXPECT_EQ(app.m_backBufferDesc.Width, static_cast<UINT>(client.right));
        SendMessageA(app.m_hWnd, WM_CLOSE, 0, 0);
    }
    std::filesystem::current_path(folder);
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tarvos", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &m_key, nullptr);
    DWORD width = 0, height = 0, bytes = 4;
    RegQueryValueExA(m_key, "Width", nullptr, nullptr, reinterpret_cast<BYTE *>(&width), &bytes);
    RegQueryValueExA(m_key, "Height", nullptr, nullptr, reinterpret_cast<BYTE *>(&height), &bytes);
    EXPECT_EQ(width * 10000 + height, 10240768u);
}

TEST_F(Settings, ADamagedStoreStartsWithDefaultsAndIsSavedCleanForTheNextRun) {
    Set("Windowed", REG_DWORD, Dword(7));
    Set("Width", REG_DWORD, Dword(1024));
    Set("Height", REG_SZ, std::string("800", 4)); // as a number, far too tall for a window
    Set("Format", REG_DWORD, Dword(D3DFMT_X8R8G8B8));
    Set("InvertPitchControl", REG_SZ, std::string("0", 2));
    Set("Headlight", REG_DWORD, Dword(0));
    Set("SteeringSensitivity", REG_DWORD, Dword(4000000000u));
    Set("Name0", REG_SZ, std::string("ABCDEFG", 8));
    Set("Name1", REG_SZ, "XYZW"); // no terminator, and no room for one
    Set("Name2", REG_SZ, "AB");
    Set("Score0", REG_DWORD, Dword(5));
    Set("Score5", REG_DWORD, Dword(999999));
    RegCloseKey(m_key);
    CMyD3DApplication app;
    ExpectRepaired(app);
    ASSERT_EQ(app.SaveSettings(), ERROR_SUCCESS);
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv(kParentRoot, m_folder.c_str(), 1);
        ::execl("/proc/self/exe", "child", "--gtest_filter=Settings.NextRun", nullptr);
        ::_exit(127);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
}

TEST_F(Settings, NextRun) {
    if (!std::getenv(kParentRoot))
        GTEST_SKIP() << "the second process of ADamagedStoreStartsWithDefaultsAndIsSavedClean...";
    ExpectRepaired(CMyD3DApplication());
    for (std::string name : {"Windowed", "Width", "Height", "InvertPitchControl",
                             "SteeringSensitivity", "Name0", "Name1", "Score0"}) {
        DWORD type = 0, size = 0;
        RegQueryValueExA(m_key, name.c_str(), nullptr, &type, nullptr, &size);
        EXPECT_EQ(std::pair(type, size), std::pair(name[0] == 'N' ? REG_SZ : REG_DWORD, 4u))
            << name;
    }
}

} // namespace
