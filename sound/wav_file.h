// Reads a RIFF WAVE sound (from a file, a module resource or a caller's sample image) and writes
// new ones, over the multimedia file functions.
#pragma once

#include "platform/mmio/mmio.h"
#include "platform/mmio/wave_format.h"
#include "platform/win32/results.h"

// Open modes: 1 reads, every other value writes.
constexpr DWORD WAVEFILE_READ = 1;
constexpr DWORD WAVEFILE_WRITE = 2;

class WavFile {
public:
    WavFile();
    ~WavFile();
    WavFile(const WavFile &) = delete;
    WavFile &operator=(const WavFile &) = delete;

    HRESULT Open(LPCSTR strFileName, WAVEFORMATEX *pwfx, DWORD dwFlags);
    // Reads a sample image the caller holds (raw samples in the format `pwfx`); the caller keeps
    // ownership of both.
    HRESULT OpenFromMemory(const BYTE *pbData, ULONG ulDataSize, WAVEFORMATEX *pwfx, DWORD dwFlags);
    HRESULT Close();

    HRESULT Read(BYTE *pBuffer, DWORD dwSizeToRead, DWORD *pdwSizeRead);
    HRESULT Write(UINT nSizeToWrite, const BYTE *pbSrcData, UINT *pnSizeWrote);

    DWORD GetSize();
    HRESULT ResetFile();

    // The format of the open sound; valid after a successful Open.
    WAVEFORMATEX *m_pwfx;

private:
    HRESULT ReadMMIO();
    HRESULT WriteMMIO(WAVEFORMATEX *pwfxDest);
    HRESULT OpenResource(LPCSTR strFileName);
    HRESULT CloseWritten();
    void FreeFormat();

    HMMIO m_hmmio;
    MMCKINFO m_ckData; // while reading, cksize counts the data bytes not yet read
    MMCKINFO m_ckRiff;
    DWORD m_dwSize; // data bytes of the open sound
    MMIOINFO m_mmioinfoOut;
    DWORD m_dwMode;
    BOOL m_bIsReadingFromMemory;
    const BYTE *m_pbImage;
    const BYTE *m_pbImageCursor;
    ULONG m_ulImageSize;
    BYTE *m_pResourceCopy;
};
