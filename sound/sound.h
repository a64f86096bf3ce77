// A sound: one WAV file in a static buffer and its duplicates, so that plays overlap.
#pragma once

#include "platform/dsound/dsound.h"
#include "sound/wav_file.h"

class CSound {
public:
    // Takes a copy of the array and ownership of the buffers and the file; fills buffer 0 (the
    // duplicates share its memory) and rewinds every buffer.
    CSound(LPDIRECTSOUNDBUFFER *apDSBuffer, DWORD dwDSBufferSize, DWORD dwNumBuffers,
           WavFile *pWaveFile);
    virtual ~CSound();
    CSound(const CSound &) = delete;
    CSound &operator=(const CSound &) = delete;

    HRESULT Get3DBuffer(DWORD dwIndex, LPDIRECTSOUND3DBUFFER *ppDS3DBuffer);
    HRESULT FillBufferWithSound(LPDIRECTSOUNDBUFFER pDSB, BOOL bRepeatWavIfBufferLarger);
    HRESULT RestoreBuffer(LPDIRECTSOUNDBUFFER pDSB, BOOL *pbWasRestored);
    LPDIRECTSOUNDBUFFER GetFreeBuffer();
    LPDIRECTSOUNDBUFFER GetBuffer(DWORD dwIndex);

    HRESULT Play(DWORD dwPriority, DWORD dwFlags);
    HRESULT Stop();
    HRESULT Rewind();
    BOOL IsPlaying();

protected:
    // The byte a silent sample holds in this sound's format.
    BYTE SilenceByte() const;
    // Fills the locked bytes from dwFilled on by rewinding the file and reading again until the
    // lock is full; a file that yields nothing after its rewind would repeat forever, so the rest
    // stays silent instead. On failure the lock is handed back and the traced code returned.
    HRESULT FillRepeating(LPDIRECTSOUNDBUFFER pDSB, VOID *pDSLockedBuffer,
                          DWORD dwDSLockedBufferSize, DWORD dwFilled, BYTE silence);

    DWORD m_dwDSBufferSize;
    WavFile *m_pWaveFile;
    DWORD m_dwNumBuffers;
    LPDIRECTSOUNDBUFFER *m_apDSBuffer;
};
