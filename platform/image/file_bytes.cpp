// Whole-file reads and writes for the codecs' callers.
#include "platform/image/image.h"

#include <cstdio>
#include <memory>

namespace image {

bool ReadFileBytes(const std::string &path, std::vector<std::uint8_t> &out, std::string &error) {
    out.clear();
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path.c_str(), "rb"),
                                                          std::fclose);
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    std::uint8_t chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
        out.insert(out.end(), chunk, chunk + got);
    if (std::ferror(file.get())) {
        error = "cannot read " + path;
        out.clear();
        return false;
    }
    return true;
}

bool WriteFileBytes(const std::string &path, std::span<const std::uint8_t> data,
                    std::string &error) {
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot create " + path;
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
