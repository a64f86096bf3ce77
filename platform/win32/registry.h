// The registry: keys under the current user and the local machine holding typed values, kept in a
// text file per root under the user's configuration folder (see registry_file.cpp).
#pragma once

#include "platform/win32/results.h"
#include "platform/win32/types.h"

#include <cstdint>

using REGSAM = DWORD;
using PHKEY = HKEY *;

inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t{0x80000001u});
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t{0x80000002u});

// Value types; the code is stored with the bytes, and a query returns both as they were set.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

// Access rights of an open key: reading needs KEY_QUERY_VALUE, writing KEY_SET_VALUE.
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM KEY_READ = 0x00020019;
constexpr REGSAM KEY_WRITE = 0x00020006;
constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

constexpr LONG ERROR_BAD_PATHNAME = 161;

// Opens `subKey` of `parent`, creating it and the keys above it when missing. `*result` is NULL
// on failure; `disposition` (optional) says whether the key was created or already existed.
LONG RegCreateKeyExA(HKEY parent, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                     REGSAM access, LPVOID security, PHKEY result, LPDWORD disposition);
// Opens an existing key; ERROR_FILE_NOT_FOUND when it does not exist.
LONG RegOpenKeyExA(HKEY parent, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
// Copies a value's bytes as stored when they fit `*size`; otherwise ERROR_MORE_DATA and nothing
// copied. `*size` always receives the stored size and `*type` the stored type.
LONG RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD size);
// Replaces (or adds) a value with exactly these bytes and this type.
LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE *data,
                    DWORD size);
// Closes a key; closing a key through which something changed writes the store to disk, and a
// failed write is reported here (ERROR_CANTWRITE).
LONG RegCloseKey(HKEY key);
