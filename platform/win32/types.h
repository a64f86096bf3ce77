// Windows base types, handles and structures as the program's code expects them, with the widths
// that stored data and records depend on (32-bit DWORD, BOOL and LONG on a 64-bit Linux).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

using BOOL = std::int32_t;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using FLOAT = float;
using DOUBLE = double;
using CHAR = char;
using UCHAR = unsigned char;
using WCHAR = char16_t;
using TCHAR = char;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using HRESULT = std::int32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using DWORD_PTR = std::uintptr_t;
using SIZE_T = std::size_t;
using FOURCC = DWORD;

using VOID = void;
using PVOID = void *;
using LPVOID = void *;
using LPCVOID = const void *;
using LPSTR = char *;
using LPCSTR = const char *;
using LPTSTR = char *;
using LPCTSTR = const char *;
using LPWSTR = WCHAR *;
using LPCWSTR = const WCHAR *;
using LPBYTE = BYTE *;
using LPDWORD = DWORD *;
using LPLONG = LONG *;
using PBYTE = BYTE *;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef MAX_PATH
#define MAX_PATH 260
#endif

#define WINAPI
#define CALLBACK
#define APIENTRY

// Opaque handles: each is a distinct pointer type so that mixing them up does not compile.
#define TARVOS_DECLARE_HANDLE(name)                                                                \
    struct name##__;                                                                               \
    using name = name##__ *
TARVOS_DECLARE_HANDLE(HWND);
TARVOS_DECLARE_HANDLE(HINSTANCE);
TARVOS_DECLARE_HANDLE(HICON);
TARVOS_DECLARE_HANDLE(HBRUSH);
TARVOS_DECLARE_HANDLE(HMENU);
TARVOS_DECLARE_HANDLE(HACCEL);
TARVOS_DECLARE_HANDLE(HFONT);
TARVOS_DECLARE_HANDLE(HDC);
TARVOS_DECLARE_HANDLE(HBITMAP);
TARVOS_DECLARE_HANDLE(HKEY);
TARVOS_DECLARE_HANDLE(HMMIO);
TARVOS_DECLARE_HANDLE(HRSRC);
#undef TARVOS_DECLARE_HANDLE
using HMODULE = HINSTANCE;
using HCURSOR = HICON;
using HGDIOBJ = void *;
using HGLOBAL = void *;
using HANDLE = void *;

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPRECT = RECT *;

struct POINT {
    LONG x;
    LONG y;
};
using LPPOINT = POINT *;

struct SIZE {
    LONG cx;
    LONG cy;
};

union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
};

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID &;
using REFIID = const GUID &;
using REFCLSID = const GUID &;
using LPGUID = GUID *;

inline bool operator==(const GUID &a, const GUID &b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}
inline bool operator!=(const GUID &a, const GUID &b) {
    return !(a == b);
}
inline const GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

#define LOWORD(l) (static_cast<WORD>(static_cast<DWORD_PTR>(l) & 0xffff))
#define HIWORD(l) (static_cast<WORD>((static_cast<DWORD_PTR>(l) >> 16) & 0xffff))
#define LOBYTE(w) (static_cast<BYTE>(static_cast<DWORD_PTR>(w) & 0xff))
#define MAKELONG(a, b)                                                                             \
    (static_cast<LONG>(static_cast<WORD>(a) | (static_cast<DWORD>(static_cast<WORD>(b)) << 16)))
#define MAKEFOURCC(a, b, c, d)                                                                     \
    (static_cast<DWORD>(static_cast<BYTE>(a)) | (static_cast<DWORD>(static_cast<BYTE>(b)) << 8) |  \
     (static_cast<DWORD>(static_cast<BYTE>(c)) << 16) |                                            \
     (static_cast<DWORD>(static_cast<BYTE>(d)) << 24))

#define ZeroMemory(p, n) std::memset((p), 0, (n))
#define CopyMemory(d, s, n) std::memcpy((d), (s), (n))
#define FillMemory(d, n, v) std::memset((d), (v), (n))
