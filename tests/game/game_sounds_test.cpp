// The sounds and music as the one-time set-up makes them: each plays through the mixer with the
// controls it needs; a missing file or sound device silences only what it must.
#include "game_sound_fixture.h"

#include <limits>

namespace {

using audio_test::Rms;
using game_test::GameSoundTest;

// The volume (0x80) and pitch (0x20) controls of each sound, in table order.
constexpr DWORD kControls[] = {0, 0xA0, 0xA0, 0, 0, 0x80, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x80, 0x80, 0};

TEST_F(GameSoundTest, EverySoundAndTheMusicPlayWithTheControlsTheyNeed) {
    const auto sounds = Sounds();
    for (std::size_t i = 0; i < sounds.size(); ++i) {
        const auto &[name, sound] = sounds[i];
        ASSERT_NE(sound, nullptr) << name;
        DSBCAPS caps{};
        caps.dwSize = sizeof caps;
        ASSERT_EQ(sound->GetBuffer(0)->GetCaps(&caps), DS_OK);
        EXPECT_EQ(caps.dwFlags & 0xA0, kControls[i]) << name;
        EXPECT_TRUE(sound->GetBuffer(4) && !sound->GetBuffer(5)) << "five buffers";
        PlaySoundOnce(sound);
        EXPECT_EQ(PlayingSounds(), std::vector<std::string>{name});
        EXPECT_GT(Rms(Run(0.1)), 0.001) << name;
        StopSound(sound);
    }
    m_app->StartMusic();
    EXPECT_GT(Rms(Run(0.5)), 0.001);
    m_app->StopMusic();
    EXPECT_FALSE(seams::MusicPlaying());
}

TEST_F(GameSoundTest, VolumesAreClampedAndTheEnginesFollowTheirPitch) {
    SetSoundVolume(m_app->m_pMenuBackSound, -20000.0f); // below silence: set as silence
    PlaySoundOnce(m_app->m_pMenuBackSound);
    EXPECT_LT(Rms(Run(0.05)), 1e-4);
    for (CSound *engine : {m_app->m_pEngineSound, m_app->m_pMarsShipEngineSound}) {
        // At idle pitch a loop of 1 to 2 s lasts 5.5 s or more; at the top the rest of it plays
        // in under a second.
        SetSoundFrequency(engine, EngineFrequency(0.0f));
        PlaySoundOnce(engine);
        Run(1.05);
        EXPECT_TRUE(IsSoundPlaying(engine));
        SetSoundFrequency(engine, EngineFrequency(2.0f));
        Run(1.05);
        EXPECT_FALSE(IsSoundPlaying(engine));
    }
    EXPECT_EQ(EngineFrequency(0.5f), 26050u);
    EXPECT_EQ(EngineFrequency(std::numeric_limits<float>::quiet_NaN()), 4000u);
    EXPECT_EQ(EngineFrequency(1e30f), 44100u);
}

class WithoutMenuBackAndMusic : public GameSoundTest {
    void SetUp() override {
        m_missing = {"menuback.wav", "menuloop.wav"};
        GameSoundTest::SetUp();
    }
};

TEST_F(WithoutMenuBackAndMusic, OnlyThoseAreSilentAndEveryMusicCallIsSkipped) {
    EXPECT_EQ(m_app->m_pMenuBackSound, nullptr);
    EXPECT_NE(m_app->m_pMenuSelectSound, nullptr);
    EXPECT_EQ(m_app->m_pMusicPerformance, nullptr);
    EXPECT_EQ(seams::TakeMusicCalls(), (std::vector<std::string>{"InitAudio", "CloseDown"}));
    m_app->StartMusic();
    m_app->StopMusic();
    PlaySoundOnce(m_app->m_pMenuBackSound);
    EXPECT_TRUE(seams::TakeMusicCalls().empty());
    EXPECT_LT(Rms(Run(0.1)), 1e-6);
}

class WithoutSoundDevice : public GameSoundTest {
    void BeforeInitSound() override {
        seams::InjectFailure("DirectSoundCreate8", seams::kFailAlways);
    }
};

TEST_F(WithoutSoundDevice, OneTraceLineAndNoSoundsNorMusic) {
    const std::string trace = seams::TakeDebugOutput();
    EXPECT_EQ(trace.find("asteroid game("), trace.rfind("asteroid game("));
    EXPECT_NE(trace.find("m_pSoundManager->Initialize"), std::string::npos);
    for (const auto &[name, sound] : Sounds())
        EXPECT_EQ(sound, nullptr) << name;
    EXPECT_EQ(m_app->m_pMusicPerformance, nullptr);
    m_app->StartMusic();
    EXPECT_TRUE(seams::TakeMusicCalls().empty());
}

} // namespace
