// The registry's files. One text file per root; a save rewrites the whole file through a
// temporary file in the same folder (write, flush to disk, rename, flush the folder), so a crash
// or a kill at any moment leaves the previous file or the new one, never a mixture. A repair
// works the same way, after keeping the damaged file under a second name.
#include "platform/win32/registry_file.h"

#include "platform/seams/failure_injection.h"
#include "platform/win32/debug_output.h"
#include "platform/win32/registry_disk.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace win32::registry {
namespace {

std::mutex g_folderLock;
std::string g_folderOverride;

std::string homeFolder() {
    if (const char *home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd *user = ::getpwuid(::getuid()); user && user->pw_dir)
        return user->pw_dir;
    return "/tmp";
}

// Temporary files of saves that a killed process never renamed; removed once their writer is gone.
void removeStaleTemporaries(const std::string &path) {
    const std::string folder = FolderOf(path);
    const std::string prefix = path.substr(path.rfind('/') + 1) + ".tmp-";
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind(prefix, 0) != 0)
            continue;
        char *end = nullptr;
        const long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
        if (!end || *end || pid <= 0 || pid == ::getpid())
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            ::unlink((folder + "/" + name).c_str());
    }
    ::closedir(dir);
}

// The first folder on the way to `path` that exists as something other than a folder, or empty.
std::string nonFolderAbove(const std::string &path) {
    for (std::size_t cut = path.find('/', 1); cut != std::string::npos;
         cut = path.find('/', cut + 1)) {
        const std::string folder = path.substr(0, cut);
        struct stat info;
        if (::stat(folder.c_str(), &info) != 0)
            return {};
        if (!S_ISDIR(info.st_mode))
            return folder;
    }
    return {};
}

// What a file that is not a regular one is, for the trace: "a named pipe", "a link to a
// character device"...
std::string kindOf(const std::string &path) {
    struct stat link;
    struct stat target;
    const bool isLink = ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
    if (::stat(path.c_str(), &target) != 0)
        return isLink ? "a broken link" : "not a file";
    const char *kind = S_ISFIFO(target.st_mode)   ? "a named pipe"
                       : S_ISCHR(target.st_mode)  ? "a character device"
                       : S_ISBLK(target.st_mode)  ? "a block device"
                       : S_ISSOCK(target.st_mode) ? "a socket"
                       : S_ISDIR(target.st_mode)  ? "a folder"
                                                  : "a special file";
    return (isLink ? "a link to " : "") + std::string(kind);
}

enum class ReadStatus { Read, Missing, Unreadable, TooLarge, NotAFile, FolderIsAFile };

ReadStatus readFile(const std::string &path, std::string *text, std::string *why) {
    // Never blocking: a named pipe or a device in the file's place must not hold the program up
    // before it has even shown its window; only a regular file (or a link to one) is read.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        const int error = errno;
        if (error == ENOENT)
            return ReadStatus::Missing;
        if (error == ENOTDIR) {
            *why = nonFolderAbove(path);
            if (!why->empty())
                return ReadStatus::FolderIsAFile;
        }
        if (error == ENXIO) { // a socket
            *why = kindOf(path) + ", not a regular file";
            return ReadStatus::NotAFile;
        }
        *why = std::strerror(error);
        return ReadStatus::Unreadable;
    }
    struct stat info;
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        *why = kindOf(path) + ", not a regular file";
        return ReadStatus::NotAFile;
    }
    char chunk[65536];
    ReadStatus status = ReadStatus::Read;
    for (;;) {
        const ssize_t got = ::read(descriptor, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            *why = std::strerror(errno);
            status = ReadStatus::Unreadable;
            break;
        }
        if (got == 0)
            break;
        if (text->size() + static_cast<std::size_t>(got) > kMaxFileBytes) {
            status = ReadStatus::TooLarge;
            break;
        }
        text->append(chunk, static_cast<std::size_t>(got));
    }
    ::close(descriptor);
    return status;
}

// What the load keeps of a store over its limits: the key the program is opening and the keys
// below it. Filled to the brim with everything that fits, the store would leave no room for the
// program's own keys and values on any later run. `*kept` says what was kept, for the trace.
ParseResult keepKeyInUse(std::string_view text, std::string_view keyInUse, std::string *kept) {
    ParseResult result;
    if (!keyInUse.empty())
        result = ParseHive(text, KeysAtOrBelow({std::string(keyInUse)}));
    const Key *key = keyInUse.empty() ? nullptr : result.hive.Find(keyInUse);
    if (!key || result.overLimits) {
        *kept = LimitsText() + "; started a clean store";
        return {};
    }
    *kept = LimitsText() + "; kept key \"" + key->Path() + "\" and the keys below it (" +
            std::to_string(result.valuesKept) + " value(s)) and set aside the rest";
    return result;
}

