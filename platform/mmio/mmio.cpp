// The multimedia file functions' byte-level surface: open, close, read, write, seek and the
// buffer-state calls, each checking its handle and arguments before reaching the file object.
#include "platform/mmio/mmio.h"

#include "platform/mmio/mmio_file.h"
#include "platform/seams/failure_injection.h"
#include "platform/win32/files.h"

#include <span>
#include <string>

using mmio::MmioFile;

namespace {

// Sharing modes have no meaning for a single program on Linux and are accepted and ignored.
constexpr DWORD kKnownOpenFlags = 0x3 | 0x70 | MMIO_CREATE | MMIO_ALLOCBUF;

HMMIO FailOpen(LPMMIOINFO info, MMRESULT error) {
    if (info)
        info->wErrorRet = error;
    return nullptr;
}

} // namespace

HMMIO mmioOpenA(LPCSTR fileName, LPMMIOINFO info, DWORD flags) {
    if (seams::ShouldFail("mmioOpen"))
        return FailOpen(info, MMIOERR_CANNOTOPEN);
    if ((flags & ~kKnownOpenFlags) != 0 || (flags & 3) == 3)
        return FailOpen(info, MMSYSERR_INVALFLAG);

    MMRESULT error = MMSYSERR_NOERROR;
    MmioFile *file = nullptr;
    if (info && info->pIOProc) {
        // Only the built-in procedures exist in this layer.
        return FailOpen(info, MMIOERR_CANNOTOPEN);
    } else if (info && info->fccIOProc == FOURCC_MEM) {
        file = MmioFile::OpenMemory(info->pchBuffer, info->cchBuffer, flags, &error);
    } else if (info && info->fccIOProc != 0 && info->fccIOProc != FOURCC_DOS) {
        return FailOpen(info, MMIOERR_CANNOTOPEN);
    } else {
        if (!fileName || !*fileName)
            return FailOpen(info, MMIOERR_FILENOTFOUND);
        const LONG bufferSize = info && info->cchBuffer > 0 ? info->cchBuffer : MMIO_DEFAULTBUFFER;
        file = MmioFile::OpenDisk(win32::ResolveFileName(fileName), flags, bufferSize, &error);
    }
    if (!file)
        return FailOpen(info, error);
    const HMMIO handle = mmio::Register(file);
    if (info) {
        info->wErrorRet = MMSYSERR_NOERROR;
        info->hmmio = handle;
    }
    return handle;
}

MMRESULT mmioClose(HMMIO mmio, UINT /*flags*/) {
    MmioFile *file = mmio::FromHandle(mmio);
    if (!file)
        return MMSYSERR_INVALHANDLE;
    mmio::Unregister(mmio);
    const bool written = file->Close();
    delete file;
    return written ? MMSYSERR_NOERROR : MMIOERR_CANNOTWRITE;
}

LONG mmioRead(HMMIO mmio, HPSTR buffer, LONG count) {
    MmioFile *file = mmio::FromHandle(mmio);
    if (!file || count < 0 || (!buffer && count > 0))
        return -1;
    if (seams::ShouldFail("mmioRead"))
        return -1;
    return static_cast<LONG>(file->Read(std::span<char>(buffer, static_cast<std::size_t>(count))));
}

LONG mmioWrite(HMMIO mmio, const char *buffer, LONG count) {
    MmioFile *file = mmio::FromHandle(mmio);
    if (!file || count < 0 || (!buffer && count > 0))
        return -1;
    if (seams::ShouldFail("mmioWrite"))
        return -1;
    return static_cast<LONG>(
        file->Write(std::span<const char>(buffer, static_cast<std::size_t>(count))));
}

LONG mmioSeek(HMMIO mmio, LONG offset, int origin) {
    MmioFile *file = mmio::FromHandle(mmio);
    if (!file || seams::ShouldFail("mmioSeek"))
        return -1;
    std::int64_t base = 0;
    switch (origin) {
    case SEEK_SET:
        break;
    case SEEK_CUR:
        base = file->Position();
        break;
    case SEEK_END:
        base = file->FileSize();
        break;
    default:
        return -1;
    }
    const std::int64_t target = base + offset;
    return file->SeekTo(target) ? static_cast<LONG>(target) : -1;
}

MMRESULT mmioGetInfo(HMMIO mmio, LPMMIOINFO info, UINT /*flags*/) {
    MmioFile *file = mmio::FromHandle(mmio);
    if (!file)
        return MMSYSERR_INVALHANDLE;
    if (!info)
        return MMSYSERR_INVALPARAM;
    if (seams::ShouldFail("mmioGetInfo"))
        return MMIOERR_UNBUFFERED;
    file->GetInfo(*info);
    info->hmmio = mmio;
    return MMSYSERR_NOERROR;
}

MMRESULT mmioSetInfo(HMMIO mmio, LPCMMIOINFO info, UINT /*flags*/) {
    MmioFile *file = mmio::FromHandle(mmio);
    if (!file)
        return MMSYSERR_INVALHANDLE;
    if (!info)
        return MMSYSERR_INVALPARAM;
    if (seams::ShouldFail("mmioSetInfo"))
        return MMIOERR_UNBUFFERED;
    return file->SetInfo(*info);
}

MMRESULT mmioAdvance(HMMIO mmio, LPMMIOINFO info, UINT flags) {
    MmioFile *file = mmio::FromHandle(mmio);
    if (!file)
        return MMSYSERR_INVALHANDLE;
    if (seams::ShouldFail("mmioAdvance"))
        return flags == MMIO_WRITE ? MMIOERR_CANNOTWRITE : MMIOERR_CANNOTREAD;
    if (info) {
        const MMRESULT adopted = file->SetInfo(*info);
        if (adopted != MMSYSERR_NOERROR)
            return adopted;
    }
    const MMRESULT result = file->Advance(flags);
    if (info) {
        // The caller's copy follows the buffer even after a failure, so it never points at
        // bytes the buffer no longer holds.
        file->GetInfo(*info);
        info->hmmio = mmio;
    }
    return result;
}
