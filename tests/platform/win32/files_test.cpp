// Names the program gives (Windows letter case and separators) resolved on a case-sensitive file
// system, full path names, read-only handles and the case-insensitive comparison.
#include "platform/test_seams.h"
#include "platform/win32/win32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Runs each case in a fresh temporary working folder, as the game runs in its media folder.
class Files : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = fs::current_path();
        char pattern[] = "/tmp/tarvos-files-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
        fs::current_path(m_folder);
    }
    void TearDown() override {
        fs::current_path(m_previous);
        fs::remove_all(m_folder);
        seams::ResetAll();
    }
    static void touch(const fs::path &path, const std::string &text = "x") {
        fs::create_directories(path.parent_path().empty() ? "." : path.parent_path());
        std::ofstream(path) << text;
    }
    fs::path m_previous;
    fs::path m_folder;
};

TEST_F(Files, ResolveKeepsNamesThatExistAsWritten) {
    touch("Media/Ship.x");
    EXPECT_EQ(win32::ResolveFileName("Media/Ship.x"), "Media/Ship.x");
    EXPECT_EQ(win32::ResolveFileName("Media\\Ship.x"), "Media/Ship.x");
}

TEST_F(Files, ResolveMatchesEveryComponentWithoutRegardToCase) {
    touch("Media/Sounds/Laser.WAV");
    EXPECT_EQ(win32::ResolveFileName("media\\SOUNDS\\laser.wav"), "Media/Sounds/Laser.WAV");
    EXPECT_EQ(win32::ResolveFileName("./MEDIA/sounds/../Sounds/LASER.wav"),
              "./Media/Sounds/../Sounds/Laser.WAV");
    const std::string absolute = (m_folder / "media" / "sounds" / "laser.wav").string();
    EXPECT_EQ(win32::ResolveFileName(absolute.c_str()),
              (m_folder / "Media" / "Sounds" / "Laser.WAV").string());
}

TEST_F(Files, ResolvePicksOneMatchDeterministicallyWhenNamesDifferOnlyInCase) {
    touch("font.PNG", "upper");
    touch("font.png", "lower");
    EXPECT_EQ(win32::ResolveFileName("FONT.PNG"), "font.PNG");
}

TEST_F(Files, ResolveReturnsTheNameWhenNothingMatches) {
    touch("Media/a.x");
    EXPECT_EQ(win32::ResolveFileName("missing.x"), "missing.x");
    EXPECT_EQ(win32::ResolveFileName("media\\missing.x"), "media/missing.x");
    EXPECT_EQ(win32::ResolveFileName(""), "");
    EXPECT_EQ(win32::ResolveFileName(nullptr), "");
}

TEST_F(Files, FullPathFoldsDotsAndPointsAtTheFilePart) {
    char buffer[1024];
    char *filePart = nullptr;
    const DWORD length = GetFullPathNameA("sub\\..\\.\\ship.x", sizeof buffer, buffer, &filePart);
    const std::string expected = (m_folder / "ship.x").string();
    EXPECT_EQ(length, expected.size());
    EXPECT_EQ(std::string(buffer), expected);
    ASSERT_NE(filePart, nullptr);
    EXPECT_STREQ(filePart, "ship.x");

    EXPECT_EQ(GetFullPathNameA("/a/b/", sizeof buffer, buffer, &filePart), 5u);
    EXPECT_STREQ(buffer, "/a/b/");
    EXPECT_EQ(filePart, nullptr);
    EXPECT_EQ(GetFullPathNameA("/../..", sizeof buffer, buffer, &filePart), 1u);
    EXPECT_STREQ(buffer, "/");
}

TEST_F(Files, FullPathReportsTheSizeNeededWithoutWritingPastTheBuffer) {
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    char *filePart = buffer;
    EXPECT_EQ(GetFullPathNameA("/folder/file.x", 8, buffer, &filePart), 15u);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(filePart, nullptr);
    EXPECT_EQ(GetFullPathNameA("", 8, buffer, &filePart), 0u);
    EXPECT_EQ(GetFullPathNameA(nullptr, 8, buffer, &filePart), 0u);
}

TEST_F(Files, CreateFileOpensExistingFilesForReadingOnly) {
    touch("Media/Cubemap.dds");
    HANDLE file = CreateFileA("MEDIA\\cubemap.dds", GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ASSERT_NE(win32::ObjectFromHandle<win32::FileObject>(file), nullptr);
    char byte = 0;
    EXPECT_EQ(::read(win32::ObjectFromHandle<win32::FileObject>(file)->Descriptor(), &byte, 1), 1);
    EXPECT_EQ(byte, 'x');
    EXPECT_TRUE(CloseHandle(file));

    EXPECT_EQ(CreateFileA("missing.dds", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                          nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(
        CreateFileA("Media", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr),
        INVALID_HANDLE_VALUE)
        << "a folder is not a file";
    EXPECT_EQ(
        CreateFileA("Media/Cubemap.dds", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
        INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);

    seams::InjectFailure("CreateFileA");
    EXPECT_EQ(CreateFileA("Media/Cubemap.dds", GENERIC_READ, FILE_SHARE_READ, nullptr,
                          OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
}

TEST_F(Files, CompareIgnoresCaseAndOrdersConsistently) {
    EXPECT_EQ(lstrcmpiA("Frame1", "fRAME1"), 0);
    EXPECT_LT(lstrcmpiA("abc", "ABD"), 0);
    EXPECT_GT(lstrcmpiA("abcd", "ABC"), 0);
    EXPECT_LT(lstrcmpiA("", "a"), 0);
    EXPECT_EQ(lstrcmpiA(nullptr, nullptr), 0);
    EXPECT_LT(lstrcmpiA(nullptr, ""), 0);
    EXPECT_GT(lstrcmpiA("", nullptr), 0);
}

} // namespace
