// Where the registry lives on disk, and how a root's file is read and written: loads keep what
// is intact and repair a damaged file without ever taking it from its name first; saves replace
// the file atomically.
#pragma once

#include "platform/win32/registry_store.h"

#include <string>
#include <string_view>

namespace win32::registry {

// $XDG_CONFIG_HOME/tarvos (default ~/.config/tarvos), or the folder a test chose.
std::string StoreFolder();
void SetStoreFolderOverride(std::string folder); // empty: back to the default
std::string HiveFilePath(bool localMachine);

// One line of the registry's trace.
void Trace(const std::string &text);
// "a store holds at most ... keys and ... values", for traces.
std::string LimitsText();

struct LoadedHive {
    Hive hive;
    // The file at the path is damaged and still as it was: no copy of it could be kept, so it
    // was not repaired. The next save keeps the copy first if it can.
    bool damagedInPlace = false;
};

// Reads the file at `path`, never blocking. A missing file is an empty hive.
//
// A damaged file is repaired: a copy of it is kept as "<path>.damaged-N" (KeepDamagedCopy),
// then what was intact replaces it atomically, so the name never stands without the best data
// known. When either step fails the damaged file stays where it is and the next start repairs it
// again. A file over the store's limits keeps only `keyInUse` (the key the program is opening)
// and the keys below it, so the program's own keys always fit; the rest is in the copy. What
// cannot be read at all (unreadable, too large, or anything but a regular file or a link to one)
// is renamed aside. Each case is reported in one trace line. When the store's folder is a file,
// one trace line says so and the hive starts empty.
LoadedHive LoadHiveFile(const std::string &path, std::string_view keyInUse);

// Writes the whole hive to a temporary file beside `path`, flushes it to the disk and renames it
// over `path`, so the file is always either the old one or the new one. False (with one trace
// line) when that fails; the old file is then untouched.
bool SaveHiveFile(const std::string &path, const Hive &hive);

} // namespace win32::registry
