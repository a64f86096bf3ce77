// A streaming sound: one looping buffer in equal sections, each refilled with the next data of a
// WAV file after the play cursor has passed it.
#pragma once

#include "sound/sound.h"

class CStreamingSound : public CSound {
public:
    CStreamingSound(LPDIRECTSOUNDBUFFER pDSBuffer, DWORD dwDSBufferSize, WavFile *pWaveFile,
                    DWORD dwNotifySize);
    ~CStreamingSound() override;

    HRESULT HandleNotification(BOOL bLoopedPlay);
    HRESULT RestartStream();

protected:
    DWORD m_dwLastPlayPos;
    DWORD m_dwPlayProgress;
    DWORD m_dwNotifySize;
    DWORD m_dwNextWriteOffset;
    BOOL m_bFillNextNotificationWithSilence;
};
