// File names and read-only file handles over POSIX. Names keep Windows' habits (either separator,
// any letter case) because the program's data files are named that way.
#include "platform/win32/files.h"

#include "platform/seams/failure_injection.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

unsigned char foldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldAscii(static_cast<unsigned char>(a[i])) !=
            foldAscii(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string withSlashes(const char *name) {
    std::string path(name);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

bool exists(const std::string &path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

std::vector<std::string_view> splitComponents(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// The entry of `folder` whose name equals `component` without regard to case; when several do
// (names differing only in case), the first in byte order, so the choice does not depend on the
// order the folder happens to list them.
bool findIgnoringCase(const std::string &folder, std::string_view component, std::string *match) {
    DIR *dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return false;
    bool found = false;
    while (const dirent *entry = ::readdir(dir)) {
        std::string_view candidate(entry->d_name);
        if (!equalIgnoringCase(candidate, component))
            continue;
        if (!found || candidate < std::string_view(*match))
            *match = std::string(candidate);
        found = true;
    }
    ::closedir(dir);
    return found;
}

} // namespace

namespace win32 {

FileObject::~FileObject() {
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

std::string ResolveFileName(const char *name) {
    if (!name)
        return {};
    const std::string path = withSlashes(name);
    if (path.empty() || exists(path))
        return path;

    std::string resolved = path.front() == '/' ? "/" : "";
    for (std::string_view component : splitComponents(path)) {
        std::string next = resolved;
        if (!next.empty() && next.back() != '/')
            next += '/';
        if (component == "." || component == ".." || exists(next + std::string(component))) {
            next += component;
        } else {
            std::string match;
            if (!findIgnoringCase(resolved, component, &match))
                return path;
            next += match;
        }
        resolved = std::move(next);
    }
    if (path.back() == '/' && resolved.back() != '/')
        resolved += '/';
    return resolved;
}

} // namespace win32

DWORD GetFullPathNameA(LPCSTR name, DWORD bufferLength, LPSTR buffer, LPSTR *filePart) {
    if (filePart)
        *filePart = nullptr;
    if (!name || !*name)
        return 0;
    std::string path = withSlashes(name);
    if (path.front() != '/') {
        char cwd[4096];
        if (!::getcwd(cwd, sizeof cwd))
            return 0;
        path = std::string(cwd) + "/" + path;
    }

    std::vector<std::string_view> folded;
    for (std::string_view component : splitComponents(path)) {
        if (component == ".")
            continue;
        if (component == "..") {
            if (!folded.empty())
                folded.pop_back();
            continue;
        }
        folded.push_back(component);
    }
    std::string full;
    std::size_t lastStart = std::string::npos;
    for (std::string_view component : folded) {
        full += '/';
        lastStart = full.size();
        full += component;
    }
    const bool endsInSeparator = path.back() == '/' || folded.empty();
    if (endsInSeparator) {
        full += '/';
        lastStart = std::string::npos;
    }

    if (full.size() + 1 > bufferLength || !buffer)
        return static_cast<DWORD>(full.size() + 1);
    std::memcpy(buffer, full.c_str(), full.size() + 1);
    if (filePart && lastStart != std::string::npos)
        *filePart = buffer + lastStart;
    return static_cast<DWORD>(full.size());
}

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD /*shareMode*/, LPVOID /*security*/,
                   DWORD creation, DWORD /*flags*/, HANDLE /*templateFile*/) {
    if (!name || !*name || !(access & GENERIC_READ) || (access & GENERIC_WRITE) ||
        creation != OPEN_EXISTING)
        return INVALID_HANDLE_VALUE;
    if (seams::ShouldFail("CreateFileA"))
        return INVALID_HANDLE_VALUE;
    const std::string path = win32::ResolveFileName(name);
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return INVALID_HANDLE_VALUE;
    struct stat info;
    if (::fstat(descriptor, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(descriptor);
        return INVALID_HANDLE_VALUE;
    }
    return win32::MakeHandle(new win32::FileObject(descriptor));
}

int lstrcmpiA(LPCSTR a, LPCSTR b) {
    if (!a || !b)
        return (a ? 1 : 0) - (b ? 1 : 0);
    for (;; ++a, ++b) {
        const int ca = foldAscii(static_cast<unsigned char>(*a));
        const int cb = foldAscii(static_cast<unsigned char>(*b));
        if (ca != cb || ca == 0)
            return ca - cb;
    }
}
