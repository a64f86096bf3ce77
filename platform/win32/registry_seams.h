// Test seams of the registry: a store rooted in a test folder, a way to make the layer forget what
// it loaded (as a new process would), and the file a root is kept in. Failures of key creation
// are injected with seams::InjectFailure("RegCreateKeyExA", ...), failed saves (a full disk, or
// a process killed before its write) with seams::InjectFailure("RegistrySave", ...). A damaged
// file is kept by a hard link, or by a copy where "RegistryLink" fails (a file system without
// hard links), or not at all where "RegistryCopy" fails too (a full disk).
#pragma once

#include "platform/win32/types.h"

#include <string>

namespace seams {

// Keeps the registry's files directly in `folder` until ResetAll (or UseDefaultRegistryRoot).
// Everything loaded so far is forgotten.
void UseRegistryRoot(const std::string &folder);
void UseDefaultRegistryRoot();
// Forgets the loaded keys so that the next call reads the files again, as a new process would.
void ReloadRegistry();
// The file that holds the keys of `root` (HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE).
std::string RegistryFilePath(HKEY root);

} // namespace seams
