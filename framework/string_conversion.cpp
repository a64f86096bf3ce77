// Text conversions between 8-bit (TCHAR is char) and wide characters in the ANSI code page. Every
// result is terminated within the given count; a source that does not fit is cut.
#include "framework/utilities.h"

#include "platform/win32/text_conversion.h"

#include <cstring>

namespace {

// A count the conversions can honour: -1 or a positive number of characters. Zero or another
// negative count would place the terminator before the buffer.
bool usableCount(int count) {
    return count == -1 || count > 0;
}

} // namespace

void ConvertAnsiToWide(WCHAR *destination, const char *source, int count) {
    if (!destination || !source || !usableCount(count))
        return;
    if (count == -1)
        count = static_cast<int>(std::strlen(source)) + 1;
    MultiByteToWideChar(CP_ACP, 0, source, -1, destination, count);
    destination[count - 1] = 0;
}

void ConvertWideToAnsi(char *destination, const WCHAR *source, int count) {
    if (!destination || !source || !usableCount(count))
        return;
    if (count == -1)
        count = lstrlenW(source) + 1;
    WideCharToMultiByte(CP_ACP, 0, source, -1, destination, count, nullptr, nullptr);
    destination[count - 1] = 0;
}

void ConvertTCharToAnsi(char *destination, const char *source, int count) {
    if (!destination || !source || !usableCount(count))
        return;
    if (count == -1) {
        std::strcpy(destination, source);
        return;
    }
    std::strncpy(destination, source, static_cast<std::size_t>(count));
    destination[count - 1] = 0;
}

void ConvertAnsiToTChar(char *destination, const char *source, int count) {
    ConvertTCharToAnsi(destination, source, count);
}

void ConvertTCharToWide(WCHAR *destination, const char *source, int count) {
    if (!destination || !source || count == 0)
        return;
    ConvertAnsiToWide(destination, source, count);
}

void ConvertWideToTChar(char *destination, const WCHAR *source, int count) {
    if (!destination || !source || count == 0)
        return;
    ConvertWideToAnsi(destination, source, count);
}
