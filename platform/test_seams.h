// The one header through which tests reach the platform layer's seams: virtual clock, captured
// message boxes and debug output, registry root, failure injection, device overrides, call logs,
// scripted input and a stepped sound mixer. Nothing here changes behaviour until a test uses it.
#pragma once

#include "platform/d3d8/seams.h"
#include "platform/dinput/seams.h"
#include "platform/dmusic/seams.h"
#include "platform/dsound/seams.h"
#include "platform/seams/failure_injection.h"
#include "platform/win32/seams.h"
