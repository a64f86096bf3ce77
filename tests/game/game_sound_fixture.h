// An application object with its sounds and music made from the generated media (less the files a
// test names in m_missing), its settings store in a fresh folder, and the mixer stepped by the
// virtual clock with its output captured. A test that needs a failure arms it in BeforeInitSound.
#pragma once

#include "game/asteroid_game.h"
#include "game/sound_actions.h"
#include "platform/test_seams.h"
#include "sound/sound.h"
#include "tests/game/device_fixture.h"
#include "tests/platform/dsound/audio_analysis.h"

#include <algorithm>
#include <memory>

namespace game_test {

class GameSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        seams::UseVirtualClock(1'000'000);
        seams::CaptureDebugOutput(true);
        seams::CaptureMessageBoxes(true);
        char pattern[] = "/tmp/tarvos-game-sound-XXXXXX";
        m_folder = ::mkdtemp(pattern);
        seams::UseRegistryRoot((m_folder / "settings").string());
        for (const auto &entry : std::filesystem::directory_iterator(BinaryDir() / "media"))
            if (std::ranges::count(m_missing, entry.path().filename().string()) == 0)
                std::filesystem::create_symlink(entry.path(), m_folder / entry.path().filename());
        m_previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(m_folder);
        m_app = std::make_unique<CMyD3DApplication>();
        BeforeInitSound();
        m_app->InitSound(nullptr);
        seams::CaptureSoundOutput(true);
    }
    void TearDown() override {
        m_app->StopSoundLoops();
        m_app->ReleaseSound();
        std::filesystem::current_path(m_previousFolder);
        seams::CaptureDebugOutput(false);
        seams::CaptureMessageBoxes(false);
        seams::ResetAll();
        seams::UseRealClock();
        std::filesystem::remove_all(m_folder);
    }
    virtual void BeforeInitSound() {}

    // Moves virtual time on and returns the left channel of what was mixed meanwhile.
    std::vector<double> Run(double seconds) {
        seams::TakeSoundOutput();
        seams::AdvanceVirtualClock(seconds);
        seams::SyncSoundMixer();
        const seams::MixedSound mix = seams::TakeSoundOutput();
        return audio_test::Channel(mix.samples, mix.channels, 0);
    }

    // The sounds by file name, in the order they are made.
    std::vector<std::pair<std::string, CSound *>> Sounds() const {
        const CMyD3DApplication &a = *m_app;
        return {{"spring.wav", a.m_pSpringSound},
                {"engine.wav", a.m_pEngineSound},
                {"marsshipengine.wav", a.m_pMarsShipEngineSound},
                {"marsshiplaser.wav", a.m_pMarsShipLaserSound},
                {"enginestart.wav", a.m_pEngineStartSound},
                {"rumble.wav", a.m_pRumbleSound},
                {"explosion1.wav", a.m_pExplosion1Sound},
                {"explosion2.wav", a.m_pExplosion2Sound},
                {"laser.wav", a.m_pLaserSound},
                {"danger.wav", a.m_pDangerSound},
                {"win.wav", a.m_pWinSound},
                {"lose.wav", a.m_pLoseSound},
                {"hit.wav", a.m_pHitSound},
                {"menuloop2.wav", a.m_pMenuLoop2Sound},
                {"menuselect.wav", a.m_pMenuSelectSound},
                {"menuback.wav", a.m_pMenuBackSound},
                {"stationorder.wav", a.m_pStationOrderSound}};
    }
    // The file names of the sounds playing now (at the virtual clock's time), in table order.
    std::vector<std::string> PlayingSounds() const {
        std::vector<std::string> names;
        for (const auto &[name, sound] : Sounds())
            if (IsSoundPlaying(sound))
                names.push_back(name);
        return names;
    }

    std::vector<std::string> m_missing;
    std::filesystem::path m_folder;
    std::filesystem::path m_previousFolder;
    std::unique_ptr<CMyD3DApplication> m_app;
};

} // namespace game_test
