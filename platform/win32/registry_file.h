// Where the registry lives on disk, and how a root's file is read and written: loads keep what
// is intact and set a damaged file aside; saves replace the file atomically.
#pragma once

#include "platform/win32/registry_store.h"

#include <string>

namespace win32::registry {

// $XDG_CONFIG_HOME/tarvos (default ~/.config/tarvos), or the folder a test chose.
std::string StoreFolder();
void SetStoreFolderOverride(std::string folder); // empty: back to the default
std::string HiveFilePath(bool localMachine);

// Reads the file at `path`. A missing file is an empty hive. A damaged or unreadable file is
// renamed with a ".damaged-N" suffix and reported in one trace line; what was intact is written
// back at once so that no intact value is lost with it.
Hive LoadHiveFile(const std::string &path);

// Writes the whole hive to a temporary file beside `path`, flushes it to the disk and renames it
// over `path`, so the file is always either the old one or the new one. False (with one trace
// line) when that fails; the old file is then untouched.
bool SaveHiveFile(const std::string &path, const Hive &hive);

} // namespace win32::registry
