// The trace call of the program's subsystems: one debug-output line per failed call, and with the
// pop-up flag an "Unexpected error encountered" message box as well.
#pragma once

#include "platform/win32/types.h"

HRESULT DXTraceA(const char *sourceFile, DWORD line, HRESULT hr, const char *message, BOOL popUp);

#define DXTRACE_ERR(str, hr) DXTraceA(__FILE__, static_cast<DWORD>(__LINE__), hr, str, TRUE)
#define DXTRACE_ERR_NOMSGBOX(str, hr)                                                              \
    DXTraceA(__FILE__, static_cast<DWORD>(__LINE__), hr, str, FALSE)
