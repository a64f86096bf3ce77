// The framework's general helpers: media lookup, text conversions, traces and GUID text.
#include "framework/utilities.h"
#include "platform/test_seams.h"
#include "platform/win32/win32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// A temporary working folder and registry, as a viewer built on the framework would run.
class MediaFiles : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = fs::current_path();
        char pattern[] = "/tmp/tarvos-media-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
        seams::UseRegistryRoot(m_folder + "/registry");
        fs::current_path(m_folder);
    }
    void TearDown() override {
        fs::current_path(m_previous);
        seams::ResetAll();
        fs::remove_all(m_folder);
    }
    static void setMediaRoot(const std::string &bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\D3D Framework", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "Media Root", 0, REG_SZ, reinterpret_cast<const BYTE *>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
    }
    static void touch(const fs::path &path) {
        if (path.has_parent_path())
            fs::create_directories(path.parent_path());
        std::ofstream(path) << "x";
    }
    fs::path m_previous;
    std::string m_folder;
};

TEST_F(MediaFiles, MediaPathComesFromTheMachineSetting) {
    EXPECT_STREQ(GetMediaPath(), "");
    setMediaRoot(std::string("/opt/sdk\0", 9));
    EXPECT_STREQ(GetMediaPath(), "/opt/sdk\\Media\\");
    setMediaRoot("/srv"); // stored without a terminator
    EXPECT_STREQ(GetMediaPath(), "/srv\\Media\\");
    setMediaRoot(std::string(252, 'r') + '\0');
    EXPECT_EQ(std::string(GetMediaPath()), std::string(252, 'r') + "\\Media\\") << "just fits";
    setMediaRoot(std::string(253, 'r') + '\0');
    EXPECT_STREQ(GetMediaPath(), "") << "no room for the suffix";
}

TEST_F(MediaFiles, FindTriesTheFullPathTheFilePartAndTheMediaFolder) {
    char path[MAX_PATH];
    touch("ship.x");
    EXPECT_EQ(FindMediaFile(path, "ship.x"), S_OK);
    EXPECT_EQ(std::string(path), m_folder + "/ship.x");

    EXPECT_EQ(FindMediaFile(path, "elsewhere\\SHIP.X"), S_OK) << "the file part alone";
    EXPECT_STREQ(path, "SHIP.X");

    touch(m_folder + "/sdk/Media/rock.x");
    setMediaRoot(m_folder + "/sdk");
    EXPECT_EQ(FindMediaFile(path, "models\\rock.x"), S_OK);
    EXPECT_EQ(std::string(path), m_folder + "/sdk\\Media\\rock.x");
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << "the path found opens";
    CloseHandle(file);
}

TEST_F(MediaFiles, FindReportsFailuresAndLeavesThePathAsDocumented) {
    char path[MAX_PATH] = "untouched";
    EXPECT_EQ(FindMediaFile(nullptr, "ship.x"), E_INVALIDARG);
    EXPECT_EQ(FindMediaFile(path, nullptr), E_INVALIDARG);
    EXPECT_STREQ(path, "untouched");
    EXPECT_EQ(FindMediaFile(path, std::string(1100, 'n').c_str()), E_FAIL);
    EXPECT_STREQ(path, "untouched") << "a name too long for a full path";

    EXPECT_EQ(FindMediaFile(path, "missing\\file.x"), E_FAIL);
    EXPECT_STREQ(path, "missing\\file.x");
    EXPECT_EQ(FindMediaFile(path, "folder\\"), E_FAIL);

    const std::string longName = std::string(300, 'q') + ".x";
    EXPECT_EQ(FindMediaFile(path, longName.c_str()), E_FAIL);
    EXPECT_EQ(std::string(path), longName.substr(0, MAX_PATH - 1)) << "cut to the buffer";
}

TEST(TextConversions, CountsAndTruncation) {
    char narrow[8];
    ConvertTCharToAnsi(narrow, "abcdef", 4);
    EXPECT_STREQ(narrow, "abc");
    ConvertAnsiToTChar(narrow, "xyz", -1);
    EXPECT_STREQ(narrow, "xyz");

    WCHAR wide[8];
    ConvertAnsiToWide(wide, "ship", -1);
    EXPECT_EQ(std::u16string(wide), u"ship");
    ConvertAnsiToWide(wide, "abcdef", 3);
    EXPECT_EQ(std::u16string(wide), u"ab");
    ConvertTCharToWide(wide, "\xE9t\xE9", 8);
    EXPECT_EQ(std::u16string(wide), u"\u00E9t\u00E9");

    ConvertWideToAnsi(narrow, u"frame", -1);
    EXPECT_STREQ(narrow, "frame");
    ConvertWideToTChar(narrow, u"abcdefgh", 5);
    EXPECT_STREQ(narrow, "abcd");
}

