// Trace lines to the debug output. Both buffers are bounded and always terminated: a long file
// name or message is cut, never written past the buffer.
#include "framework/utilities.h"

#include "platform/win32/debug_output.h"

#include <cstdarg>
#include <cstdio>

HRESULT TraceError(const char *sourceFile, DWORD line, HRESULT code, const char *message) {
    char text[256];
    // The line prints as the signed 32-bit number "%ld" makes of it where long has 32 bits.
    std::snprintf(text, sizeof text, "%s(%ld): ", sourceFile ? sourceFile : "",
                  static_cast<long>(static_cast<LONG>(line)));
    OutputDebugStringA(text);
    OutputDebugStringA(message ? message : "");
    if (code != 0) {
        std::snprintf(text, sizeof text, "(hr=%08lx)\n",
                      static_cast<unsigned long>(static_cast<DWORD>(code)));
        OutputDebugStringA(text);
    }
    OutputDebugStringA("\n");
    return code;
}

void TraceFormatted(const char *format, ...) {
    if (!format)
        return;
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    OutputDebugStringA(text);
}
