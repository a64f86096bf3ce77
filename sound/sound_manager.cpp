// The sound manager: device set-up and the making of sounds from WAV files and sample images.
#include "sound/sound_manager.h"

#include "sound/dsutil_trace.h"
#include "sound/sound.h"
#include "sound/streaming_sound.h"
#include "sound/wav_file.h"

#include <memory>
#include <new>

namespace {

// Hands the buffers and the file to a new sound; if it cannot be made, the buffers are released
// and the file stays with the caller.
HRESULT makeSound(CSound **ppSound, LPDIRECTSOUNDBUFFER *apDSBuffer, DWORD dwSize,
                  DWORD dwNumBuffers, std::unique_ptr<WavFile> &pWaveFile) {
    *ppSound = new (std::nothrow) CSound(apDSBuffer, dwSize, dwNumBuffers, pWaveFile.get());
    if (!*ppSound) {
        for (DWORD i = 0; i < dwNumBuffers; ++i)
            apDSBuffer[i]->Release();
        return E_OUTOFMEMORY;
    }
    pWaveFile.release();
    return S_OK;
}

// The empty buffer table and the unopened file a new sound is made of; false when either cannot
// be had.
bool allocateSoundParts(DWORD dwNumBuffers, std::unique_ptr<LPDIRECTSOUNDBUFFER[]> &apDSBuffer,
                        std::unique_ptr<WavFile> &pWaveFile) {
    apDSBuffer.reset(new (std::nothrow) LPDIRECTSOUNDBUFFER[dwNumBuffers]());
    if (!apDSBuffer)
        return false;
    pWaveFile.reset(new (std::nothrow) WavFile());
    return pWaveFile != nullptr;
}

} // namespace

SoundManager::SoundManager() : m_pDS(nullptr) {}

SoundManager::~SoundManager() {
    if (m_pDS)
        m_pDS->Release();
}

HRESULT SoundManager::Initialize(HWND hWnd, DWORD dwCoopLevel, DWORD dwPrimaryChannels,
                                 DWORD dwPrimaryFreq, DWORD dwPrimaryBitRate) {
    if (m_pDS) {
        m_pDS->Release();
        m_pDS = nullptr;
    }
    HRESULT hr = DirectSoundCreate8(nullptr, &m_pDS, nullptr);
    if (FAILED(hr))
        return DSUTIL_TRACE("DirectSoundCreate8", hr);
    hr = m_pDS->SetCooperativeLevel(hWnd, dwCoopLevel);
    if (FAILED(hr))
        return DSUTIL_TRACE("SetCooperativeLevel", hr);
    hr = SetPrimaryBufferFormat(dwPrimaryChannels, dwPrimaryFreq, dwPrimaryBitRate);
    if (FAILED(hr))
        return DSUTIL_TRACE("SetPrimaryBufferFormat", hr);
    return S_OK;
}

HRESULT SoundManager::SetPrimaryBufferFormat(DWORD dwPrimaryChannels, DWORD dwPrimaryFreq,
                                             DWORD dwPrimaryBitRate) {
    if (!m_pDS)
        return CO_E_NOTINITIALIZED;

    DSBUFFERDESC dsbd{};
    dsbd.dwSize = sizeof(DSBUFFERDESC);
    dsbd.dwFlags = DSBCAPS_PRIMARYBUFFER;
    dsbd.dwBufferBytes = 0;
    dsbd.lpwfxFormat = nullptr;
    LPDIRECTSOUNDBUFFER pDSBPrimary = nullptr;
    HRESULT hr = m_pDS->CreateSoundBuffer(&dsbd, &pDSBPrimary, nullptr);
    if (FAILED(hr))
        return DSUTIL_TRACE("CreateSoundBuffer", hr);

    WAVEFORMATEX wfx{};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = static_cast<WORD>(dwPrimaryChannels);
    wfx.nSamplesPerSec = dwPrimaryFreq;
    wfx.wBitsPerSample = static_cast<WORD>(dwPrimaryBitRate);
    wfx.nBlockAlign = static_cast<WORD>(wfx.wBitsPerSample / 8 * wfx.nChannels);
    wfx.nAvgBytesPerSec = wfx.nSamplesPerSec * wfx.nBlockAlign;
    wfx.cbSize = 0;
    hr = pDSBPrimary->SetFormat(&wfx);
    pDSBPrimary->Release();
    if (FAILED(hr))
        return DSUTIL_TRACE("SetFormat", hr);
    return S_OK;
}

