// Whole-file reads and writes for the codecs' callers. A failure says why, from the system.
#include "platform/image/image.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <sys/stat.h>

namespace image {
namespace {

std::string because(const char *what, const std::string &path, int error) {
    return std::string(what) + " " + path + ": " + std::strerror(error);
}

} // namespace

bool ReadFileBytes(const std::string &path, std::vector<std::uint8_t> &out, std::string &error) {
    out.clear();
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path.c_str(), "rb"),
                                                          std::fclose);
    if (!file) {
        error = because("cannot open", path, errno);
        return false;
    }
    // Sized once from the file's length, so that a large file is not copied as the buffer grows;
    // the read still goes to the end, whatever the length said.
    struct stat status {};
    if (fstat(fileno(file.get()), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0)
        out.reserve(static_cast<std::size_t>(status.st_size));
    std::uint8_t chunk[65536];
    std::size_t got;
    errno = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
        out.insert(out.end(), chunk, chunk + got);
    if (std::ferror(file.get())) {
        error = because("cannot read", path, errno ? errno : EIO);
        out.clear();
        return false;
    }
    return true;
}

bool WriteFileBytes(const std::string &path, std::span<const std::uint8_t> data,
                    std::string &error) {
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = because("cannot create", path, errno);
        return false;
    }
    const bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace image
