// CSound: plays go to a buffer that is not playing; lost buffers are restored and refilled from
// the WAV file, which stays open for that.
#include "sound/sound.h"

#include "platform/win32/clock.h"
#include "platform/win32/random.h"
#include "sound/dsutil_trace.h"

#include <cstring>

namespace {

// A buffer whose status cannot be read counts as not playing.
bool isPlaying(LPDIRECTSOUNDBUFFER buffer) {
    DWORD dwStatus = 0;
    if (FAILED(buffer->GetStatus(&dwStatus)))
        return false;
    return (dwStatus & DSBSTATUS_PLAYING) != 0;
}

} // namespace

CSound::CSound(LPDIRECTSOUNDBUFFER *apDSBuffer, DWORD dwDSBufferSize, DWORD dwNumBuffers,
               WavFile *pWaveFile)
    : m_dwDSBufferSize(dwDSBufferSize), m_pWaveFile(pWaveFile), m_dwNumBuffers(dwNumBuffers),
      m_apDSBuffer(new LPDIRECTSOUNDBUFFER[dwNumBuffers]) {
    for (DWORD i = 0; i < dwNumBuffers; ++i)
        m_apDSBuffer[i] = apDSBuffer[i];
    // Without buffers there is nothing to fill (and no entry 0 to read).
    FillBufferWithSound(dwNumBuffers > 0 ? m_apDSBuffer[0] : nullptr, FALSE);
    for (DWORD i = 0; i < dwNumBuffers; ++i)
        if (m_apDSBuffer[i])
            m_apDSBuffer[i]->SetCurrentPosition(0);
}

CSound::~CSound() {
    for (DWORD i = 0; i < m_dwNumBuffers; ++i)
        if (m_apDSBuffer[i])
            m_apDSBuffer[i]->Release();
    delete[] m_apDSBuffer;
    delete m_pWaveFile;
}

HRESULT CSound::FillBufferWithSound(LPDIRECTSOUNDBUFFER pDSB, BOOL bRepeatWavIfBufferLarger) {
    if (!pDSB)
        return CO_E_NOTINITIALIZED;
    HRESULT hr = RestoreBuffer(pDSB, nullptr);
    if (FAILED(hr))
        return DSUTIL_TRACE("RestoreBuffer", hr);

    VOID *pDSLockedBuffer = nullptr;
    DWORD dwDSLockedBufferSize = 0;
    hr = pDSB->Lock(0, m_dwDSBufferSize, &pDSLockedBuffer, &dwDSLockedBufferSize, nullptr, nullptr,
                    0);
    if (FAILED(hr))
        return DSUTIL_TRACE("Lock", hr);

    BYTE *pLocked = static_cast<BYTE *>(pDSLockedBuffer);
    const BYTE silence = SilenceByte();
    m_pWaveFile->ResetFile();
    DWORD dwWavDataRead = 0;
    hr = m_pWaveFile->Read(pLocked, dwDSLockedBufferSize, &dwWavDataRead);
    if (FAILED(hr)) {
        pDSB->Unlock(pDSLockedBuffer, dwDSLockedBufferSize, nullptr, 0);
        return DSUTIL_TRACE("Read", hr);
    }

    if (dwWavDataRead == 0) {
        std::memset(pLocked, silence, dwDSLockedBufferSize);
    } else if (dwWavDataRead < dwDSLockedBufferSize) {
        if (bRepeatWavIfBufferLarger) {
            hr = FillRepeating(pDSB, pDSLockedBuffer, dwDSLockedBufferSize, dwWavDataRead, silence);
            if (FAILED(hr))
                return hr;
        } else {
            std::memset(pLocked + dwWavDataRead, silence, dwDSLockedBufferSize - dwWavDataRead);
        }
    }

    pDSB->Unlock(pDSLockedBuffer, dwDSLockedBufferSize, nullptr, 0);
    return S_OK;
}

BYTE CSound::SilenceByte() const {
    return m_pWaveFile->m_pwfx && m_pWaveFile->m_pwfx->wBitsPerSample == 8 ? 128 : 0;
}

HRESULT CSound::FillRepeating(LPDIRECTSOUNDBUFFER pDSB, VOID *pDSLockedBuffer,
                              DWORD dwDSLockedBufferSize, DWORD dwFilled, BYTE silence) {
    BYTE *pLocked = static_cast<BYTE *>(pDSLockedBuffer);
    DWORD dwReadSoFar = dwFilled;
    while (dwReadSoFar < dwDSLockedBufferSize) {
        HRESULT hr = m_pWaveFile->ResetFile();
        if (FAILED(hr)) {
            pDSB->Unlock(pDSLockedBuffer, dwDSLockedBufferSize, nullptr, 0);
            return DSUTIL_TRACE("ResetFile", hr);
        }
        DWORD dwRead = 0;
        hr = m_pWaveFile->Read(pLocked + dwReadSoFar, dwDSLockedBufferSize - dwReadSoFar, &dwRead);
        if (FAILED(hr)) {
            pDSB->Unlock(pDSLockedBuffer, dwDSLockedBufferSize, nullptr, 0);
            return DSUTIL_TRACE("Read", hr);
        }
        if (dwRead == 0) {
            std::memset(pLocked + dwReadSoFar, silence, dwDSLockedBufferSize - dwReadSoFar);
            break;
        }
        dwReadSoFar += dwRead;
    }
    return S_OK;
}

