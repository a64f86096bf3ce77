// The sound manager, the seventeen sounds and the menu music.
#include "game/asteroid_game.h"

HRESULT CMyD3DApplication::InitSound(HWND) {
    return 0;
}

void CMyD3DApplication::StartMusic() {
    if (m_pMusicPerformance)
        m_pMusicPerformance->PlaySegmentEx(m_pMusicSegment, nullptr, nullptr, 0, 0, nullptr,
                                           nullptr, nullptr);
}

void CMyD3DApplication::StopMusic() {
    if (m_pMusicPerformance)
        m_pMusicPerformance->Stop(nullptr, nullptr, 0, 0);
}
