// Event objects: signalled by one thread (the sound mixer, or the program), waited for by another.
// They are kernel handles, closed with CloseHandle.
#pragma once

#include "platform/win32/handles.h"
#include "platform/win32/types.h"

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0x00000000;
constexpr DWORD WAIT_TIMEOUT = 0x00000102;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

// Security attributes and names are accepted and ignored: every event is private to the process.
HANDLE CreateEventA(const void *securityAttributes, BOOL manualReset, BOOL initialState,
                    LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
// Waits in real time, also under the virtual clock: whoever signals the event does not depend on
// the waiter's clock. An auto-reset event is reset by the wait that it satisfies.
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);