HRESULT SoundManager::GetListener(LPDIRECTSOUND3DLISTENER *ppDSListener) {
    if (!ppDSListener)
        return E_INVALIDARG;
    if (!m_pDS)
        return CO_E_NOTINITIALIZED;
    *ppDSListener = nullptr;

    DSBUFFERDESC dsbdesc{};
    dsbdesc.dwSize = sizeof(DSBUFFERDESC);
    dsbdesc.dwFlags = DSBCAPS_CTRL3D | DSBCAPS_PRIMARYBUFFER;
    LPDIRECTSOUNDBUFFER pDSBPrimary = nullptr;
    HRESULT hr = m_pDS->CreateSoundBuffer(&dsbdesc, &pDSBPrimary, nullptr);
    if (FAILED(hr))
        return DSUTIL_TRACE("CreateSoundBuffer", hr);
    hr = pDSBPrimary->QueryInterface(IID_IDirectSound3DListener,
                                     reinterpret_cast<void **>(ppDSListener));
    pDSBPrimary->Release();
    if (FAILED(hr))
        return DSUTIL_TRACE("QueryInterface", hr);
    return S_OK;
}

HRESULT SoundManager::CreateBuffers(LPDIRECTSOUNDBUFFER *apDSBuffer, DWORD dwNumBuffers,
                                    DWORD dwSize, WAVEFORMATEX *pwfx, DWORD dwCreationFlags,
                                    GUID guid3DAlgorithm, bool bFromFile) {
    DSBUFFERDESC dsbd{};
    dsbd.dwSize = sizeof(DSBUFFERDESC);
    dsbd.dwFlags = dwCreationFlags;
    dsbd.dwBufferBytes = dwSize;
    dsbd.guid3DAlgorithm = guid3DAlgorithm;
    dsbd.lpwfxFormat = pwfx;

    HRESULT hrRet = S_OK;
    HRESULT hr = m_pDS->CreateSoundBuffer(&dsbd, &apDSBuffer[0], nullptr);
    if (bFromFile && hr == DS_NO_VIRTUALIZATION)
        hrRet = DS_NO_VIRTUALIZATION;
    if (FAILED(hr)) {
        // A buffer too small for the device is the caller's to report.
        if (!bFromFile || hr != DSERR_BUFFERTOOSMALL)
            DSUTIL_TRACE("CreateSoundBuffer", hr);
        return hr;
    }

    for (DWORD i = 1; i < dwNumBuffers; ++i) {
        hr = m_pDS->DuplicateSoundBuffer(apDSBuffer[0], &apDSBuffer[i]);
        if (FAILED(hr)) {
            DSUTIL_TRACE("DuplicateSoundBuffer", hr);
            for (DWORD j = 0; j < i; ++j) {
                apDSBuffer[j]->Release();
                apDSBuffer[j] = nullptr;
            }
            return hr;
        }
    }
    return hrRet;
}

HRESULT SoundManager::Create(CSound **ppSound, LPCSTR strWaveFileName, DWORD dwCreationFlags,
                             GUID guid3DAlgorithm, DWORD dwNumBuffers) {
    if (!m_pDS)
        return CO_E_NOTINITIALIZED;
    if (!strWaveFileName || !ppSound || dwNumBuffers < 1)
        return E_INVALIDARG;

    std::unique_ptr<LPDIRECTSOUNDBUFFER[]> apDSBuffer;
    std::unique_ptr<WavFile> pWaveFile;
    if (!allocateSoundParts(dwNumBuffers, apDSBuffer, pWaveFile))
        return E_OUTOFMEMORY;

    pWaveFile->Open(strWaveFileName, nullptr, WAVEFILE_READ);
    if (pWaveFile->GetSize() == 0)
        return E_FAIL;

    const HRESULT hr = CreateBuffers(apDSBuffer.get(), dwNumBuffers, pWaveFile->GetSize(),
                                     pWaveFile->m_pwfx, dwCreationFlags, guid3DAlgorithm, true);
    if (FAILED(hr))
        return hr;

    const HRESULT hrMake =
        makeSound(ppSound, apDSBuffer.get(), pWaveFile->GetSize(), dwNumBuffers, pWaveFile);
    return FAILED(hrMake) ? hrMake : hr;
}

