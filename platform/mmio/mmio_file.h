// The object behind an HMMIO: one I/O buffer over a file on disk, or a memory image that is its own
// buffer. The buffer holds the file's bytes [offset, offset + valid) and only those; positions are
// 64-bit inside and checked before they are handed out as the 32-bit offsets of the API.
#pragma once

#include "platform/mmio/mmio.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mmio {

class MmioFile {
public:
    // A file on disk, opened by its (already resolved) path. Returns nullptr with `error` set.
    static MmioFile *OpenDisk(const std::string &path, DWORD flags, LONG bufferSize,
                              MMRESULT *error);
    // A memory image: `image` is the file; when it is null and MMIO_ALLOCBUF is given, an owned
    // zero-filled image of `size` bytes.
    static MmioFile *OpenMemory(char *image, LONG size, DWORD flags, MMRESULT *error);
    ~MmioFile();
    MmioFile(const MmioFile &) = delete;
    MmioFile &operator=(const MmioFile &) = delete;

    // Writes the buffer back if dirty and closes the file; false if the write failed.
    bool Close();

    std::int64_t Position() const { return m_offset + (m_next - m_buffer); }
    std::int64_t FileSize() const;
    bool Writable() const { return (m_flags & 3) != MMIO_READ; }

    // Byte I/O through the buffer; -1 on an I/O error with nothing transferred.
    std::int64_t Read(std::span<char> out);
    std::int64_t Write(std::span<const char> in);
    // Moves to an absolute position; false when it is negative, beyond the 32-bit range, or past
    // the end of a memory image.
    bool SeekTo(std::int64_t position);

    void GetInfo(MMIOINFO &info) const;
    MMRESULT SetInfo(const MMIOINFO &info);
    MMRESULT Advance(UINT direction);

private:
    MmioFile() = default;
    bool Flush();
    bool Fill();            // reads the buffer from the current position (disk only)
    void EmptyAtPosition(); // an empty buffer starting at the current position (disk only)

    int m_fd = -1;
    bool m_memory = false;
    DWORD m_flags = 0;
    std::vector<char> m_storage; // the owned buffer (disk) or owned image (memory)
    char *m_buffer = nullptr;
    LONG m_size = 0;           // buffer size; for a memory image, the image size
    std::int64_t m_offset = 0; // file offset of m_buffer[0]
    char *m_next = nullptr;
    char *m_endRead = nullptr;
    char *m_endWrite = nullptr;
    bool m_dirty = false;
    std::int64_t m_diskSize = 0; // bytes on disk, as far as this handle knows
};

// The live object behind a handle, or nullptr for NULL, a closed or an unknown handle.
MmioFile *FromHandle(HMMIO handle);
HMMIO Register(MmioFile *file);
void Unregister(HMMIO handle);

} // namespace mmio
