// Closing a kernel handle destroys the object behind it.
#include "platform/win32/handles.h"

BOOL CloseHandle(HANDLE handle) {
    if (!handle || handle == INVALID_HANDLE_VALUE)
        return FALSE;
    delete static_cast<win32::KernelObject *>(handle);
    return TRUE;
}
