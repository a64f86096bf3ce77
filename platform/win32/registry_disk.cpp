// The registry's file steps over POSIX. A damaged file is kept by a hard link where possible: it
// takes no room, so it works on a full disk, and the file never leaves its name.
#include "platform/win32/registry_disk.h"

#include "platform/seams/failure_injection.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace win32::registry {
namespace {

constexpr int kMaxAsideNames = 1000;

std::string asideName(const std::string &path, int n) {
    return path + ".damaged-" + std::to_string(n);
}

// Copies the regular file at `from` into the new file `to`, flushed to the disk; nothing is left
// at `to` when that fails.
bool copyFile(const std::string &from, const std::string &to, std::string *why) {
    if (seams::ShouldFail("RegistryCopy")) {
        *why = "the copy cannot be written";
        return false;
    }
    const int source = ::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (source < 0) {
        *why = std::strerror(errno);
        return false;
    }
    const int target = CreateFresh(to);
    bool copied = target >= 0;
    char chunk[65536];
    while (copied) {
        const ssize_t got = ::read(source, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            copied = got == 0 && ::fsync(target) == 0;
            break;
        }
        copied = WriteAll(target, std::string_view(chunk, static_cast<std::size_t>(got)));
    }
    *why = copied ? "" : std::strerror(errno);
    ::close(source);
    if (target >= 0) {
        ::close(target);
        if (!copied)
            ::unlink(to.c_str());
    }
    return copied;
}

} // namespace

std::string FolderOf(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

bool MakeFolders(const std::string &folder) {
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

void SyncFolder(const std::string &folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

int CreateFresh(const std::string &path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

bool WriteAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string KeepDamagedCopy(const std::string &path, std::string *why) {
    struct stat original;
    if (::lstat(path.c_str(), &original) != 0) {
        *why = errno == ENOENT ? "" : std::strerror(errno);
        return {};
    }
    for (int n = 1; n <= kMaxAsideNames; ++n) {
        const std::string aside = asideName(path, n);
        struct stat info;
        if (::lstat(aside.c_str(), &info) == 0) {
            if (info.st_dev == original.st_dev && info.st_ino == original.st_ino)
                return aside;
            continue;
        }
        const bool linked =
            !seams::ShouldFail("RegistryLink") && ::link(path.c_str(), aside.c_str()) == 0;
        if (!linked && !copyFile(path, aside, why))
            return {};
        SyncFolder(FolderOf(path));
        return aside;
    }
    *why = "every name up to .damaged-" + std::to_string(kMaxAsideNames) + " is taken";
    return {};
}

std::string MoveAside(const std::string &path) {
    for (int n = 1; n <= kMaxAsideNames; ++n) {
        const std::string aside = asideName(path, n);
        struct stat info;
        if (::lstat(aside.c_str(), &info) == 0)
            continue;
        if (::rename(path.c_str(), aside.c_str()) == 0) {
            SyncFolder(FolderOf(path));
            return aside;
        }
        return {};
    }
    return {};
}

} // namespace win32::registry
