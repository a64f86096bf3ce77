// Traces of the sound manager and sounds: the subsystem's source name, the line, the result and
// the failed call; most also pop up the error box.
#pragma once

#include "platform/win32/dxtrace.h"

#define DSUTIL_TRACE(call, hr) DXTraceA("dsutil", static_cast<DWORD>(__LINE__), hr, call, TRUE)
#define DSUTIL_TRACE_NOMSGBOX(call, hr)                                                            \
    DXTraceA("dsutil", static_cast<DWORD>(__LINE__), hr, call, FALSE)
