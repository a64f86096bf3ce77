// The registry value functions over a registry rooted in a temporary folder: defaults, what a
// read accepts, and writes of each type.
#include "framework/registry_values.h"
#include "platform/test_seams.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

class RegistryValues : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarvos-values-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
        seams::UseRegistryRoot(m_folder);
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tarvos", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &m_key, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(m_key);
        seams::ResetAll();
        std::filesystem::remove_all(m_folder);
    }
    void setRaw(const char *name, DWORD type, const void *data, DWORD size) {
        ASSERT_EQ(RegSetValueExA(m_key, name, 0, type, static_cast<const BYTE *>(data), size),
                  ERROR_SUCCESS);
    }
    std::string m_folder;
    HKEY m_key = nullptr;
};

TEST_F(RegistryValues, MissingValuesGiveTheDefaultAndWrittenOnesReadBack) {
    char name[4] = "zz";
    DWORD width = 1;
    BOOL windowed = 7;
    GUID device{};
    const GUID fallback = {0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};
    EXPECT_EQ(ReadStringValue(m_key, "Name0", name, sizeof name, "???"), S_OK);
    EXPECT_EQ(ReadIntValue(m_key, "Width", &width, 640), S_OK);
    EXPECT_EQ(ReadBoolValue(m_key, "Windowed", &windowed, FALSE), S_OK);
    EXPECT_EQ(ReadGuidValue(m_key, "Device", &device, &fallback), S_OK);
    EXPECT_STREQ(name, "???");
    EXPECT_EQ(width, 640u);
    EXPECT_EQ(windowed, FALSE);
    EXPECT_EQ(device, fallback);

    const GUID stored = {0xCAFEF00D, 1, 2, {9, 8, 7, 6, 5, 4, 3, 2}};
    EXPECT_EQ(WriteStringValue(m_key, "Name0", "JRR"), S_OK);
    EXPECT_EQ(WriteIntValue(m_key, "Width", 1024), S_OK);
    EXPECT_EQ(WriteBoolValue(m_key, "Windowed", TRUE), S_OK);
    EXPECT_EQ(WriteGuidValue(m_key, "Device", stored), S_OK);
    ReadStringValue(m_key, "Name0", name, sizeof name, "???");
    ReadIntValue(m_key, "Width", &width, 640);
    ReadBoolValue(m_key, "Windowed", &windowed, FALSE);
    ReadGuidValue(m_key, "Device", &device, &fallback);
    EXPECT_STREQ(name, "JRR");
    EXPECT_EQ(width, 1024u);
    EXPECT_EQ(windowed, TRUE);
    EXPECT_EQ(device, stored);

    DWORD type = 0;
    DWORD size = 0;
    RegQueryValueExA(m_key, "Windowed", nullptr, &type, nullptr, &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    RegQueryValueExA(m_key, "Device", nullptr, &type, nullptr, &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(size, 16u);
    RegQueryValueExA(m_key, "Name0", nullptr, &type, nullptr, &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 4u) << "strings are written with their terminator";
}

TEST_F(RegistryValues, TheEmptyStringIsStoredAsOneByte) {
    EXPECT_EQ(WriteStringValue(m_key, "Name1", ""), S_OK);
    DWORD size = 0;
    ASSERT_EQ(RegQueryValueExA(m_key, "Name1", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 1u);
    char name[4] = "abc";
    ReadStringValue(m_key, "Name1", name, sizeof name, "???");
    EXPECT_STREQ(name, "");
}

TEST_F(RegistryValues, StringsThatDoNotFitOrHaveNoRoomForATerminatorGiveTheDefault) {
    char name[4];
    WriteStringValue(m_key, "Name2", "ABCD");
    ReadStringValue(m_key, "Name2", name, sizeof name, "???");
    EXPECT_STREQ(name, "???") << "four letters and a terminator do not fit four bytes";

    setRaw("Name3", REG_SZ, "WXYZ", 4);
    ReadStringValue(m_key, "Name3", name, sizeof name, "???");
    EXPECT_STREQ(name, "???") << "fits, but leaves no terminator";

    setRaw("Name4", REG_SZ, "AB", 2);
    std::memset(name, '#', sizeof name);
    ReadStringValue(m_key, "Name4", name, sizeof name, "???");
    EXPECT_STREQ(name, "AB") << "copied as stored, terminated after it";
}

TEST_F(RegistryValues, ALongDefaultIsCutToTheBuffer) {
    char name[4];
    std::memset(name, '#', sizeof name);
    ReadStringValue(m_key, "Missing", name, sizeof name, "a default far too long");
    EXPECT_STREQ(name, "a d");
    ReadStringValue(m_key, "Missing", name, 0, "xyz"); // nothing to write into
    EXPECT_STREQ(name, "a d");
}

TEST_F(RegistryValues, NumbersReadAsFlagsGiveTheSameFourBytes) {
    WriteIntValue(m_key, "Reflection", 0xDEADBEEF);
    BOOL flag = 0;
    ReadBoolValue(m_key, "Reflection", &flag, FALSE);
    EXPECT_EQ(static_cast<DWORD>(flag), 0xDEADBEEFu);
    // The type is not compared: four bytes of a binary value read as a number.
    setRaw("Score0", REG_BINARY, "\x01\x02\x03\x04", 4);
    DWORD score = 0;
    ReadIntValue(m_key, "Score0", &score, 5);
    EXPECT_EQ(score, 0x04030201u);
}

TEST_F(RegistryValues, ValuesOfTheWrongSizeGiveTheDefault) {
    DWORD number = 0xAAAAAAAA;
    setRaw("Short", REG_DWORD, "\x01\x02", 2);
    ReadIntValue(m_key, "Short", &number, 42);
    EXPECT_EQ(number, 42u) << "two stored bytes would leave the rest of the number unset";
    setRaw("Long", REG_DWORD, "\x01\x02\x03\x04\x05", 5);
    ReadIntValue(m_key, "Long", &number, 43);
    EXPECT_EQ(number, 43u);
    GUID value{};
    const GUID fallback = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    setRaw("Guid", REG_BINARY, "0123456789", 10);
    ReadGuidValue(m_key, "Guid", &value, &fallback);
    EXPECT_EQ(value, fallback);
}

TEST_F(RegistryValues, FailedWritesReportFailAndReadsOfABadKeyGiveTheDefault) {
    HKEY readOnly = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarvos", 0, KEY_READ, &readOnly),
              ERROR_SUCCESS);
    EXPECT_EQ(WriteIntValue(readOnly, "Width", 1), E_FAIL);
    EXPECT_EQ(WriteBoolValue(readOnly, "Headlight", TRUE), E_FAIL);
    EXPECT_EQ(WriteStringValue(readOnly, "Name0", "ABC"), E_FAIL);
    EXPECT_EQ(WriteGuidValue(readOnly, "Device", GUID_NULL), E_FAIL);
    EXPECT_EQ(WriteStringValue(m_key, "Name0", nullptr), E_FAIL);
    RegCloseKey(readOnly);

    DWORD number = 0;
    EXPECT_EQ(ReadIntValue(readOnly, "Width", &number, 480), S_OK) << "a closed key";
    EXPECT_EQ(number, 480u);
}

} // namespace
