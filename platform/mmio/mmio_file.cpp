// Buffered I/O of one multimedia file: the buffer window, its refills and write-backs, and the
// buffer state handed to callers that copy bytes through it directly.
#include "platform/mmio/mmio_file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace mmio {

namespace {

constexpr LONG kMaxBuffer = 64 * 1024 * 1024;

std::mutex &HandleMutex() {
    static std::mutex mutex;
    return mutex;
}
std::unordered_set<MmioFile *> &LiveFiles() {
    static std::unordered_set<MmioFile *> files;
    return files;
}

} // namespace

MmioFile *MmioFile::OpenDisk(const std::string &path, DWORD flags, LONG bufferSize,
                             MMRESULT *error) {
    int mode = 0;
    switch (flags & 3) {
    case MMIO_READ:
        mode = O_RDONLY;
        break;
    case MMIO_WRITE:
        mode = O_WRONLY;
        break;
    case MMIO_READWRITE:
        mode = O_RDWR;
        break;
    default:
        *error = MMSYSERR_INVALFLAG;
        return nullptr;
    }
    if (flags & MMIO_CREATE)
        mode |= O_CREAT | O_TRUNC;
    if (bufferSize <= 0 || bufferSize > kMaxBuffer)
        bufferSize = MMIO_DEFAULTBUFFER;

    const int fd = ::open(path.c_str(), mode | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = errno == ENOENT ? MMIOERR_FILENOTFOUND : MMIOERR_CANNOTOPEN;
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        *error = MMIOERR_CANNOTOPEN;
        return nullptr;
    }
    auto *file = new MmioFile();
    file->m_fd = fd;
    file->m_flags = flags;
    file->m_storage.assign(static_cast<std::size_t>(bufferSize), 0);
    file->m_buffer = file->m_storage.data();
    file->m_size = bufferSize;
    file->m_diskSize = info.st_size;
    file->m_next = file->m_endRead = file->m_buffer;
    file->m_endWrite = file->Writable() ? file->m_buffer + bufferSize : file->m_buffer;
    return file;
}

MmioFile *MmioFile::OpenMemory(char *image, LONG size, DWORD flags, MMRESULT *error) {
    if ((flags & 3) == 3) {
        *error = MMSYSERR_INVALFLAG;
        return nullptr;
    }
    if (size < 0 || (!image && (!(flags & MMIO_ALLOCBUF) || size == 0))) {
        *error = MMSYSERR_INVALPARAM;
        return nullptr;
    }
    auto *file = new MmioFile();
    file->m_memory = true;
    file->m_flags = flags;
    if (!image) {
        file->m_storage.assign(static_cast<std::size_t>(size), 0);
        image = file->m_storage.data();
    }
    file->m_buffer = image;
    file->m_size = size;
    file->m_next = image;
    file->m_endRead = image + size;
    file->m_endWrite = file->Writable() ? image + size : image;
    return file;
}

MmioFile::~MmioFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool MmioFile::Close() {
    const bool written = Flush();
    if (m_fd >= 0 && ::close(m_fd) != 0 && Writable())
        return false;
    m_fd = -1;
    return written;
}

std::int64_t MmioFile::FileSize() const {
    if (m_memory)
        return m_size;
    return std::max<std::int64_t>(m_diskSize, m_offset + (m_endRead - m_buffer));
}

