// The sound manager: owns the sound device object, sets the output format and makes sounds.
#pragma once

#include "platform/dsound/dsound.h"
#include "platform/win32/types.h"

class CSound;
class CStreamingSound;

class SoundManager {
public:
    SoundManager();
    ~SoundManager();
    SoundManager(const SoundManager &) = delete;
    SoundManager &operator=(const SoundManager &) = delete;

    HRESULT Initialize(HWND hWnd, DWORD dwCoopLevel, DWORD dwPrimaryChannels, DWORD dwPrimaryFreq,
                       DWORD dwPrimaryBitRate);
    HRESULT SetPrimaryBufferFormat(DWORD dwPrimaryChannels, DWORD dwPrimaryFreq,
                                   DWORD dwPrimaryBitRate);
    HRESULT GetListener(LPDIRECTSOUND3DLISTENER *ppDSListener);
    HRESULT Create(CSound **ppSound, LPCSTR strWaveFileName, DWORD dwCreationFlags,
                   GUID guid3DAlgorithm, DWORD dwNumBuffers);
    HRESULT CreateFromMemory(CSound **ppSound, BYTE *pbData, ULONG ulDataSize, LPWAVEFORMATEX pwfx,
                             DWORD dwCreationFlags, GUID guid3DAlgorithm, DWORD dwNumBuffers);
    HRESULT CreateStreaming(CStreamingSound **ppStreamingSound, LPCSTR strWaveFileName,
                            DWORD dwCreationFlags, GUID guid3DAlgorithm, DWORD dwNotifyCount,
                            DWORD dwNotifySize, HANDLE hNotifyEvent);

private:
    // Makes the buffers of a sound over an open WAV file: buffer 0 and its duplicates. On
    // failure every buffer made is released and the array's entries are null.
    HRESULT CreateBuffers(LPDIRECTSOUNDBUFFER *apDSBuffer, DWORD dwNumBuffers, DWORD dwSize,
                          WAVEFORMATEX *pwfx, DWORD dwCreationFlags, GUID guid3DAlgorithm,
                          bool bFromFile);

    LPDIRECTSOUND8 m_pDS;
};
