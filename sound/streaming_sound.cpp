// CStreamingSound: the owner calls HandleNotification each time the buffer's event fires; it
// refills the section just played and stops the buffer once the whole file has been heard.
#include "sound/streaming_sound.h"

#include "sound/dsutil_trace.h"

#include <cstring>

CStreamingSound::CStreamingSound(LPDIRECTSOUNDBUFFER pDSBuffer, DWORD dwDSBufferSize,
                                 WavFile *pWaveFile, DWORD dwNotifySize)
    : CSound(&pDSBuffer, dwDSBufferSize, 1, pWaveFile), m_dwLastPlayPos(0), m_dwPlayProgress(0),
      m_dwNotifySize(dwNotifySize), m_dwNextWriteOffset(0),
      m_bFillNextNotificationWithSilence(FALSE) {}

CStreamingSound::~CStreamingSound() = default;

HRESULT CStreamingSound::HandleNotification(BOOL bLoopedPlay) {
    if (!m_apDSBuffer || !m_pWaveFile)
        return CO_E_NOTINITIALIZED;
    LPDIRECTSOUNDBUFFER pDSB = m_apDSBuffer[0];

    BOOL bRestored = FALSE;
    HRESULT hr = RestoreBuffer(pDSB, &bRestored);
    if (FAILED(hr))
        return DSUTIL_TRACE("RestoreBuffer", hr);
    if (bRestored) {
        hr = FillBufferWithSound(pDSB, FALSE);
        if (FAILED(hr))
            return DSUTIL_TRACE("FillBufferWithSound", hr);
        return S_OK;
    }

    VOID *pDSLockedBuffer = nullptr;
    VOID *pDSLockedBuffer2 = nullptr;
    DWORD dwDSLockedBufferSize = 0;
    DWORD dwDSLockedBufferSize2 = 0;
    hr = pDSB->Lock(m_dwNextWriteOffset, m_dwNotifySize, &pDSLockedBuffer, &dwDSLockedBufferSize,
                    &pDSLockedBuffer2, &dwDSLockedBufferSize2, 0);
    if (FAILED(hr))
        return DSUTIL_TRACE("Lock", hr);
    if (pDSLockedBuffer2) {
        // Sections never wrap; the lock is handed back so the buffer stays usable.
        pDSB->Unlock(pDSLockedBuffer, 0, pDSLockedBuffer2, 0);
        return E_UNEXPECTED;
    }

    BYTE *pLocked = static_cast<BYTE *>(pDSLockedBuffer);
    const BYTE silence = SilenceByte();
    DWORD dwBytesWrittenToBuffer = 0;
    if (m_bFillNextNotificationWithSilence) {
        std::memset(pLocked, silence, dwDSLockedBufferSize);
        dwBytesWrittenToBuffer = dwDSLockedBufferSize;
    } else {
        hr = m_pWaveFile->Read(pLocked, dwDSLockedBufferSize, &dwBytesWrittenToBuffer);
        if (FAILED(hr)) {
            pDSB->Unlock(pDSLockedBuffer, dwDSLockedBufferSize, nullptr, 0);
            return DSUTIL_TRACE("Read", hr);
        }
    }

    if (dwBytesWrittenToBuffer < dwDSLockedBufferSize) {
        if (!bLoopedPlay) {
            std::memset(pLocked + dwBytesWrittenToBuffer, silence,
                        dwDSLockedBufferSize - dwBytesWrittenToBuffer);
            m_bFillNextNotificationWithSilence = TRUE;
        } else {
            hr = FillRepeating(pDSB, pDSLockedBuffer, dwDSLockedBufferSize, dwBytesWrittenToBuffer,
                               silence);
            if (FAILED(hr))
                return hr;
        }
    }

    pDSB->Unlock(pDSLockedBuffer, dwDSLockedBufferSize, nullptr, 0);

    DWORD dwCurrentPlayPos = 0;
    hr = pDSB->GetCurrentPosition(&dwCurrentPlayPos, nullptr);
    if (FAILED(hr))
        return DSUTIL_TRACE("GetCurrentPosition", hr);
    DWORD dwPlayDelta;
    if (dwCurrentPlayPos < m_dwLastPlayPos)
        dwPlayDelta = (m_dwDSBufferSize - m_dwLastPlayPos) + dwCurrentPlayPos;
    else
        dwPlayDelta = dwCurrentPlayPos - m_dwLastPlayPos;
    m_dwPlayProgress += dwPlayDelta;
    m_dwLastPlayPos = dwCurrentPlayPos;

    if (m_bFillNextNotificationWithSilence && m_dwPlayProgress >= m_pWaveFile->GetSize())
        pDSB->Stop();

    m_dwNextWriteOffset += dwDSLockedBufferSize;
    m_dwNextWriteOffset %= m_dwDSBufferSize;
    return S_OK;
}

HRESULT CStreamingSound::RestartStream() {
    if (!m_apDSBuffer || !m_apDSBuffer[0] || !m_pWaveFile)
        return CO_E_NOTINITIALIZED;
    LPDIRECTSOUNDBUFFER pDSB = m_apDSBuffer[0];

    m_dwLastPlayPos = 0;
    m_dwPlayProgress = 0;
    m_dwNextWriteOffset = 0;
    m_bFillNextNotificationWithSilence = FALSE;

    HRESULT hr = RestoreBuffer(pDSB, nullptr);
    if (FAILED(hr))
        return DSUTIL_TRACE("RestoreBuffer", hr);
    // The buffer still holds data from wherever the stream had got to: it is filled from the
    // file's start whether or not it was lost, and the file stays positioned after that data, so
    // the next refill continues the file instead of playing stale data and then repeating its
    // beginning.
    hr = FillBufferWithSound(pDSB, FALSE);
    if (FAILED(hr))
        return DSUTIL_TRACE("FillBufferWithSound", hr);
    return pDSB->SetCurrentPosition(0);
}
