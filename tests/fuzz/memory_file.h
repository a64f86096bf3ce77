// A file that lives in memory only, for fuzz targets whose readers open files by name: each input
// replaces its contents, and nothing is left on disk when the process ends, however it ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace fuzzing {

class MemoryFile {
public:
    MemoryFile() : m_fd(::memfd_create("tarvos-fuzz", 0)) {
        if (m_fd < 0)
            std::abort();
        m_path = "/proc/self/fd/" + std::to_string(m_fd);
    }
    ~MemoryFile() { ::close(m_fd); }
    MemoryFile(const MemoryFile &) = delete;
    MemoryFile &operator=(const MemoryFile &) = delete;

    // Makes the file hold exactly `size` bytes of `data`.
    void Fill(const std::uint8_t *data, std::size_t size) {
        if (::ftruncate(m_fd, 0) != 0)
            std::abort();
        for (std::size_t done = 0; done < size;) {
            const ssize_t n = ::pwrite(m_fd, data + done, size - done, static_cast<off_t>(done));
            if (n <= 0)
                std::abort();
            done += static_cast<std::size_t>(n);
        }
    }
    const std::string &Path() const { return m_path; }

private:
    int m_fd;
    std::string m_path;
};

} // namespace fuzzing
