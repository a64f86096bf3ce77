// Files by the names the program gives: Windows-style names (any letter case, '\' separators)
// resolved against the Linux file system, full path names, read-only file handles and the
// case-insensitive string comparison that name lookups use.
#pragma once

#include "platform/win32/handles.h"
#include "platform/win32/types.h"

#include <string>

constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD FILE_SHARE_READ = 0x00000001u;
constexpr DWORD FILE_SHARE_WRITE = 0x00000002u;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080u;

namespace win32 {

// The path to open for a name the program gives: '\' becomes '/', and when the name does not
// exist as written each component is matched without regard to letter case, relative to the
// working folder (or to '/' for an absolute name). When nothing matches, the name comes back with
// only its separators mapped, so the caller's open fails as it would have on the original name.
std::string ResolveFileName(const char *name);

// An open file behind a HANDLE; CloseHandle closes the descriptor.
class FileObject final : public KernelObject {
public:
    explicit FileObject(int descriptor) : m_descriptor(descriptor) {}
    ~FileObject() override;
    FileObject(const FileObject &) = delete;
    FileObject &operator=(const FileObject &) = delete;
    int Descriptor() const { return m_descriptor; }

private:
    int m_descriptor;
};

} // namespace win32

// Writes the absolute form of `name` into `buffer` ('/' separators, "." and ".." folded) and
// points `filePart` at its last component (NULL when the name ends in a separator). Returns the
// length without the terminator, the size needed with the terminator when the buffer is too small,
// or 0 on failure.
DWORD GetFullPathNameA(LPCSTR name, DWORD bufferLength, LPSTR buffer, LPSTR *filePart);

// Opens an existing file for reading (GENERIC_READ, OPEN_EXISTING); folders and every other mode
// fail with INVALID_HANDLE_VALUE.
HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, LPVOID security, DWORD creation,
                   DWORD flags, HANDLE templateFile);

// Compares two strings without regard to letter case: negative, zero or positive. NULL sorts first.
int lstrcmpiA(LPCSTR a, LPCSTR b);
