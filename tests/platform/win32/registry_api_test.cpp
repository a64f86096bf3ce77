// Registry calls as the program relies on them: keys created and opened, values stored with their
// type and read back only when they fit, access rights, handles and failures.
#include "registry_fixture.h"

namespace {

using Registry = RegistryTest;

TEST_F(Registry, CreateReportsWhetherTheKeyIsNewAndFindsItWithoutRegardToCase) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tarvos", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    setDword(key, "Width", 800);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\tarvos", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    EXPECT_EQ(bytesOf(key, "WIDTH"), std::string("\x20\x03\0\0", 4));
    RegCloseKey(key);

    // The key above a created key exists; a sibling does not; the other root is separate.
    HKEY parent = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &parent), ERROR_SUCCESS);
    HKEY child = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExA(parent, "Tarvos", 0, KEY_READ, &child), ERROR_SUCCESS);
    EXPECT_EQ(bytesOf(child, "Width").size(), 4u);
    RegCloseKey(child);
    HKEY missing = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExA(parent, "Other", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing, nullptr);
    RegCloseKey(parent);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Tarvos", 0, KEY_READ, &missing),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, QuerySucceedsOnlyWhenTheStoredBytesFit) {
    HKEY key = createKey();
    setBytes(key, "Name0", REG_SZ, std::string("ABC\0", 4));

    char buffer[8] = "#######";
    DWORD type = 0;
    DWORD size = 3;
    EXPECT_EQ(
        RegQueryValueExA(key, "Name0", nullptr, &type, reinterpret_cast<BYTE *>(buffer), &size),
        ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u) << "the size needed is reported";
    EXPECT_STREQ(buffer, "#######") << "nothing is copied when the bytes do not fit";

    size = 4;
    EXPECT_EQ(
        RegQueryValueExA(key, "Name0", nullptr, &type, reinterpret_cast<BYTE *>(buffer), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 4u);
    EXPECT_STREQ(buffer, "ABC");

    // Bytes come back as stored: no terminator is added to a string set without one.
    setBytes(key, "Name1", REG_SZ, "XY");
    std::memcpy(buffer, "#######", 8);
    size = sizeof buffer;
    EXPECT_EQ(
        RegQueryValueExA(key, "Name1", nullptr, nullptr, reinterpret_cast<BYTE *>(buffer), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(size, 2u);
    EXPECT_STREQ(buffer, "XY#####");

    size = sizeof buffer;
    EXPECT_EQ(
        RegQueryValueExA(key, "Missing", nullptr, nullptr, reinterpret_cast<BYTE *>(buffer), &size),
        ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(
        RegQueryValueExA(key, "Name0", nullptr, nullptr, reinterpret_cast<BYTE *>(buffer), nullptr),
        ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
}

TEST_F(Registry, TypeIsStoredButNotComparedOnRead) {
    HKEY key = createKey();
    setDword(key, "Headlight", 0x01020304);
    BOOL flag = 0;
    DWORD type = 0;
    DWORD size = sizeof flag;
    EXPECT_EQ(
        RegQueryValueExA(key, "Headlight", nullptr, &type, reinterpret_cast<BYTE *>(&flag), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(flag, 0x01020304);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));

    // Setting replaces the value with the new type and size; an empty value is a value.
    setBytes(key, "Headlight", REG_BINARY, "");
    EXPECT_EQ(bytesOf(key, "Headlight", &type), "");
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    RegCloseKey(key);

    seams::ReloadRegistry();
    key = createKey();
    EXPECT_EQ(bytesOf(key, "Headlight", &type), "");
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    RegCloseKey(key);
}

TEST_F(Registry, ValuesAreWrittenWhenTheChangingKeyIsClosed) {
    HKEY key = createKey();
    setDword(key, "Score0", 100000);
    EXPECT_FALSE(std::filesystem::exists(userFile()));

    HKEY reader = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarvos", 0, KEY_READ, &reader),
              ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(reader), ERROR_SUCCESS);
    EXPECT_FALSE(std::filesystem::exists(userFile())) << "a key that changed nothing saves nothing";

    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    ASSERT_TRUE(std::filesystem::exists(userFile()));
    seams::ReloadRegistry();
    key = createKey();
    EXPECT_EQ(bytesOf(key, "Score0"), std::string("\xA0\x86\x01\0", 4));
    RegCloseKey(key);
    EXPECT_EQ(seams::TakeDebugOutput(), "");
}

TEST_F(Registry, RightsAndHandlesAreChecked) {
    HKEY readOnly = createKey("Software\\Tarvos", HKEY_CURRENT_USER, KEY_READ);
    DWORD value = 1;
    EXPECT_EQ(RegSetValueExA(readOnly, "Width", 0, REG_DWORD, reinterpret_cast<BYTE *>(&value), 4),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegSetValueExA(HKEY_CURRENT_USER, "Width", 0, REG_DWORD,
                             reinterpret_cast<BYTE *>(&value), 4),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(readOnly), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(readOnly), ERROR_INVALID_HANDLE) << "a closed handle is not reused";

    HKEY bogus = reinterpret_cast<HKEY>(&value);
    DWORD size = 4;
    EXPECT_EQ(
        RegQueryValueExA(bogus, "Width", nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &size),
        ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegSetValueExA(bogus, "Width", 0, REG_DWORD, reinterpret_cast<BYTE *>(&value), 4),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegCreateKeyExA(bogus, "x", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, std::string(300, 'k').c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_BAD_PATHNAME);
}

TEST_F(Registry, OversizedAndMalformedWritesAreRefusedAndKeepTheOldValue) {
    HKEY key = createKey();
    setDword(key, "Format", 23);
    const std::vector<BYTE> huge(win32::registry::kMaxValueBytes + 1, 0xAB);
    EXPECT_EQ(
        RegSetValueExA(key, "Format", 0, REG_BINARY, huge.data(), static_cast<DWORD>(huge.size())),
        ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(key, "Format", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(bytesOf(key, "Format"), std::string("\x17\0\0\0", 4));
    RegCloseKey(key);
}

TEST_F(Registry, InjectedCreateFailureLeavesNoKey) {
    seams::InjectFailure("RegCreateKeyExA");
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_NE(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tarvos", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarvos", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, FailedSaveIsReportedAndRetriedOnTheNextClose) {
    HKEY key = createKey();
    setDword(key, "Windowed", 1);
    seams::InjectFailure("RegistrySave");
    EXPECT_EQ(RegCloseKey(key), ERROR_CANTWRITE);
    const std::string trace = seams::TakeDebugOutput();
    EXPECT_NE(trace.find("registry: cannot write"), std::string::npos) << trace;
    EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 1);
    EXPECT_FALSE(std::filesystem::exists(userFile()));

    key = createKey();
    setDword(key, "Width", 1024);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    seams::ReloadRegistry();
    key = createKey();
    EXPECT_EQ(bytesOf(key, "Windowed").size(), 4u) << "the earlier change was kept and written";
    EXPECT_EQ(bytesOf(key, "Width").size(), 4u);
    RegCloseKey(key);
}

} // namespace

namespace {

TEST_F(Registry, KeysAndValuesStayWithinTheirBounds) {
    using namespace win32::registry;
    HKEY key = nullptr;
    const std::string deep = "Software\\" + std::string(kMaxKeyPathLength, 'd');
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, deep.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_BAD_PATHNAME);

    // "Bulk" and the keys below it fill the root. The handles stay open until the end so that
    // the store is written once rather than on every close.
    std::vector<HKEY> open;
    for (std::size_t i = 0; i < kMaxKeys; ++i) {
        const std::string path = i == 0 ? "Bulk" : "Bulk\\" + std::to_string(i);
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        open.push_back(key);
    }
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Bulk\\extra", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(key, nullptr);

    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Bulk", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    for (std::size_t i = 0; i < kMaxValues; ++i)
        setDword(key, ("v" + std::to_string(i)).c_str(), static_cast<DWORD>(i));
    DWORD value = 1;
    EXPECT_EQ(
        RegSetValueExA(key, "one too many", 0, REG_DWORD, reinterpret_cast<BYTE *>(&value), 4),
        ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(RegSetValueExA(key, "v7", 0, REG_DWORD, reinterpret_cast<BYTE *>(&value), 4),
              ERROR_SUCCESS)
        << "replacing a value is always allowed";
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    for (HKEY each : open)
        EXPECT_EQ(RegCloseKey(each), ERROR_SUCCESS);
}

} // namespace
