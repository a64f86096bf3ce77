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

// One line of the registry's trace.
void Trace(const std::string &text);

// Reads the file at `path`, never blocking. A missing file is an empty hive. A damaged or
// unreadable file, or anything but a regular file (or a link to one), is renamed with a
// ".damaged-N" suffix and reported in one trace line; what was intact is written back at once so
// that no intact value is lost with it. A file over the store's limits is set aside whole and the
// hive starts empty, so that the program's own keys always fit. When the store's folder is a
// file, one trace line says so and the hive starts empty.
Hive LoadHiveFile(const std::string &path);

// Renames the file at `path` to the first free "<path>.damaged-N"; the name it got, or empty
// when it could not be moved.
std::string SetAsideHiveFile(const std::string &path);

// Writes the whole hive to a temporary file beside `path`, flushes it to the disk and renames it
// over `path`, so the file is always either the old one or the new one. False (with one trace
// line) when that fails; the old file is then untouched.
bool SaveHiveFile(const std::string &path, const Hive &hive);

} // namespace win32::registry
