// The ANSI code page here is Windows-1252, a fixed single-byte Western code page chosen over the
// locale. Every byte is one character and every character of it one UTF-16 unit, so a count of
// characters means the same on both sides of a conversion, which the program's callers assume
// when they size one buffer from the other; and any byte string survives a round trip through
// wide text unchanged. (UTF-8, the Linux locale's usual choice, has neither property.)
#include "platform/win32/text_conversion.h"

#include <array>
#include <cstring>

namespace {

// Bytes 0x80-0x9F; the five the code page leaves undefined map to the control character of the
// same number, as the platform's own table does.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t toWide(unsigned char byte) {
    return (byte >= 0x80 && byte <= 0x9F) ? kHighControls[byte - 0x80] : char16_t{byte};
}

bool toByte(char16_t unit, char *byte) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
        *byte = static_cast<char>(unit);
        return true;
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == unit) {
            *byte = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

bool supported(UINT codePage, DWORD flags) {
    return flags == 0 && (codePage == CP_ACP || codePage == CP_WINDOWS_1252);
}

} // namespace

int lstrlenW(LPCWSTR text) {
    int length = 0;
    while (text && text[length])
        ++length;
    return length;
}

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceLength,
                        LPWSTR destination, int destinationLength) {
    if (!supported(codePage, flags) || !source || sourceLength == 0 || sourceLength < -1 ||
        destinationLength < 0 || (destinationLength > 0 && !destination))
        return 0;
    const int count = sourceLength == -1 ? static_cast<int>(std::strlen(source)) + 1 : sourceLength;
    if (destinationLength == 0)
        return count;
    const int fits = count < destinationLength ? count : destinationLength;
    for (int i = 0; i < fits; ++i)
        destination[i] = toWide(static_cast<unsigned char>(source[i]));
    return count <= destinationLength ? count : 0;
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceLength,
                        LPSTR destination, int destinationLength, LPCSTR defaultChar,
                        BOOL *usedDefaultChar) {
    if (usedDefaultChar)
        *usedDefaultChar = FALSE;
    if (!supported(codePage, flags) || !source || sourceLength == 0 || sourceLength < -1 ||
        destinationLength < 0 || (destinationLength > 0 && !destination))
        return 0;
    const int count = sourceLength == -1 ? lstrlenW(source) + 1 : sourceLength;
    const char fallback = defaultChar ? *defaultChar : '?';
    const int fits = destinationLength == 0      ? count
                     : count < destinationLength ? count
                                                 : destinationLength;
    for (int i = 0; i < fits; ++i) {
        char byte = 0;
        if (!toByte(source[i], &byte)) {
            byte = fallback;
            if (usedDefaultChar)
                *usedDefaultChar = TRUE;
        }
        if (destinationLength > 0)
            destination[i] = byte;
    }
    if (destinationLength == 0)
        return count;
    return count <= destinationLength ? count : 0;
}
