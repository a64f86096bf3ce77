// The WAV file class: header parsing and writing, data reads through the multimedia I/O buffer,
// and the resource and memory-image ways in. Failed steps are traced with the sound subsystem's
// source name and returned.
#include "sound/wav_file.h"

#include "sound/dsutil_trace.h"

#include "platform/win32/dxtrace.h"
#include "platform/win32/resources.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

namespace {

constexpr DWORD kOpenReadFlags = MMIO_ALLOCBUF | MMIO_READ;
constexpr DWORD kOpenWriteFlags = MMIO_ALLOCBUF | MMIO_CREATE | MMIO_READWRITE;
constexpr FOURCC kWave = mmioFOURCC('W', 'A', 'V', 'E');
constexpr FOURCC kFmt = mmioFOURCC('f', 'm', 't', ' ');
constexpr FOURCC kData = mmioFOURCC('d', 'a', 't', 'a');
constexpr FOURCC kFact = mmioFOURCC('f', 'a', 'c', 't');

// A format record with room for `extraBytes` after it; freed with ::operator delete.
WAVEFORMATEX *AllocateFormat(std::size_t extraBytes) {
    void *storage = ::operator new(sizeof(WAVEFORMATEX) + extraBytes, std::nothrow);
    return storage ? new (storage) WAVEFORMATEX{} : nullptr;
}

} // namespace

WavFile::WavFile()
    : m_pwfx(nullptr), m_hmmio(nullptr), m_ckData{}, m_ckRiff{}, m_dwSize(0), m_mmioinfoOut{},
      m_dwMode(WAVEFILE_READ), m_bIsReadingFromMemory(FALSE), m_pbImage(nullptr),
      m_pbImageCursor(nullptr), m_ulImageSize(0), m_pResourceCopy(nullptr) {}

WavFile::~WavFile() {
    Close();
    FreeFormat();
}

void WavFile::FreeFormat() {
    // A format handed in with a memory image belongs to the caller.
    if (m_pwfx && !m_bIsReadingFromMemory)
        ::operator delete(m_pwfx);
    m_pwfx = nullptr;
}

HRESULT WavFile::Open(LPCSTR strFileName, WAVEFORMATEX *pwfx, DWORD dwFlags) {
    // Reopening finishes what is open first, so no handle is lost and a file being written gets
    // its sizes; a borrowed format is let go before this object owns its formats again.
    if (m_hmmio)
        Close();
    FreeFormat();

    m_dwMode = dwFlags;
    m_bIsReadingFromMemory = FALSE;
    m_pbImage = m_pbImageCursor = nullptr;
    m_ulImageSize = 0;

    if (m_dwMode == WAVEFILE_READ) {
        if (!strFileName)
            return E_INVALIDARG;
        m_hmmio = mmioOpenA(strFileName, nullptr, kOpenReadFlags);
        if (!m_hmmio) {
            const HRESULT hr = OpenResource(strFileName);
            if (FAILED(hr))
                return hr;
        }

        HRESULT hr = ReadMMIO();
        if (FAILED(hr)) {
            mmioClose(m_hmmio, 0);
            m_hmmio = nullptr;
            return DSUTIL_TRACE_NOMSGBOX("ReadMMIO", hr);
        }
        hr = ResetFile();
        if (FAILED(hr)) {
            // Nothing can be read without the data chunk; the file is not kept open for it.
            mmioClose(m_hmmio, 0);
            m_hmmio = nullptr;
            return DSUTIL_TRACE("ResetFile", hr);
        }
        m_dwSize = m_ckData.cksize;
        return S_OK;
    }

    // The header is written from the format: without one there is nothing to write.
    if (!pwfx)
        return E_INVALIDARG;
    m_hmmio = mmioOpenA(strFileName, nullptr, kOpenWriteFlags);
    if (!m_hmmio)
        return DSUTIL_TRACE("mmioOpen", E_FAIL);

    HRESULT hr = WriteMMIO(pwfx);
    if (FAILED(hr)) {
        mmioClose(m_hmmio, 0);
        m_hmmio = nullptr;
        return DSUTIL_TRACE("WriteMMIO", hr);
    }
    hr = ResetFile();
    if (FAILED(hr)) {
        // Without its data chunk the file cannot be finished; closing it here keeps a later
        // Close from writing sizes through an output state that was never taken.
        mmioClose(m_hmmio, 0);
        m_hmmio = nullptr;
        return DSUTIL_TRACE("ResetFile", hr);
    }
    return S_OK;
}

