// Resources of the program's own module. The program carries none on Linux, so lookups fail the
// way a module without that resource fails; tests can add resources through the seams.
#pragma once

#include "platform/win32/types.h"

// An integer resource identifier passed where a name is expected.
inline LPCSTR MAKEINTRESOURCEA(WORD id) {
    return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(id));
}
inline bool IS_INTRESOURCE(LPCSTR name) {
    return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0;
}

// NULL when the module has no resource of that name and type (names compare without case).
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
DWORD SizeofResource(HMODULE module, HRSRC resource);
// The resource's bytes; they stay valid while the program runs.
LPVOID LockResource(HGLOBAL loaded);
