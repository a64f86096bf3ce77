// Test seams of the registry: a store rooted in a test folder, a way to make the layer forget what
// it loaded (as a new process would), and the file a root is kept in. Failures of key creation
// are injected with seams::InjectFailure("RegCreateKeyExA", ...), failed saves with
// seams::InjectFailure("RegistrySave", ...).
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