HRESULT WavFile::OpenResource(LPCSTR strFileName) {
    HRSRC resource = FindResourceA(nullptr, strFileName, "WAVE");
    if (!resource)
        resource = FindResourceA(nullptr, strFileName, "WAV");
    if (!resource)
        return DSUTIL_TRACE_NOMSGBOX("FindResource", E_FAIL);

    HGLOBAL loaded = LoadResource(nullptr, resource);
    if (!loaded)
        return DSUTIL_TRACE("LoadResource", E_FAIL);
    const DWORD size = SizeofResource(nullptr, resource);
    if (size == 0)
        return DSUTIL_TRACE("SizeofResource", E_FAIL);
    const void *bytes = LockResource(loaded);
    if (!bytes)
        return DSUTIL_TRACE("LockResource", E_FAIL);

    delete[] m_pResourceCopy;
    m_pResourceCopy = new (std::nothrow) BYTE[size];
    if (!m_pResourceCopy)
        return DSUTIL_TRACE("new", E_FAIL);
    std::memcpy(m_pResourceCopy, bytes, size);

    MMIOINFO info{};
    info.fccIOProc = FOURCC_MEM;
    info.cchBuffer = static_cast<LONG>(size);
    info.pchBuffer = reinterpret_cast<HPSTR>(m_pResourceCopy);
    // A failed open shows up as a failed descent in the header parse.
    m_hmmio = mmioOpenA(nullptr, &info, kOpenReadFlags);
    return S_OK;
}