// Replaces the damaged regular file at `path` by `repaired`, once a copy of it is kept. `damage`
// opens the trace line: what is wrong and what was kept.
LoadedHive repair(const std::string &path, const std::string &damage, Hive repaired) {
    std::string why;
    const std::string aside = KeepDamagedCopy(path, &why);
    if (aside.empty()) {
        Trace(damage + "; no copy of it could be kept (" + why +
              "), so it stays in place until the store is next saved");
        return {std::move(repaired), true};
    }
    if (!SaveHiveFile(path, repaired))
        Trace(damage + "; it is kept as " + aside +
              " and stays in place until a repaired store can be written");
    else
        Trace(damage + "; the damaged file is kept as " + aside);
    return {std::move(repaired), false};
}

} // namespace

void Trace(const std::string &text) {
    OutputDebugStringA(("registry: " + text + "\n").c_str());
}

std::string LimitsText() {
    return "a store holds at most " + std::to_string(kMaxKeys) + " keys and " +
           std::to_string(kMaxValues) + " values";
}

std::string StoreFolder() {
    {
        std::lock_guard guard(g_folderLock);
        if (!g_folderOverride.empty())
            return g_folderOverride;
    }
    // A relative XDG_CONFIG_HOME is ignored, as the XDG base directory rules ask.
    const char *config = std::getenv("XDG_CONFIG_HOME");
    const std::string base = (config && config[0] == '/') ? config : homeFolder() + "/.config";
    return base + "/tarvos";
}

void SetStoreFolderOverride(std::string folder) {
    std::lock_guard guard(g_folderLock);
    g_folderOverride = std::move(folder);
}

std::string HiveFilePath(bool localMachine) {
    return StoreFolder() + (localMachine ? "/local_machine.reg" : "/current_user.reg");
}

LoadedHive LoadHiveFile(const std::string &path, std::string_view keyInUse) {
    removeStaleTemporaries(path);
    std::string text;
    std::string why;
    const ReadStatus status = readFile(path, &text, &why);
    if (status == ReadStatus::Missing)
        return {};
    if (status == ReadStatus::FolderIsAFile) {
        // Not ours to move: whatever it is, the user put it there.
        Trace("the settings folder " + why + " is a file, not a folder: settings start from " +
              "their defaults and cannot be saved until it is moved away");
        return {};
    }

    ParseResult parsed;
    std::string kept = "kept 0 intact value(s)";
    if (status == ReadStatus::Read) {
        parsed = ParseHive(text);
        if (parsed.problems == 0)
            return {std::move(parsed.hive)};
        why = std::to_string(parsed.problems) + " problem(s), first at " + parsed.firstProblem;
        if (parsed.overLimits)
            parsed = keepKeyInUse(text, keyInUse, &kept);
        else
            kept = "kept " + std::to_string(parsed.valuesKept) + " intact value(s)";
    } else if (status == ReadStatus::TooLarge) {
        why = "larger than " + std::to_string(kMaxFileBytes) + " bytes";
    }

    const std::string damage = path + " is damaged (" + why + "); " + kept;
    if (status == ReadStatus::Read)
        return repair(path, damage, std::move(parsed.hive));
    // Nothing of it could be read, so nothing known is lost while its name stands empty.
    const std::string aside = MoveAside(path);
    Trace(damage + "; " +
          (aside.empty() ? std::string("could not move it aside") : "moved it to " + aside));
    return {};
}

bool SaveHiveFile(const std::string &path, const Hive &hive) {
    const std::string folder = FolderOf(path);
    if (seams::ShouldFail("RegistrySave")) {
        Trace("cannot write " + path + ": the folder cannot be created or written");
        return false;
    }
    if (const std::string blocker = nonFolderAbove(path); !blocker.empty()) {
        Trace("cannot write " + path + ": the settings folder " + blocker +
              " is a file, not a folder");
        return false;
    }
    if (!MakeFolders(folder)) {
        Trace("cannot write " + path + ": cannot create the folder " + folder + ": " +
              std::strerror(errno));
        return false;
    }
    const std::string temporary = path + ".tmp-" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    const int descriptor = CreateFresh(temporary);
    if (descriptor < 0) {
        Trace("cannot write " + temporary + ": " + std::strerror(errno));
        return false;
    }
    const bool written = WriteAll(descriptor, FormatHive(hive)) && ::fsync(descriptor) == 0;
    const int error = errno;
    ::close(descriptor);
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        Trace("cannot write " + path + ": " + std::strerror(written ? errno : error));
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}

} // namespace win32::registry
