// A registry rooted in a fresh temporary folder for each test, with trace lines captured.
#pragma once

#include "platform/test_seams.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/win32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarvos-registry-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
        seams::UseRegistryRoot(m_folder);
        seams::CaptureDebugOutput(true);
    }
    void TearDown() override {
        seams::CaptureDebugOutput(false);
        seams::ResetAll();
        std::filesystem::remove_all(m_folder);
    }

    static HKEY createKey(const char *path = "Software\\Tarvos", HKEY root = HKEY_CURRENT_USER,
                          REGSAM access = KEY_ALL_ACCESS) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, access, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }
    static void setDword(HKEY key, const char *name, DWORD value) {
        ASSERT_EQ(
            RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), 4),
            ERROR_SUCCESS);
    }
    static void setBytes(HKEY key, const char *name, DWORD type, const std::string &bytes) {
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE *>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }
    // The stored bytes of a value, or "<missing>" when the query fails.
    static std::string bytesOf(HKEY key, const char *name, DWORD *type = nullptr) {
        DWORD size = 0;
        if (RegQueryValueExA(key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS)
            return "<missing>";
        std::string bytes(size, '\0');
        if (RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE *>(bytes.data()),
                             &size) != ERROR_SUCCESS)
            return "<missing>";
        return bytes;
    }
    static std::string readText(const std::filesystem::path &path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void writeText(const std::filesystem::path &path, const std::string &text) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }
    std::filesystem::path userFile() const { return seams::RegistryFilePath(HKEY_CURRENT_USER); }
    // A new run, as a new process starts, over a store folder that holds only `text` as the
    // current user's file.
    void startWithStore(const std::string &text) const {
        seams::ReloadRegistry();
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        writeText(userFile(), text);
    }

    std::string m_folder;
};
