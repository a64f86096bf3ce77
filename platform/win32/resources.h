// Resources of the program's own module. The program carries none on Linux, so lookups fail the
// way a module without that resource fails; tests can add resources through the seams.
#pragma once

#include "platform/win32/types.h"

// Integer resource identifiers passed where a name is expected (shared with the window header).
#ifndef MAKEINTRESOURCEA
#define MAKEINTRESOURCEA(id)                                                                       \
    (reinterpret_cast<LPSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(id))))
#endif
#ifndef IS_INTRESOURCE
#define IS_INTRESOURCE(p) ((reinterpret_cast<std::uintptr_t>(p) >> 16) == 0)
#endif

// NULL when the module has no resource of that name and type (names compare without case).
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
DWORD SizeofResource(HMODULE module, HRSRC resource);
// The resource's bytes; they stay valid while the program runs.
LPVOID LockResource(HGLOBAL loaded);
