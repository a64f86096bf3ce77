// Debug output: the program's trace lines go to standard error (and to a capture in tests).
#pragma once

#include "platform/win32/types.h"

void OutputDebugStringA(LPCSTR text);
