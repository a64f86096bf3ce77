// Trace lines name the source, the line, the result code and the failed call.
#include "platform/win32/dxtrace.h"

#include "platform/win32/debug_output.h"
#include "platform/win32/message_box.h"

#include <cstdio>

HRESULT DXTraceA(const char *sourceFile, DWORD line, HRESULT hr, const char *message, BOOL popUp) {
    const char *file = sourceFile ? sourceFile : "";
    const char *call = message ? message : "";
    const auto code = static_cast<unsigned>(hr);
    char text[1024];
    std::snprintf(text, sizeof text, "%s(%u): %s hr=0x%08X\n", file, static_cast<unsigned>(line),
                  call, code);
    OutputDebugStringA(text);
    if (popUp) {
        char box[1024];
        std::snprintf(box, sizeof box, "File: %s\nLine: %u\nError Code: 0x%08X\nCalling: %s", file,
                      static_cast<unsigned>(line), code, call);
        MessageBoxA(nullptr, box, "Unexpected error encountered", MB_OK | MB_ICONHAND);
    }
    return hr;
}