HRESULT CSound::RestoreBuffer(LPDIRECTSOUNDBUFFER pDSB, BOOL *pbWasRestored) {
    if (!pDSB)
        return CO_E_NOTINITIALIZED;
    if (pbWasRestored)
        *pbWasRestored = FALSE;

    DWORD dwStatus = 0;
    HRESULT hr = pDSB->GetStatus(&dwStatus);
    if (FAILED(hr))
        return DSUTIL_TRACE("GetStatus", hr);
    if (!(dwStatus & DSBSTATUS_BUFFERLOST))
        return S_FALSE;

    // The buffer comes back once the program may use the device again; until then, wait.
    do {
        hr = pDSB->Restore();
        if (hr == DSERR_BUFFERLOST)
            Sleep(10);
    } while (hr == DSERR_BUFFERLOST);
    if (FAILED(hr))
        return hr;

    if (pbWasRestored)
        *pbWasRestored = TRUE;
    return S_OK;
}

LPDIRECTSOUNDBUFFER CSound::GetFreeBuffer() {
    if (!m_apDSBuffer)
        return nullptr;
    for (DWORD i = 0; i < m_dwNumBuffers; ++i) {
        if (!m_apDSBuffer[i])
            continue;
        if (!isPlaying(m_apDSBuffer[i]))
            return m_apDSBuffer[i];
    }
    if (m_dwNumBuffers == 0)
        return nullptr;
    return m_apDSBuffer[static_cast<DWORD>(crt::rand()) % m_dwNumBuffers];
}

LPDIRECTSOUNDBUFFER CSound::GetBuffer(DWORD dwIndex) {
    if (!m_apDSBuffer || dwIndex >= m_dwNumBuffers)
        return nullptr;
    return m_apDSBuffer[dwIndex];
}

HRESULT CSound::Get3DBuffer(DWORD dwIndex, LPDIRECTSOUND3DBUFFER *ppDS3DBuffer) {
    if (!m_apDSBuffer)
        return CO_E_NOTINITIALIZED;
    if (dwIndex >= m_dwNumBuffers || !ppDS3DBuffer)
        return E_INVALIDARG;
    *ppDS3DBuffer = nullptr;
    if (!m_apDSBuffer[dwIndex])
        return CO_E_NOTINITIALIZED;
    return m_apDSBuffer[dwIndex]->QueryInterface(IID_IDirectSound3DBuffer,
                                                 reinterpret_cast<void **>(ppDS3DBuffer));
}

HRESULT CSound::Play(DWORD dwPriority, DWORD dwFlags) {
    if (!m_apDSBuffer)
        return CO_E_NOTINITIALIZED;

    LPDIRECTSOUNDBUFFER pDSB = GetFreeBuffer();
    if (!pDSB)
        return DSUTIL_TRACE("GetFreeBuffer", E_FAIL);

    BOOL bRestored = FALSE;
    HRESULT hr = RestoreBuffer(pDSB, &bRestored);
    if (FAILED(hr))
        return DSUTIL_TRACE("RestoreBuffer", hr);
    if (bRestored) {
        hr = FillBufferWithSound(pDSB, FALSE);
        if (FAILED(hr))
            return DSUTIL_TRACE("FillBufferWithSound", hr);
        Rewind();
    }
    return pDSB->Play(0, dwPriority, dwFlags);
}

HRESULT CSound::Stop() {
    if (!m_apDSBuffer)
        return CO_E_NOTINITIALIZED;
    HRESULT hr = S_OK;
    for (DWORD i = 0; i < m_dwNumBuffers; ++i)
        if (m_apDSBuffer[i])
            hr |= m_apDSBuffer[i]->Stop();
    return hr;
}

HRESULT CSound::Rewind() {
    if (!m_apDSBuffer)
        return CO_E_NOTINITIALIZED;
    HRESULT hr = S_OK;
    for (DWORD i = 0; i < m_dwNumBuffers; ++i)
        if (m_apDSBuffer[i])
            hr |= m_apDSBuffer[i]->SetCurrentPosition(0);
    return hr;
}

BOOL CSound::IsPlaying() {
    if (!m_apDSBuffer)
        return FALSE;
    for (DWORD i = 0; i < m_dwNumBuffers; ++i) {
        if (!m_apDSBuffer[i])
            continue;
        if (isPlaying(m_apDSBuffer[i]))
            return TRUE;
    }
    return FALSE;
}
