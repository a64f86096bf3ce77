// The file steps that the registry's saves and repairs are made of, each leaving the disk in a
// state a crash cannot spoil: folders made, fresh files written whole and flushed, and damaged
// files kept under "<path>.damaged-N".
#pragma once

#include <string>
#include <string_view>

namespace win32::registry {

std::string FolderOf(const std::string &path);
// Makes `folder` and every folder above it (0700); false when one cannot be made.
bool MakeFolders(const std::string &folder);
// Flushes a folder's entries (a rename, a new name) to the disk.
void SyncFolder(const std::string &folder);
// Opens a file that must not exist yet, for writing: never a name left by someone else (a named
// pipe, a link) that would block the write or be written through. -1 on failure.
int CreateFresh(const std::string &path);
bool WriteAll(int descriptor, std::string_view bytes);

// Keeps the file at `path` as it is under "<path>.damaged-N" without taking it from its name: a
// second name for the same file (a hard link) where the file system allows one, a copy
// otherwise. A name that already stands for this very file (kept by a start whose repair could
// not be written) is used again. The name, or empty with `*why` saying why; `*why` is empty too
// when there is nothing at `path`.
std::string KeepDamagedCopy(const std::string &path, std::string *why);

// Renames what is at `path` to the first free "<path>.damaged-N": for things that are no file of
// ours (a named pipe, a device, a folder), which hold no settings to keep under the name. The
// name it got, or empty when it could not be moved.
std::string MoveAside(const std::string &path);

} // namespace win32::registry