bool MmioFile::Flush() {
    if (!m_dirty || m_memory) {
        m_dirty = false;
        return true;
    }
    const std::int64_t length = m_endRead - m_buffer;
    std::int64_t done = 0;
    while (done < length) {
        const ssize_t n = ::pwrite(m_fd, m_buffer + done, static_cast<std::size_t>(length - done),
                                   static_cast<off_t>(m_offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    m_diskSize = std::max(m_diskSize, m_offset + length);
    m_dirty = false;
    return true;
}

bool MmioFile::Fill() {
    if (!Flush())
        return false;
    m_offset = Position();
    m_next = m_endRead = m_buffer;
    m_endWrite = Writable() ? m_buffer + m_size : m_buffer;
    std::int64_t got = 0;
    while (got < m_size) {
        const ssize_t n = ::pread(m_fd, m_buffer + got, static_cast<std::size_t>(m_size - got),
                                  static_cast<off_t>(m_offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += n;
    }
    m_endRead = m_buffer + got;
    return true;
}

void MmioFile::EmptyAtPosition() {
    m_offset = Position();
    m_next = m_endRead = m_buffer;
    m_endWrite = Writable() ? m_buffer + m_size : m_buffer;
}

std::int64_t MmioFile::Read(std::span<char> out) {
    std::int64_t total = 0;
    while (total < static_cast<std::int64_t>(out.size())) {
        if (m_next >= m_endRead) {
            if (m_memory)
                break;
            if (!Fill())
                return total > 0 ? total : -1;
            if (m_next >= m_endRead)
                break;
        }
        const auto n = std::min<std::int64_t>(m_endRead - m_next, out.size() - total);
        std::memcpy(out.data() + total, m_next, static_cast<std::size_t>(n));
        m_next += n;
        total += n;
    }
    return total;
}

std::int64_t MmioFile::Write(std::span<const char> in) {
    if (!Writable())
        return -1;
    std::int64_t total = 0;
    while (total < static_cast<std::int64_t>(in.size())) {
        if (m_next >= m_endWrite) {
            if (m_memory)
                break;
            if (!Flush())
                return total > 0 ? total : -1;
            EmptyAtPosition();
            if (Position() > INT_MAX)
                break;
        }
        const auto n = std::min<std::int64_t>(m_endWrite - m_next, in.size() - total);
        std::memcpy(m_next, in.data() + total, static_cast<std::size_t>(n));
        m_next += n;
        m_endRead = std::max(m_endRead, m_next);
        m_dirty = true;
        total += n;
    }
    return total;
}

bool MmioFile::SeekTo(std::int64_t position) {
    if (position < 0 || position > INT_MAX)
        return false;
    if (m_memory) {
        if (position > m_size)
            return false;
        m_next = m_buffer + position;
        return true;
    }
    if (position >= m_offset && position <= m_offset + (m_endRead - m_buffer)) {
        m_next = m_buffer + (position - m_offset);
        return true;
    }
    if (!Flush())
        return false;
    m_offset = position;
    m_next = m_endRead = m_buffer;
    m_endWrite = Writable() ? m_buffer + m_size : m_buffer;
    return true;
}

void MmioFile::GetInfo(MMIOINFO &info) const {
    std::memset(&info, 0, sizeof info);
    info.dwFlags = m_flags | (m_dirty ? MMIO_DIRTY : 0);
    info.fccIOProc = m_memory ? FOURCC_MEM : FOURCC_DOS;
    info.cchBuffer = m_size;
    info.pchBuffer = m_buffer;
    info.pchNext = m_next;
    info.pchEndRead = m_endRead;
    info.pchEndWrite = m_endWrite;
    info.lBufOffset = static_cast<LONG>(m_offset);
    info.lDiskOffset = static_cast<LONG>(m_offset + (m_endRead - m_buffer));
}

MMRESULT MmioFile::SetInfo(const MMIOINFO &info) {
    const bool dirty = (info.dwFlags & MMIO_DIRTY) != 0;
    if (dirty && !Writable())
        return MMIOERR_CANNOTWRITE;
    // A caller may move within what can be read, or, having written, within what can be written;
    // anything else would hand out bytes that are not the file's.
    char *const limit = dirty ? std::max(m_endWrite, m_endRead) : m_endRead;
    if (info.pchBuffer != m_buffer || info.pchNext < m_buffer || info.pchNext > limit)
        return MMSYSERR_INVALPARAM;
    m_next = info.pchNext;
    if (dirty) {
        m_dirty = true;
        m_endRead = std::max(m_endRead, m_next);
    }
    return MMSYSERR_NOERROR;
}

MMRESULT MmioFile::Advance(UINT direction) {
    if (direction != MMIO_READ && direction != MMIO_WRITE)
        return MMSYSERR_INVALFLAG;
    if (direction == MMIO_WRITE && !Writable())
        return MMIOERR_CANNOTWRITE;
    if (m_memory) {
        // The image is the whole file: reading has nothing more to bring in, and writing past
        // its end would need a bigger image.
        if (direction == MMIO_WRITE && m_next >= m_endWrite)
            return MMIOERR_CANNOTEXPAND;
        return MMSYSERR_NOERROR;
    }
    if (!Flush())
        return MMIOERR_CANNOTWRITE;
    if (direction == MMIO_READ)
        return Fill() ? MMSYSERR_NOERROR : MMIOERR_CANNOTREAD;
    if (Position() > INT_MAX)
        return MMIOERR_CANNOTEXPAND;
    EmptyAtPosition();
    return MMSYSERR_NOERROR;
}

MmioFile *FromHandle(HMMIO handle) {
    if (!handle)
        return nullptr;
    auto *file = reinterpret_cast<MmioFile *>(handle);
    std::lock_guard lock(HandleMutex());
    return LiveFiles().count(file) ? file : nullptr;
}

HMMIO Register(MmioFile *file) {
    std::lock_guard lock(HandleMutex());
    LiveFiles().insert(file);
    return reinterpret_cast<HMMIO>(file);
}

void Unregister(HMMIO handle) {
    std::lock_guard lock(HandleMutex());
    LiveFiles().erase(reinterpret_cast<MmioFile *>(handle));
}

} // namespace mmio
