// The sound manager, the seventeen sounds and the menu music: made once by the one-time set-up,
// stopped and given back by the final clean-up.
#include "game/asteroid_game.h"

#include "game/media_folder.h"
#include "game/sound_actions.h"
#include "sound/sound.h"
#include "sound/sound_manager.h"

#include <cstddef>

namespace {

constexpr DWORD kVolume = DSBCAPS_CTRLVOLUME;
constexpr DWORD kFrequencyAndVolume = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLVOLUME;
// Enough copies of one sound to overlap: explosions and hits land close together.
constexpr DWORD kBuffersPerSound = 5;

struct SoundSlot {
    const char *file;
    DWORD flags;
    CSound *CMyD3DApplication::*member;
};

// In the order the sounds are made. Only the sounds whose volume or pitch the game changes ask
// for those controls.
constexpr SoundSlot kSoundTable[kSoundCount] = {
    {"spring.wav", 0, &CMyD3DApplication::m_pSpringSound},
    {"engine.wav", kFrequencyAndVolume, &CMyD3DApplication::m_pEngineSound},
    {"marsshipengine.wav", kFrequencyAndVolume, &CMyD3DApplication::m_pMarsShipEngineSound},
    {"marsshiplaser.wav", 0, &CMyD3DApplication::m_pMarsShipLaserSound},
    {"enginestart.wav", 0, &CMyD3DApplication::m_pEngineStartSound},
    {"rumble.wav", kVolume, &CMyD3DApplication::m_pRumbleSound},
    {"explosion1.wav", 0, &CMyD3DApplication::m_pExplosion1Sound},
    {"explosion2.wav", 0, &CMyD3DApplication::m_pExplosion2Sound},
    {"laser.wav", 0, &CMyD3DApplication::m_pLaserSound},
    {"danger.wav", 0, &CMyD3DApplication::m_pDangerSound},
    {"win.wav", 0, &CMyD3DApplication::m_pWinSound},
    {"lose.wav", 0, &CMyD3DApplication::m_pLoseSound},
    {"hit.wav", 0, &CMyD3DApplication::m_pHitSound},
    {"menuloop2.wav", kVolume, &CMyD3DApplication::m_pMenuLoop2Sound},
    {"menuselect.wav", kVolume, &CMyD3DApplication::m_pMenuSelectSound},
    {"menuback.wav", kVolume, &CMyD3DApplication::m_pMenuBackSound},
    {"stationorder.wav", 0, &CMyD3DApplication::m_pStationOrderSound},
};

// The order the final clean-up deletes them in.
constexpr CSound *CMyD3DApplication::*kDeleteOrder[kSoundCount] = {
    &CMyD3DApplication::m_pHitSound,
    &CMyD3DApplication::m_pWinSound,
    &CMyD3DApplication::m_pLoseSound,
    &CMyD3DApplication::m_pMenuLoop2Sound,
    &CMyD3DApplication::m_pSpringSound,
    &CMyD3DApplication::m_pStationOrderSound,
    &CMyD3DApplication::m_pEngineSound,
    &CMyD3DApplication::m_pEngineStartSound,
    &CMyD3DApplication::m_pMarsShipEngineSound,
    &CMyD3DApplication::m_pMarsShipLaserSound,
    &CMyD3DApplication::m_pRumbleSound,
    &CMyD3DApplication::m_pLaserSound,
    &CMyD3DApplication::m_pExplosion1Sound,
    &CMyD3DApplication::m_pExplosion2Sound,
    &CMyD3DApplication::m_pDangerSound,
    &CMyD3DApplication::m_pMenuSelectSound,
    &CMyD3DApplication::m_pMenuBackSound,
};

constexpr char kMusicFile[] = "menuloop.wav";

template <class Interface> void releaseAndClear(Interface *&object) {
    if (object) {
        object->Release();
        object = nullptr;
    }
}

} // namespace

HRESULT CMyD3DApplication::InitSound(HWND window) {
    // The sounds are the first data files the game opens.
    TraceWhenMediaFolderIsMissing(kSoundTable[0].file);
    m_pSoundManager = new SoundManager();
    HRESULT hr = m_pSoundManager->Initialize(window, DSSCL_PRIORITY, 2, 22050, 16);
    if (FAILED(hr)) {
        // No sound device: the game runs silent and without music. The manager object stays
        // for the clean-up to delete.
        return DXTraceA("asteroid game", static_cast<DWORD>(__LINE__), hr,
                        "m_pSoundManager->Initialize", FALSE);
    }

    // A sound that cannot be made (its file missing or unreadable, which the sound subsystem
    // traces) stays null, and every use of it does nothing.
    for (const SoundSlot &slot : kSoundTable)
        m_pSoundManager->Create(&(this->*slot.member), slot.file, slot.flags, GUID_NULL,
                                kBuffersPerSound);

    CoInitialize(nullptr);
    CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                     IID_IDirectMusicLoader8, reinterpret_cast<void **>(&m_pMusicLoader));
    CoCreateInstance(CLSID_DirectMusicPerformance, nullptr,
                     CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_IDirectMusicPerformance8,
                     reinterpret_cast<void **>(&m_pMusicPerformance));
    if (m_pMusicPerformance)
        m_pMusicPerformance->InitAudio(nullptr, nullptr, nullptr, DMUS_APATH_DYNAMIC_MONO, 64,
                                       DMUS_AUDIOF_ALL, nullptr);

    WCHAR musicFile[MAX_PATH] = {};
    for (std::size_t i = 0; kMusicFile[i] != '\0'; ++i)
        musicFile[i] = static_cast<WCHAR>(kMusicFile[i]);
    hr = m_pMusicLoader
             ? m_pMusicLoader->LoadObjectFromFile(CLSID_DirectMusicSegment,
                                                  IID_IDirectMusicSegment8, musicFile,
                                                  reinterpret_cast<void **>(&m_pMusicSegment))
             : E_FAIL;
    if (FAILED(hr) && m_pMusicPerformance) {
        // Without the tune there is no music for the whole run: a null performance is what every
        // music call tests.
        m_pMusicPerformance->CloseDown();
        releaseAndClear(m_pMusicPerformance);
    }
    if (m_pMusicPerformance && m_pMusicSegment)
        m_pMusicSegment->Download(m_pMusicPerformance);
    return S_OK;
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

void CMyD3DApplication::StopSoundLoops() {
    StopSound(m_pEngineSound);
    StopSound(m_pRumbleSound);
    StopSound(m_pMarsShipEngineSound);
    StopSound(m_pMenuLoop2Sound);
}

void CMyD3DApplication::ReleaseSound() {
    for (CSound *CMyD3DApplication::*member : kDeleteOrder) {
        CSound *&sound = this->*member;
        delete sound;
        sound = nullptr;
    }
    // Deleting the manager releases the sound device; the sounds went first.
    delete m_pSoundManager;
    m_pSoundManager = nullptr;

    if (m_pMusicPerformance)
        m_pMusicPerformance->CloseDown();
    releaseAndClear(m_pMusicLoader);
    releaseAndClear(m_pMusicPerformance);
    releaseAndClear(m_pMusicSegment);
    CoUninitialize();
}