HRESULT WavFile::ReadMMIO() {
    m_pwfx = nullptr;

    if (mmioDescend(m_hmmio, &m_ckRiff, nullptr, 0) != MMSYSERR_NOERROR)
        return DSUTIL_TRACE("mmioDescend", E_FAIL);
    if (m_ckRiff.ckid != FOURCC_RIFF || m_ckRiff.fccType != kWave)
        return DSUTIL_TRACE_NOMSGBOX("mmioFOURCC", E_FAIL);

    MMCKINFO ckIn{};
    ckIn.ckid = kFmt;
    if (mmioDescend(m_hmmio, &ckIn, &m_ckRiff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR)
        return DSUTIL_TRACE("mmioDescend", E_FAIL);
    if (ckIn.cksize < sizeof(PCMWAVEFORMAT))
        return DSUTIL_TRACE("sizeof(PCMWAVEFORMAT)", E_FAIL);

    PCMWAVEFORMAT pcmWaveFormat{};
    if (mmioRead(m_hmmio, reinterpret_cast<HPSTR>(&pcmWaveFormat), sizeof pcmWaveFormat) !=
        static_cast<LONG>(sizeof pcmWaveFormat))
        return DSUTIL_TRACE("mmioRead", E_FAIL);

    if (pcmWaveFormat.wf.wFormatTag == WAVE_FORMAT_PCM) {
        m_pwfx = AllocateFormat(0);
        if (!m_pwfx)
            return DSUTIL_TRACE("m_pwfx", E_FAIL);
        std::memcpy(m_pwfx, &pcmWaveFormat, sizeof pcmWaveFormat);
        m_pwfx->cbSize = 0;
    } else {
        // The count and the extra bytes must lie inside the "fmt " chunk: reading on would take
        // the next chunk's bytes for the format's.
        WORD cbExtraBytes = 0;
        if (ckIn.cksize < sizeof(WAVEFORMATEX) ||
            mmioRead(m_hmmio, reinterpret_cast<HPSTR>(&cbExtraBytes), sizeof cbExtraBytes) !=
                static_cast<LONG>(sizeof cbExtraBytes))
            return DSUTIL_TRACE("mmioRead", E_FAIL);

        m_pwfx = AllocateFormat(cbExtraBytes);
        if (!m_pwfx)
            return DSUTIL_TRACE("new", E_FAIL);
        std::memcpy(m_pwfx, &pcmWaveFormat, sizeof pcmWaveFormat);
        m_pwfx->cbSize = cbExtraBytes;
        if (ckIn.cksize < sizeof(WAVEFORMATEX) + cbExtraBytes ||
            mmioRead(m_hmmio, reinterpret_cast<HPSTR>(m_pwfx + 1), cbExtraBytes) !=
                static_cast<LONG>(cbExtraBytes)) {
            FreeFormat();
            return DSUTIL_TRACE("mmioRead", E_FAIL);
        }
    }

    // A header no player could trust (no channels, no rate, frames that are not whole samples,
    // a tag or sub-format that names nothing) is damage, refused here with what is wrong.
    if (const char *problem = mmio::WaveFormatProblem(*m_pwfx)) {
        FreeFormat();
        const std::string text = std::string("WAVEFORMATEX: ") + problem;
        return DSUTIL_TRACE_NOMSGBOX(text.c_str(), E_FAIL);
    }

    if (mmioAscend(m_hmmio, &ckIn, 0) != MMSYSERR_NOERROR) {
        FreeFormat();
        return DSUTIL_TRACE("mmioAscend", E_FAIL);
    }
    return S_OK;
}

DWORD WavFile::GetSize() {
    return m_dwSize;
}

HRESULT WavFile::ResetFile() {
    if (m_bIsReadingFromMemory) {
        m_pbImageCursor = m_pbImage;
        return S_OK;
    }
    if (!m_hmmio)
        return CO_E_NOTINITIALIZED;

    if (m_dwMode == WAVEFILE_READ) {
        // The data search starts at the RIFF body, so a "data" chunk before "fmt " is found.
        if (mmioSeek(m_hmmio, static_cast<LONG>(m_ckRiff.dwDataOffset + sizeof(FOURCC)),
                     SEEK_SET) == -1)
            return DSUTIL_TRACE("mmioSeek", E_FAIL);
        m_ckData.ckid = kData;
        if (mmioDescend(m_hmmio, &m_ckData, &m_ckRiff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR)
            return DSUTIL_TRACE("mmioDescend", E_FAIL);
        return S_OK;
    }

    m_ckData.ckid = kData;
    m_ckData.cksize = 0;
    if (mmioCreateChunk(m_hmmio, &m_ckData, 0) != MMSYSERR_NOERROR)
        return DSUTIL_TRACE("mmioCreateChunk", E_FAIL);
    if (mmioGetInfo(m_hmmio, &m_mmioinfoOut, 0) != MMSYSERR_NOERROR)
        return DSUTIL_TRACE("mmioGetInfo", E_FAIL);
    return S_OK;
}

HRESULT WavFile::Read(BYTE *pBuffer, DWORD dwSizeToRead, DWORD *pdwSizeRead) {
    if (m_bIsReadingFromMemory) {
        if (!m_pbImageCursor)
            return CO_E_NOTINITIALIZED;
        if (pdwSizeRead)
            *pdwSizeRead = 0;
        // Copying into no buffer would crash; it is an argument error like the file path's.
        if (!pBuffer && dwSizeToRead > 0)
            return E_INVALIDARG;
        const auto used = static_cast<ULONG>(m_pbImageCursor - m_pbImage);
        const DWORD count = std::min<DWORD>(dwSizeToRead, m_ulImageSize - used);
        if (count > 0)
            std::memcpy(pBuffer, m_pbImageCursor, count);
        m_pbImageCursor += count;
        if (pdwSizeRead)
            *pdwSizeRead = count;
        return S_OK;
    }

    if (!m_hmmio)
        return CO_E_NOTINITIALIZED;
    if (!pBuffer || !pdwSizeRead)
        return E_INVALIDARG;
    *pdwSizeRead = 0;

    MMIOINFO mmioinfoIn{};
    if (mmioGetInfo(m_hmmio, &mmioinfoIn, 0) != MMSYSERR_NOERROR)
        return DSUTIL_TRACE("mmioGetInfo", E_FAIL);

    const DWORD count = std::min(dwSizeToRead, m_ckData.cksize);
    m_ckData.cksize -= count;

    for (DWORD done = 0; done < count;) {
        if (mmioinfoIn.pchNext >= mmioinfoIn.pchEndRead) {
            if (mmioAdvance(m_hmmio, &mmioinfoIn, MMIO_READ) != MMSYSERR_NOERROR)
                return DSUTIL_TRACE("mmioAdvance", E_FAIL);
            if (mmioinfoIn.pchNext >= mmioinfoIn.pchEndRead)
                return DSUTIL_TRACE("mmioinfoIn.pchNext", E_FAIL);
        }
        const auto available = static_cast<DWORD>(mmioinfoIn.pchEndRead - mmioinfoIn.pchNext);
        const DWORD n = std::min(count - done, available);
        std::memcpy(pBuffer + done, mmioinfoIn.pchNext, n);
        mmioinfoIn.pchNext += n;
        done += n;
    }

    if (mmioSetInfo(m_hmmio, &mmioinfoIn, 0) != MMSYSERR_NOERROR)
        return DSUTIL_TRACE("mmioSetInfo", E_FAIL);
    *pdwSizeRead = count;
    return S_OK;
}

HRESULT WavFile::Close() {
    if (m_dwMode == WAVEFILE_READ) {
        if (m_hmmio)
            mmioClose(m_hmmio, 0);
        m_hmmio = nullptr;
        delete[] m_pResourceCopy;
        m_pResourceCopy = nullptr;
        return S_OK;
    }

    m_mmioinfoOut.dwFlags |= MMIO_DIRTY;
    if (!m_hmmio)
        return CO_E_NOTINITIALIZED;
    // The file is closed whatever the outcome, so a failed step loses neither the handle nor
    // the bytes already written.
    const HRESULT hr = CloseWritten();
    mmioClose(m_hmmio, 0);
    m_hmmio = nullptr;
    return hr;
}

HRESULT WavFile::CloseWritten() {
    if (mmioSetInfo(m_hmmio, &m_mmioinfoOut, 0) != MMSYSERR_NOERROR)
        return DSUTIL_TRACE("mmioSetInfo", E_FAIL);
    if (mmioAscend(m_hmmio, &m_ckData, 0) != MMSYSERR_NOERROR)
        return DSUTIL_TRACE("mmioAscend", E_FAIL);
    if (mmioAscend(m_hmmio, &m_ckRiff, 0) != MMSYSERR_NOERROR)
        return DSUTIL_TRACE("mmioAscend", E_FAIL);

    mmioSeek(m_hmmio, 0, SEEK_SET);
    if (mmioDescend(m_hmmio, &m_ckRiff, nullptr, 0) != MMSYSERR_NOERROR)
        return DSUTIL_TRACE("mmioDescend", E_FAIL);

    MMCKINFO ckFact{};
    ckFact.ckid = kFact;
    if (mmioDescend(m_hmmio, &ckFact, &m_ckRiff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR) {
        const DWORD dwSamples = 0;
        mmioWrite(m_hmmio, reinterpret_cast<const char *>(&dwSamples), sizeof dwSamples);
        mmioAscend(m_hmmio, &ckFact, 0);
    }
    if (mmioAscend(m_hmmio, &m_ckRiff, 0) != MMSYSERR_NOERROR)
        return DSUTIL_TRACE("mmioAscend", E_FAIL);
    return S_OK;
}

HRESULT WavFile::OpenFromMemory(const BYTE *pbData, ULONG ulDataSize, WAVEFORMATEX *pwfx,
                                DWORD dwFlags) {
    if (m_hmmio)
        Close();
    FreeFormat();

    m_dwMode = dwFlags;
    m_pwfx = pwfx;
    m_ulImageSize = ulDataSize;
    // The size reported for the sound is the image's, not one left from an earlier file.
    m_dwSize = ulDataSize;
    m_pbImage = pbData;
    m_pbImageCursor = m_pbImage;
    m_bIsReadingFromMemory = TRUE;
    return dwFlags == WAVEFILE_READ ? S_OK : E_NOTIMPL;
}

HRESULT WavFile::Write(UINT nSizeToWrite, const BYTE *pbSrcData, UINT *pnSizeWrote) {
    if (m_bIsReadingFromMemory)
        return E_NOTIMPL;
    // A file open for reading has no output buffer to write through.
    if (!m_hmmio || m_dwMode == WAVEFILE_READ)
        return CO_E_NOTINITIALIZED;
    if (!pnSizeWrote || !pbSrcData)
        return E_INVALIDARG;
    *pnSizeWrote = 0;

    for (UINT done = 0; done < nSizeToWrite;) {
        if (m_mmioinfoOut.pchNext >= m_mmioinfoOut.pchEndWrite) {
            m_mmioinfoOut.dwFlags |= MMIO_DIRTY;
            if (mmioAdvance(m_hmmio, &m_mmioinfoOut, MMIO_WRITE) != MMSYSERR_NOERROR)
                return DSUTIL_TRACE("mmioAdvance", E_FAIL);
        }
        const auto space = static_cast<UINT>(m_mmioinfoOut.pchEndWrite - m_mmioinfoOut.pchNext);
        const UINT n = std::min(nSizeToWrite - done, space);
        std::memcpy(m_mmioinfoOut.pchNext, pbSrcData + done, n);
        m_mmioinfoOut.pchNext += n;
        done += n;
        *pnSizeWrote = done;
    }
    return S_OK;
}

HRESULT WavFile::WriteMMIO(WAVEFORMATEX *pwfxDest) {
    m_ckRiff.fccType = kWave;
    m_ckRiff.cksize = 0;
    if (mmioCreateChunk(m_hmmio, &m_ckRiff, MMIO_CREATERIFF) != MMSYSERR_NOERROR)
        return DSUTIL_TRACE("mmioCreateChunk", E_FAIL);

    MMCKINFO ck{};
    ck.ckid = kFmt;
    ck.cksize = sizeof(PCMWAVEFORMAT);
    if (mmioCreateChunk(m_hmmio, &ck, 0) != MMSYSERR_NOERROR)
        return DSUTIL_TRACE("mmioCreateChunk", E_FAIL);
    const LONG formatBytes = pwfxDest->wFormatTag == WAVE_FORMAT_PCM
                                 ? static_cast<LONG>(sizeof(PCMWAVEFORMAT))
                                 : static_cast<LONG>(sizeof(WAVEFORMATEX) + pwfxDest->cbSize);
    if (mmioWrite(m_hmmio, reinterpret_cast<const char *>(pwfxDest), formatBytes) != formatBytes)
        return DSUTIL_TRACE("mmioWrite", E_FAIL);
    if (mmioAscend(m_hmmio, &ck, 0) != MMSYSERR_NOERROR)
        return DSUTIL_TRACE("mmioAscend", E_FAIL);

    ck = {};
    ck.ckid = kFact;
    ck.cksize = 0;
    if (mmioCreateChunk(m_hmmio, &ck, 0) != MMSYSERR_NOERROR)
        return DSUTIL_TRACE("mmioCreateChunk", E_FAIL);
    const DWORD dwSamples = 0xFFFFFFFF;
    if (mmioWrite(m_hmmio, reinterpret_cast<const char *>(&dwSamples), sizeof dwSamples) !=
        static_cast<LONG>(sizeof dwSamples))
        return DSUTIL_TRACE("mmioWrite", E_FAIL);
    if (mmioAscend(m_hmmio, &ck, 0) != MMSYSERR_NOERROR)
        return DSUTIL_TRACE("mmioAscend", E_FAIL);
    return S_OK;
}
