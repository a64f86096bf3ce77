// Kernel handles (files, events): every HANDLE the layer hands out points to a KernelObject, so
// one CloseHandle serves them all.
#pragma once

#include "platform/win32/types.h"

namespace win32 {

struct KernelObject {
    virtual ~KernelObject() = default;
};

// Wraps a new kernel object as a HANDLE; the caller closes it with CloseHandle.
inline HANDLE MakeHandle(KernelObject *object) {
    return static_cast<HANDLE>(object);
}

// The object behind a handle, or nullptr for NULL and INVALID_HANDLE_VALUE.
template <class T> T *ObjectFromHandle(HANDLE handle) {
    if (!handle || handle == INVALID_HANDLE_VALUE)
        return nullptr;
    return dynamic_cast<T *>(static_cast<KernelObject *>(handle));
}

} // namespace win32

BOOL CloseHandle(HANDLE handle);
