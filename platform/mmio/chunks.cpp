// RIFF chunk navigation: finding chunks inside their parent, leaving them, and writing new ones.
// Sizes are checked against the parent and the file, so a corrupt size never leads a search or a
// read outside the data it claims to describe.
#include "platform/mmio/mmio.h"

#include "platform/mmio/mmio_file.h"
#include "platform/seams/failure_injection.h"

#include <algorithm>
#include <cstring>
#include <span>

using mmio::MmioFile;

namespace {

bool ReadDword(MmioFile &file, DWORD &value) {
    char bytes[4];
    if (file.Read(bytes) != 4)
        return false;
    std::memcpy(&value, bytes, 4);
    return true;
}

bool WriteDword(MmioFile &file, DWORD value) {
    char bytes[4];
    std::memcpy(bytes, &value, 4);
    return file.Write(bytes) == 4;
}

bool IsList(FOURCC id) {
    return id == FOURCC_RIFF || id == FOURCC_LIST;
}

} // namespace

MMRESULT mmioDescend(HMMIO mmio, LPMMCKINFO ck, LPCMMCKINFO parent, UINT flags) {
    MmioFile *file = mmio::FromHandle(mmio);
    if (!file)
        return MMSYSERR_INVALHANDLE;
    if (!ck)
        return MMSYSERR_INVALPARAM;
    const UINT search = flags & (MMIO_FINDCHUNK | MMIO_FINDRIFF | MMIO_FINDLIST);
    if (flags != search || (search & (search - 1)) != 0)
        return MMSYSERR_INVALFLAG;
    if (seams::ShouldFail("mmioDescend"))
        return MMIOERR_CHUNKNOTFOUND;

    std::int64_t end = file->FileSize();
    if (parent)
        end = std::min<std::int64_t>(end, std::int64_t{parent->dwDataOffset} + parent->cksize);

    std::int64_t position = file->Position();
    for (;;) {
        if (position + 8 > end || !file->SeekTo(position))
            return MMIOERR_CHUNKNOTFOUND;
        DWORD id = 0, size = 0;
        if (!ReadDword(*file, id) || !ReadDword(*file, size))
            return MMIOERR_CHUNKNOTFOUND;
        const std::int64_t body = position + 8;
        const std::int64_t bodyEnd = body + size;
        // A chunk that claims more than its parent or the file holds is damage, not a chunk;
        // nothing after it can be trusted either.
        if (bodyEnd > end)
            return MMIOERR_CHUNKNOTFOUND;
        DWORD type = 0;
        const bool list = IsList(id) && size >= 4;
        if (list && !ReadDword(*file, type))
            return MMIOERR_CHUNKNOTFOUND;

        bool match = false;
        switch (search) {
        case 0:
            match = true;
            break;
        case MMIO_FINDCHUNK:
            match = id == ck->ckid;
            break;
        case MMIO_FINDRIFF:
            match = id == FOURCC_RIFF && list && type == ck->fccType;
            break;
        case MMIO_FINDLIST:
            match = id == FOURCC_LIST && list && type == ck->fccType;
            break;
        }
        if (match) {
            if (!file->SeekTo(list ? body + 4 : body))
                return MMIOERR_CANNOTSEEK;
            ck->ckid = id;
            ck->cksize = size;
            ck->fccType = list ? type : 0;
            ck->dwDataOffset = static_cast<DWORD>(body);
            ck->dwFlags = 0;
            return MMSYSERR_NOERROR;
        }
        position = bodyEnd + (size & 1);
    }
}

MMRESULT mmioAscend(HMMIO mmio, LPMMCKINFO ck, UINT /*flags*/) {
    MmioFile *file = mmio::FromHandle(mmio);
    if (!file)
        return MMSYSERR_INVALHANDLE;
    if (!ck)
        return MMSYSERR_INVALPARAM;
    if (seams::ShouldFail("mmioAscend"))
        return MMIOERR_CANNOTWRITE;

    const std::int64_t body = ck->dwDataOffset;
    if (ck->dwFlags & MMIO_DIRTY) {
        // A chunk this handle created: its size is what was written since its header.
        const std::int64_t here = file->Position();
        if (here < body || body < 8 || here - body > 0xFFFFFFFFll)
            return MMIOERR_CANNOTSEEK;
        const auto size = static_cast<DWORD>(here - body);
        if (size != ck->cksize) {
            if (!file->SeekTo(body - 4))
                return MMIOERR_CANNOTSEEK;
            if (!WriteDword(*file, size))
                return MMIOERR_CANNOTWRITE;
            ck->cksize = size;
            if (!file->SeekTo(here))
                return MMIOERR_CANNOTSEEK;
        }
        if (size & 1) {
            const char pad = 0;
            if (file->Write(std::span<const char>(&pad, 1)) != 1)
                return MMIOERR_CANNOTWRITE;
        }
        ck->dwFlags &= ~MMIO_DIRTY;
        return MMSYSERR_NOERROR;
    }

    const std::int64_t end = body + ck->cksize;
    std::int64_t next = end + (ck->cksize & 1);
    // An odd chunk that ends the file may lack its pad byte.
    if (next > file->FileSize() && end <= file->FileSize())
        next = end;
    return file->SeekTo(next) ? MMSYSERR_NOERROR : MMIOERR_CANNOTSEEK;
}

MMRESULT mmioCreateChunk(HMMIO mmio, LPMMCKINFO ck, UINT flags) {
    MmioFile *file = mmio::FromHandle(mmio);
    if (!file)
        return MMSYSERR_INVALHANDLE;
    if (!ck)
        return MMSYSERR_INVALPARAM;
    if ((flags & ~(MMIO_CREATERIFF | MMIO_CREATELIST)) != 0 ||
        flags == (MMIO_CREATERIFF | MMIO_CREATELIST))
        return MMSYSERR_INVALFLAG;
    if (seams::ShouldFail("mmioCreateChunk") || !file->Writable())
        return MMIOERR_CANNOTWRITE;

    if (flags & MMIO_CREATERIFF)
        ck->ckid = FOURCC_RIFF;
    else if (flags & MMIO_CREATELIST)
        ck->ckid = FOURCC_LIST;
    const std::int64_t header = file->Position();
    if (!WriteDword(*file, ck->ckid) || !WriteDword(*file, ck->cksize))
        return MMIOERR_CANNOTWRITE;
    if (flags != 0 && !WriteDword(*file, ck->fccType))
        return MMIOERR_CANNOTWRITE;
    ck->dwDataOffset = static_cast<DWORD>(header + 8);
    ck->dwFlags = MMIO_DIRTY;
    return MMSYSERR_NOERROR;
}
