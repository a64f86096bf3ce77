// Everything of the Windows core layer that the program's code includes.
#pragma once

#include "platform/win32/clock.h"
#include "platform/win32/com.h"
#include "platform/win32/debug_output.h"
#include "platform/win32/dxtrace.h"
#include "platform/win32/handles.h"
#include "platform/win32/message_box.h"
#include "platform/win32/random.h"
#include "platform/win32/results.h"
#include "platform/win32/types.h"

#if __has_include("platform/win32/window.h")
#include "platform/win32/window.h"
#endif
#if __has_include("platform/win32/messages.h")
#include "platform/win32/messages.h"
#endif
#if __has_include("platform/win32/registry.h")
#include "platform/win32/registry.h"
#endif
#if __has_include("platform/win32/text_conversion.h")
#include "platform/win32/text_conversion.h"
#endif
#if __has_include("platform/win32/events.h")
#include "platform/win32/events.h"
#endif
#if __has_include("platform/win32/files.h")
#include "platform/win32/files.h"
#endif
#if __has_include("platform/win32/gdi.h")
#include "platform/win32/gdi.h"
#endif