TEST(TextConversions, UnusableArgumentsWriteNothing) {
    char narrow[4] = "###";
    WCHAR wide[4] = {u'#', 0};
    ConvertTCharToAnsi(narrow, "abc", 0);
    ConvertTCharToAnsi(narrow, "abc", -2);
    ConvertTCharToAnsi(narrow, nullptr, 4);
    ConvertAnsiToWide(wide, "abc", 0);
    ConvertAnsiToWide(wide, "abc", -7);
    ConvertAnsiToWide(wide, nullptr, 4);
    ConvertWideToAnsi(narrow, u"abc", 0);
    ConvertWideToAnsi(nullptr, u"abc", 4);
    ConvertTCharToWide(wide, "abc", 0);
    ConvertWideToTChar(narrow, nullptr, 4);
    EXPECT_STREQ(narrow, "###");
    EXPECT_EQ(wide[0], u'#');
}

class Traces : public ::testing::Test {
protected:
    void SetUp() override { seams::CaptureDebugOutput(true); }
    void TearDown() override { seams::CaptureDebugOutput(false); }
};

TEST_F(Traces, TraceErrorNamesTheLocationAndTheCode) {
    EXPECT_EQ(TraceError("d3dfile.cpp", 120, S_OK, "Load failed"), S_OK);
    EXPECT_EQ(seams::TakeDebugOutput(), "d3dfile.cpp(120): Load failed\n");
    EXPECT_EQ(TraceError("d3dutil.cpp", 7, E_FAIL, "Lock"), E_FAIL);
    EXPECT_EQ(seams::TakeDebugOutput(), "d3dutil.cpp(7): Lock(hr=80004005)\n\n");
}

TEST_F(Traces, LongTextsAreCutNotOverrun) {
    const std::string file(400, 'f');
    TraceError(file.c_str(), 4294967295u, S_OK, "m");
    const std::string line = seams::TakeDebugOutput();
    EXPECT_EQ(line, std::string(255, 'f') + "m\n");
    TraceError("f.cpp", 0xFFFFFFFFu, S_OK, "m");
    EXPECT_EQ(seams::TakeDebugOutput(), "f.cpp(-1): m\n");

    TraceFormatted("%d %s|", 42, "frames");
    EXPECT_EQ(seams::TakeDebugOutput(), "42 frames|");
    TraceFormatted("%s", std::string(600, 'x').c_str());
    EXPECT_EQ(seams::TakeDebugOutput(), std::string(511, 'x'));
}

TEST(GuidText, FormatsAndParsesTheBracedForm) {
    const GUID value = {0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};
    char text[39];
    EXPECT_EQ(GuidToString(&value, text), 38);
    EXPECT_STREQ(text, "{12345678-9ABC-DEF0-0102-030405060708}");

    GUID parsed{};
    EXPECT_TRUE(GuidFromString(text, &parsed));
    EXPECT_EQ(parsed, value);
    EXPECT_TRUE(GuidFromString("{0000abcd-00ef-0001-ff00-a0b0c0d0e0f0}", &parsed));
    EXPECT_EQ(parsed.Data1, 0xABCDu);
    EXPECT_EQ(parsed.Data4[7], 0xF0);

    const GUID zeroPadded = {0xA, 0xB, 0xC, {0, 0, 0, 0, 0, 0, 0, 0xD}};
    GuidToString(&zeroPadded, text);
    EXPECT_STREQ(text, "{0000000A-000B-000C-0000-00000000000D}");
}

TEST(GuidText, MalformedTextGivesTheZeroGuid) {
    GUID parsed = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_FALSE(GuidFromString("{1234}", &parsed));
    EXPECT_EQ(parsed, GUID_NULL);
    parsed.Data1 = 9;
    EXPECT_FALSE(GuidFromString("12345678-9ABC-DEF0-0102-030405060708", &parsed));
    EXPECT_EQ(parsed, GUID_NULL);
    parsed.Data1 = 9;
    EXPECT_FALSE(GuidFromString(nullptr, &parsed));
    EXPECT_EQ(parsed, GUID_NULL);
    EXPECT_FALSE(GuidFromString("{12345678-9ABC-DEF0-0102-030405060708}", nullptr));
    EXPECT_EQ(GuidToString(nullptr, nullptr), 0);
}

} // namespace