HRESULT SoundManager::CreateFromMemory(CSound **ppSound, BYTE *pbData, ULONG ulDataSize,
                                       LPWAVEFORMATEX pwfx, DWORD dwCreationFlags,
                                       GUID guid3DAlgorithm, DWORD dwNumBuffers) {
    if (!m_pDS)
        return CO_E_NOTINITIALIZED;
    if (!pbData || !ppSound || dwNumBuffers < 1)
        return E_INVALIDARG;

    std::unique_ptr<LPDIRECTSOUNDBUFFER[]> apDSBuffer;
    std::unique_ptr<WavFile> pWaveFile;
    if (!allocateSoundParts(dwNumBuffers, apDSBuffer, pWaveFile))
        return E_OUTOFMEMORY;

    pWaveFile->OpenFromMemory(pbData, ulDataSize, pwfx, WAVEFILE_READ);

    const HRESULT hr = CreateBuffers(apDSBuffer.get(), dwNumBuffers, ulDataSize, pwfx,
                                     dwCreationFlags, guid3DAlgorithm, false);
    if (FAILED(hr))
        return hr;

    return makeSound(ppSound, apDSBuffer.get(), ulDataSize, dwNumBuffers, pWaveFile);
}

HRESULT SoundManager::CreateStreaming(CStreamingSound **ppStreamingSound, LPCSTR strWaveFileName,
                                      DWORD dwCreationFlags, GUID guid3DAlgorithm,
                                      DWORD dwNotifyCount, DWORD dwNotifySize,
                                      HANDLE hNotifyEvent) {
    if (!m_pDS)
        return CO_E_NOTINITIALIZED;
    if (!strWaveFileName || !ppStreamingSound || !hNotifyEvent)
        return E_INVALIDARG;

    std::unique_ptr<WavFile> pWaveFile(new (std::nothrow) WavFile());
    if (!pWaveFile)
        return E_OUTOFMEMORY;
    pWaveFile->Open(strWaveFileName, nullptr, WAVEFILE_READ);

    // A section count and size whose product does not fit the buffer-size field would make a
    // buffer smaller than the sections the notifications describe.
    const std::uint64_t qwDSBufferSize = std::uint64_t{dwNotifyCount} * dwNotifySize;
    if (qwDSBufferSize > 0xFFFFFFFFu)
        return DSUTIL_TRACE_NOMSGBOX("CreateSoundBuffer", E_INVALIDARG);
    const DWORD dwDSBufferSize = static_cast<DWORD>(qwDSBufferSize);

    DSBUFFERDESC dsbd{};
    dsbd.dwSize = sizeof(DSBUFFERDESC);
    dsbd.dwFlags = dwCreationFlags | DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_GETCURRENTPOSITION2;
    dsbd.dwBufferBytes = dwDSBufferSize;
    dsbd.guid3DAlgorithm = guid3DAlgorithm;
    dsbd.lpwfxFormat = pWaveFile->m_pwfx;

    LPDIRECTSOUNDBUFFER pDSBuffer = nullptr;
    HRESULT hr = m_pDS->CreateSoundBuffer(&dsbd, &pDSBuffer, nullptr);
    if (FAILED(hr)) {
        if (hr == DSERR_BADFORMAT || hr == E_INVALIDARG)
            return DSUTIL_TRACE_NOMSGBOX("CreateSoundBuffer", hr);
        return DSUTIL_TRACE("CreateSoundBuffer", hr);
    }

    LPDIRECTSOUNDNOTIFY pDSNotify = nullptr;
    hr = pDSBuffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void **>(&pDSNotify));
    if (FAILED(hr)) {
        pDSBuffer->Release();
        return DSUTIL_TRACE("QueryInterface", hr);
    }

    std::unique_ptr<DSBPOSITIONNOTIFY[]> aPosNotify(new (std::nothrow)
                                                        DSBPOSITIONNOTIFY[dwNotifyCount]);
    if (!aPosNotify) {
        pDSNotify->Release();
        pDSBuffer->Release();
        return E_OUTOFMEMORY;
    }
    for (DWORD i = 0; i < dwNotifyCount; ++i) {
        aPosNotify[i].dwOffset = dwNotifySize * i + dwNotifySize - 1;
        aPosNotify[i].hEventNotify = hNotifyEvent;
    }
    hr = pDSNotify->SetNotificationPositions(dwNotifyCount, aPosNotify.get());
    pDSNotify->Release();
    if (FAILED(hr)) {
        pDSBuffer->Release();
        return DSUTIL_TRACE("SetNotificationPositions", hr);
    }

    *ppStreamingSound = new (std::nothrow)
        CStreamingSound(pDSBuffer, dwDSBufferSize, pWaveFile.get(), dwNotifySize);
    if (!*ppStreamingSound) {
        pDSBuffer->Release();
        return E_OUTOFMEMORY;
    }
    pWaveFile.release();
    return S_OK;
}
