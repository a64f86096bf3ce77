// The multimedia file functions: buffered byte I/O and RIFF chunk navigation over a file on disk
// or over a memory image ("MEM "), with the buffer protocol (pchNext, pchEndRead, pchEndWrite,
// MMIO_DIRTY) that lets a caller copy bytes straight out of or into the I/O buffer.
#pragma once

#include "platform/mmio/wave_format.h"
#include "platform/win32/types.h"

#include <cstdio>

using MMRESULT = UINT;
using HPSTR = char *;
using LPMMIOPROC = LRESULT (*)(LPSTR info, UINT message, LPARAM param1, LPARAM param2);

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;

constexpr MMRESULT MMIOERR_BASE = 256;
constexpr MMRESULT MMIOERR_FILENOTFOUND = MMIOERR_BASE + 1;
constexpr MMRESULT MMIOERR_OUTOFMEMORY = MMIOERR_BASE + 2;
constexpr MMRESULT MMIOERR_CANNOTOPEN = MMIOERR_BASE + 3;
constexpr MMRESULT MMIOERR_CANNOTCLOSE = MMIOERR_BASE + 4;
constexpr MMRESULT MMIOERR_CANNOTREAD = MMIOERR_BASE + 5;
constexpr MMRESULT MMIOERR_CANNOTWRITE = MMIOERR_BASE + 6;
constexpr MMRESULT MMIOERR_CANNOTSEEK = MMIOERR_BASE + 7;
constexpr MMRESULT MMIOERR_CANNOTEXPAND = MMIOERR_BASE + 8;
constexpr MMRESULT MMIOERR_CHUNKNOTFOUND = MMIOERR_BASE + 9;
constexpr MMRESULT MMIOERR_UNBUFFERED = MMIOERR_BASE + 10;

// Open flags. The low two bits are the access mode.
constexpr DWORD MMIO_READ = 0x00000000;
constexpr DWORD MMIO_WRITE = 0x00000001;
constexpr DWORD MMIO_READWRITE = 0x00000002;
constexpr DWORD MMIO_COMPAT = 0x00000000;
constexpr DWORD MMIO_EXCLUSIVE = 0x00000010;
constexpr DWORD MMIO_DENYWRITE = 0x00000020;
constexpr DWORD MMIO_DENYREAD = 0x00000030;
constexpr DWORD MMIO_DENYNONE = 0x00000040;
constexpr DWORD MMIO_CREATE = 0x00001000;
constexpr DWORD MMIO_ALLOCBUF = 0x00010000;
// Set in MMIOINFO::dwFlags by a caller that wrote into the I/O buffer directly.
constexpr DWORD MMIO_DIRTY = 0x10000000;

// mmioDescend search flags and mmioCreateChunk flags.
constexpr UINT MMIO_FINDCHUNK = 0x0010;
constexpr UINT MMIO_FINDRIFF = 0x0020;
constexpr UINT MMIO_FINDLIST = 0x0040;
constexpr UINT MMIO_CREATERIFF = 0x0020;
constexpr UINT MMIO_CREATELIST = 0x0040;

constexpr LONG MMIO_DEFAULTBUFFER = 8192;

constexpr FOURCC mmioFOURCC(char a, char b, char c, char d) {
    return static_cast<FOURCC>(static_cast<BYTE>(a)) |
           (static_cast<FOURCC>(static_cast<BYTE>(b)) << 8) |
           (static_cast<FOURCC>(static_cast<BYTE>(c)) << 16) |
           (static_cast<FOURCC>(static_cast<BYTE>(d)) << 24);
}

constexpr FOURCC FOURCC_RIFF = mmioFOURCC('R', 'I', 'F', 'F');
constexpr FOURCC FOURCC_LIST = mmioFOURCC('L', 'I', 'S', 'T');
constexpr FOURCC FOURCC_MEM = mmioFOURCC('M', 'E', 'M', ' ');
constexpr FOURCC FOURCC_DOS = mmioFOURCC('D', 'O', 'S', ' ');

