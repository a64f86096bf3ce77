// Feeds arbitrary bytes to the registry loader, in memory and as the file of a registry rooted in
// a private temporary folder. Whatever the input, the loader must not crash, what it keeps must
// write back as a clean file that reads the same, and the keys must stay usable.
#include "platform/test_seams.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/win32.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace {

struct PrivateFolder {
    std::string path;
    PrivateFolder() {
        // The file path flushes to disk several times per input: a memory-backed folder keeps
        // that from throttling the fuzzer, where the system has one.
        const char *base = std::getenv("TMPDIR");
        std::error_code ignored;
        const std::string root = base && *base                                        ? base
                                 : std::filesystem::is_directory("/dev/shm", ignored) ? "/dev/shm"
                                                                                      : "/tmp";
        std::string pattern = root + "/fuzz-registry-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        path = pattern;
        seams::UseRegistryRoot(path);
        seams::CaptureDebugOutput(true);
    }
    ~PrivateFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

void checkRoundTrip(std::string_view text) {
    using namespace win32::registry;
    const ParseResult parsed = ParseHive(text);
    const std::string formatted = FormatHive(parsed.hive);
    const ParseResult again = ParseHive(formatted);
    if (again.problems != 0 || FormatHive(again.hive) != formatted)
        std::abort();
}

void loadThroughTheRegistry(const PrivateFolder &folder, std::string_view text) {
    std::error_code ignored;
    for (const auto &entry : std::filesystem::directory_iterator(folder.path, ignored))
        std::filesystem::remove_all(entry.path(), ignored);
    std::ofstream(seams::RegistryFilePath(HKEY_CURRENT_USER), std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
    seams::ReloadRegistry();

    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tarvos", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        std::abort();
    BYTE buffer[16];
    DWORD size = sizeof buffer;
    DWORD type = 0;
    RegQueryValueExA(key, "Width", nullptr, &type, buffer, &size);
    RegQueryValueExA(key, "", nullptr, &type, nullptr, &size);
    const DWORD value = 1;
    RegSetValueExA(key, "Fuzzed", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), 4);
    RegCloseKey(key);
    seams::TakeDebugOutput();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static PrivateFolder folder;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    checkRoundTrip(text);
    loadThroughTheRegistry(folder, text);
    return 0;
}
