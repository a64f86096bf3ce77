// The registry's files. One text file per root; a save rewrites the whole file through a
// temporary file in the same folder (write, flush to disk, rename, flush the folder), so a crash
// or a kill at any moment leaves the previous file or the new one, never a mixture.
#include "platform/win32/registry_file.h"

#include "platform/seams/failure_injection.h"
#include "platform/win32/debug_output.h"

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

void trace(const std::string &text) {
    OutputDebugStringA(("registry: " + text + "\n").c_str());
}

std::string homeFolder() {
    if (const char *home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd *user = ::getpwuid(::getuid()); user && user->pw_dir)
        return user->pw_dir;
    return "/tmp";
}

bool makeFolders(const std::string &folder) {
    std::string partial;
    for (std::size_t i = 0; i <= folder.size(); ++i) {
        if (i == folder.size() || (folder[i] == '/' && i > 0)) {
            partial = folder.substr(0, i);
            if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST)
                return false;
        }
    }
    return true;
}

std::string folderOf(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

bool writeAll(int descriptor, const std::string &text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(descriptor, text.data() + done, text.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

void syncFolder(const std::string &folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

// Temporary files of saves that a killed process never renamed; removed once their writer is gone.
void removeStaleTemporaries(const std::string &path) {
    const std::string folder = folderOf(path);
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

enum class ReadStatus { Read, Missing, Unreadable, TooLarge };

ReadStatus readFile(const std::string &path, std::string *text, std::string *why) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        if (errno == ENOENT)
            return ReadStatus::Missing;
        *why = std::strerror(errno);
        return ReadStatus::Unreadable;
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

// Renames a damaged file to the first free "<path>.damaged-N"; the name it got, or empty.
std::string setAside(const std::string &path) {
    for (int n = 1; n <= 1000; ++n) {
        const std::string aside = path + ".damaged-" + std::to_string(n);
        struct stat info;
        if (::lstat(aside.c_str(), &info) == 0)
            continue;
        if (::rename(path.c_str(), aside.c_str()) == 0) {
            syncFolder(folderOf(path));
            return aside;
        }
        return {};
    }
    return {};
}

} // namespace

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

Hive LoadHiveFile(const std::string &path) {
    removeStaleTemporaries(path);
    std::string text;
    std::string why;
    const ReadStatus status = readFile(path, &text, &why);
    if (status == ReadStatus::Missing)
        return Hive{};

    ParseResult parsed;
    if (status == ReadStatus::Read) {
        parsed = ParseHive(text);
        if (parsed.problems == 0)
            return std::move(parsed.hive);
        why = std::to_string(parsed.problems) + " problem(s), first at " + parsed.firstProblem;
    } else if (status == ReadStatus::TooLarge) {
        why = "larger than " + std::to_string(kMaxFileBytes) + " bytes";
    }

    const std::string aside = setAside(path);
    trace(path + " is damaged (" + why + "); kept " + std::to_string(parsed.valuesKept) +
          " intact value(s); " +
          (aside.empty() ? std::string("could not move it aside") : "moved it to " + aside));
    if (!aside.empty() && !parsed.hive.Empty())
        SaveHiveFile(path, parsed.hive);
    return std::move(parsed.hive);
}

bool SaveHiveFile(const std::string &path, const Hive &hive) {
    const std::string folder = folderOf(path);
    if (seams::ShouldFail("RegistrySave") || !makeFolders(folder)) {
        trace("cannot write " + path + ": the folder cannot be created or written");
        return false;
    }
    const std::string temporary = path + ".tmp-" + std::to_string(::getpid());
    const int descriptor =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        trace("cannot write " + temporary + ": " + std::strerror(errno));
        return false;
    }
    const bool written = writeAll(descriptor, FormatHive(hive)) && ::fsync(descriptor) == 0;
    const int error = errno;
    ::close(descriptor);
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        trace("cannot write " + path + ": " + std::strerror(written ? errno : error));
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

} // namespace win32::registry
