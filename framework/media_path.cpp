// Locating media files: as named, by their last path component in the working folder, or in the
// media folder that the machine's settings name.
#include "framework/utilities.h"

#include "platform/win32/files.h"
#include "platform/win32/handles.h"
#include "platform/win32/registry.h"
#include "platform/win32/results.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr DWORD kMediaPathSize = 260;
constexpr char kMediaSuffix[] = "\\Media\\";
constexpr DWORD kFullPathSize = 1024;
// What callers provide for the found path: the platform's MAX_PATH.
constexpr std::size_t kOutPathSize = MAX_PATH;

bool opens(const char *name) {
    HANDLE file =
        CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

} // namespace

const char *GetMediaPath() {
    static char mediaPath[kMediaPathSize];
    static const char empty[] = "";
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\D3D Framework", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return empty;
    DWORD size = kMediaPathSize;
    const LONG result = RegQueryValueExA(key, "Media Root", nullptr, nullptr,
                                         reinterpret_cast<BYTE *>(mediaPath), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return empty;
    // The stored text need not end in a terminator, and the suffix must fit behind it: a root
    // that leaves no room is refused rather than appended past the buffer or cut into a wrong
    // folder.
    const std::size_t length = strnlen(mediaPath, size);
    if (length + sizeof kMediaSuffix > kMediaPathSize)
        return empty;
    std::memcpy(mediaPath + length, kMediaSuffix, sizeof kMediaSuffix);
    return mediaPath;
}

HRESULT FindMediaFile(char *path, const char *fileName) {
    if (!path || !fileName)
        return E_INVALIDARG;
    char fullPath[kFullPathSize];
    char *filePart = nullptr;
    const DWORD length = GetFullPathNameA(fileName, kFullPathSize, fullPath, &filePart);
    if (length == 0 || length > kFullPathSize - 1)
        return E_FAIL;
    // A name that ends in a separator has no file part; it then matches no file.
    const std::string shortName = filePart ? filePart : "";
    const std::string candidates[] = {fullPath, shortName, GetMediaPath() + shortName};
    for (const std::string &candidate : candidates) {
        // A path the caller's buffer cannot hold is passed over rather than cut into another name.
        if (candidate.size() < kOutPathSize && opens(candidate.c_str())) {
            std::memcpy(path, candidate.c_str(), candidate.size() + 1);
            return S_OK;
        }
    }
    std::snprintf(path, kOutPathSize, "%s", fileName);
    return E_FAIL;
}