struct MMIOINFO {
    DWORD dwFlags;      // open flags, plus MMIO_DIRTY when the buffer holds unwritten bytes
    FOURCC fccIOProc;   // "MEM " for a memory image, 0 for a file
    LPMMIOPROC pIOProc; // custom I/O procedures are not supported: must be NULL
    UINT wErrorRet;     // why mmioOpenA failed
    HANDLE htask;       // unused
    LONG cchBuffer;     // size of the I/O buffer (of the whole image for "MEM ")
    HPSTR pchBuffer;    // the I/O buffer (the image itself for "MEM ")
    HPSTR pchNext;      // next byte to read or write
    HPSTR pchEndRead;   // one past the last byte that can be read from the buffer
    HPSTR pchEndWrite;  // one past the last byte that can be written into the buffer
    LONG lBufOffset;    // file offset of the buffer's first byte
    LONG lDiskOffset;   // file offset just past what the buffer holds
    DWORD adwInfo[3];   // unused
    DWORD dwReserved1;
    DWORD dwReserved2;
    HMMIO hmmio; // the file this state belongs to
};
using LPMMIOINFO = MMIOINFO *;
using LPCMMIOINFO = const MMIOINFO *;

struct MMCKINFO {
    FOURCC ckid;        // chunk identifier
    DWORD cksize;       // size of the chunk's body (without the 8-byte header and the pad byte)
    FOURCC fccType;     // form type of a "RIFF" or "LIST" chunk
    DWORD dwDataOffset; // file offset of the body
    DWORD dwFlags;      // MMIO_DIRTY: created by mmioCreateChunk, size fixed on ascent
};
using LPMMCKINFO = MMCKINFO *;
using LPCMMCKINFO = const MMCKINFO *;

// Opens a file (by name, relative to the working folder) or, with info->fccIOProc "MEM ", the
// memory image info->pchBuffer of info->cchBuffer bytes. NULL on failure, with info->wErrorRet set.
HMMIO mmioOpenA(LPCSTR fileName, LPMMIOINFO info, DWORD flags);
// Writes back the buffer and closes; 0 or MMIOERR_CANNOTWRITE.
MMRESULT mmioClose(HMMIO mmio, UINT flags);
// Bytes read (0 at the end of the file) or -1.
LONG mmioRead(HMMIO mmio, HPSTR buffer, LONG count);
// Bytes written or -1.
LONG mmioWrite(HMMIO mmio, const char *buffer, LONG count);
// The new position, or -1 (a negative position, or past the end of a memory image).
LONG mmioSeek(HMMIO mmio, LONG offset, int origin);
// Finds a chunk from the current position: the next one (flags 0) or, with MMIO_FINDCHUNK /
// MMIO_FINDRIFF / MMIO_FINDLIST, the first with ck->ckid (or "RIFF"/"LIST" with ck->fccType) before
// the end of the parent. A chunk whose size reaches past its parent or the file is not a chunk:
// the search ends with MMIOERR_CHUNKNOTFOUND.
MMRESULT mmioDescend(HMMIO mmio, LPMMCKINFO ck, LPCMMCKINFO parent, UINT flags);
// Leaves a chunk: fixes the size of a created chunk, pads it to an even length and moves past it.
MMRESULT mmioAscend(HMMIO mmio, LPMMCKINFO ck, UINT flags);
// Writes a chunk header (with the form type for MMIO_CREATERIFF / MMIO_CREATELIST) at the position.
MMRESULT mmioCreateChunk(HMMIO mmio, LPMMCKINFO ck, UINT flags);
MMRESULT mmioGetInfo(HMMIO mmio, LPMMIOINFO info, UINT flags);
MMRESULT mmioSetInfo(HMMIO mmio, LPCMMIOINFO info, UINT flags);
// Writes the buffer back when it is dirty, then refills it from the position after it (MMIO_READ)
// or empties it for writing there (MMIO_WRITE). At the end of a file the refilled buffer is empty.
MMRESULT mmioAdvance(HMMIO mmio, LPMMIOINFO info, UINT flags);
