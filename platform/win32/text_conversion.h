// Conversion between 8-bit text in the ANSI code page and 16-bit wide text (UTF-16 units).
#pragma once

#include "platform/win32/types.h"

constexpr UINT CP_ACP = 0;
constexpr UINT CP_WINDOWS_1252 = 1252;

// The number of wide characters before the terminating zero; 0 for a null pointer.
int lstrlenW(LPCWSTR text);

// Converts `sourceLength` bytes (-1: up to and including the terminating zero) into wide
// characters. With `destinationLength` 0 it only returns the count needed. When the destination is
// too small it is filled with as many characters as fit and 0 is returned. Any code page other
// than CP_ACP (or its number, 1252) and any flag fail with 0.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceLength,
                        LPWSTR destination, int destinationLength);

// The reverse: a wide character the code page cannot show becomes `defaultChar` ('?' when NULL)
// and sets `*usedDefaultChar`. Same count and truncation rules.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceLength,
                        LPSTR destination, int destinationLength, LPCSTR defaultChar,
                        BOOL *usedDefaultChar);
