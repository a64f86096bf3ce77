// CSound and the sound manager heard through the mixer: pitch, level, overlapping plays, loops,
// stop and rewind, lost buffers, and the manager's failures.
#include "tests/sound/sound_fixture.h"

using namespace audio_test;

namespace {

using Sound = SoundManagerTest;

TEST_F(Sound, PlaysAToneAtItsPitchAndLevel) {
    CSound *sound = Make(ToneFile("tone.wav", Sine(441.0, 22050, 22050, 0.5)));
    ASSERT_NE(sound, nullptr);
    ASSERT_EQ(sound->Play(0, 0), DS_OK);
    EXPECT_TRUE(sound->IsPlaying());
    const auto mixed = Run(11025);
    EXPECT_NEAR(ZeroCrossingFrequency(Channel(mixed, 2, 0), 22050), 441.0, 0.5);
    EXPECT_NEAR(Peak(Channel(mixed, 2, 1)), 0.5, 0.01);
    Run(11025);
    EXPECT_FALSE(sound->IsPlaying()) << "a one-shot ends after its last frame";
}

TEST_F(Sound, VolumeAndFrequencyOfBufferZeroShapeItsPlays) {
    CSound *sound = Make(ToneFile("engine.wav", Sine(441.0, 22050, 22050, 0.8)),
                         DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLVOLUME);
    ASSERT_EQ(sound->GetBuffer(0)->SetVolume(-600), DS_OK);
    sound->Play(0, DSBPLAY_LOOPING);
    EXPECT_NEAR(Peak(Channel(Run(4410), 2, 0)), 0.8 * 0.501, 0.01);

    ASSERT_EQ(sound->GetBuffer(0)->SetFrequency(44100), DS_OK);
    EXPECT_NEAR(ZeroCrossingFrequency(Channel(Run(11025), 2, 0), 22050), 882.0, 1.0);
    ASSERT_EQ(sound->GetBuffer(0)->SetFrequency(4000), DS_OK);
    EXPECT_NEAR(ZeroCrossingFrequency(Channel(Run(22050), 2, 0), 22050), 441.0 * 4000 / 22050, 0.5);
    EXPECT_EQ(sound->GetBuffer(5), nullptr);
}

TEST_F(Sound, FivePlaysOverlapAndASixthGoesToARandomPlayingBuffer) {
    CSound *sound = Make(ToneFile("explosion1.wav", Sine(441.0, 22050, 22050, 0.1)));
    for (DWORD i = 0; i < 5; ++i) {
        ASSERT_EQ(sound->Play(0, 0), DS_OK);
        DWORD status = 0;
        sound->GetBuffer(i)->GetStatus(&status);
        EXPECT_EQ(status, DSBSTATUS_PLAYING) << "play " << i << " takes buffer " << i;
    }
    EXPECT_NEAR(Peak(Channel(Run(2205), 2, 0)), 0.5, 0.01) << "five plays sum";

    seams::SetRandomState(1);
    ASSERT_EQ(sound->Play(0, 0), DS_OK);
    EXPECT_NE(seams::RandomState(), 1u) << "the sixth play draws one random number";
    seams::SetRandomState(1);
    crt::rand();
    const std::uint32_t afterOneDraw = seams::RandomState();
    seams::SetRandomState(1);
    sound->Play(0, 0);
    EXPECT_EQ(seams::RandomState(), afterOneDraw);

    EXPECT_EQ(sound->Stop(), DS_OK);
    EXPECT_FALSE(sound->IsPlaying()) << "Stop stops all five";
}

TEST_F(Sound, LoopHasNoDiscontinuityAtItsSeam) {
    // 150 Hz over 0.2 s: 30 whole periods, a seamless loop of 4410 frames.
    CSound *sound = Make(ToneFile("rumble.wav", Sine(150.0, 22050, 4410, 0.5)), DSBCAPS_CTRLVOLUME);
    sound->Play(0, DSBPLAY_LOOPING);
    const auto left = Channel(Run(22050), 2, 0);
    const double ownStep = 2.0 * std::numbers::pi * 0.5 * 150.0 / 22050.0;
    EXPECT_LT(LargestStep(left), ownStep * 1.05);
    EXPECT_NEAR(Rms(left), 0.5 / std::sqrt(2.0), 0.01);
    EXPECT_TRUE(sound->IsPlaying());
}

TEST_F(Sound, StopKeepsThePlaceAndRewindReturnsToTheStart) {
    std::vector<std::int16_t> ramp(22050);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<std::int16_t>(i);
    CSound *sound = Make(ToneFile("ramp.wav", ramp));
    sound->Play(0, 0);
    Run(1000);
    EXPECT_EQ(sound->Stop(), DS_OK);
    auto mixed = Run(100);
    EXPECT_EQ(mixed[0], 0) << "silent while stopped";
    sound->Play(0, 0);
    mixed = Run(10);
    EXPECT_EQ(mixed[0], 1000) << "continues where it stopped";
    sound->Stop();
    EXPECT_EQ(sound->Rewind(), DS_OK);
    sound->Play(0, 0);
    mixed = Run(10);
    EXPECT_EQ(mixed[0], 0);
    EXPECT_EQ(mixed[2], 1);
}

TEST_F(Sound, LostBuffersAreRestoredRefilledAndRewoundAtTheNextPlay) {
    const auto tone = Sine(441.0, 22050, 22050, 0.5);
    CSound *sound = Make(ToneFile("hit.wav", tone));
    sound->Play(0, 0);
    Run(5000);
    seams::LoseSoundBuffers();
    EXPECT_FALSE(sound->IsPlaying());
    seams::InjectFailure("Restore", 2, DSERR_BUFFERLOST);
    ASSERT_EQ(sound->Play(0, 0), DS_OK);
    EXPECT_EQ(seams::TimesAsked("Restore"), 3) << "two lost restores, each followed by a wait";
    const auto mixed = Run(2205);
    ASSERT_EQ(mixed.size(), 2 * 2205u);
    for (std::size_t i = 0; i < 2205; ++i)
        ASSERT_EQ(mixed[2 * i], tone[i]) << "refilled and played from the start, frame " << i;
    for (DWORD i = 1; i < 5; ++i) {
        DWORD play = 1;
        sound->GetBuffer(i)->GetCurrentPosition(&play, nullptr);
        EXPECT_EQ(play, 0u) << "buffer " << i << " rewound";
    }
    EXPECT_TRUE(Traces().empty());
}

TEST_F(Sound, AFailedRestoreIsTracedAndReturned) {
    CSound *sound = Make(ToneFile("lose.wav", Sine(441.0, 22050, 100)));
    seams::LoseSoundBuffers();
    seams::InjectFailure("Restore", 1, DSERR_OUTOFMEMORY);
    EXPECT_EQ(sound->Play(0, 0), DSERR_OUTOFMEMORY);
    EXPECT_EQ(Traces(), (std::vector<std::string>{"RestoreBuffer"}));
    EXPECT_EQ(seams::TakeMessageBoxes().size(), 1u);
}

TEST_F(Sound, CreateRefusesBadArgumentsAndMissingFilesLeavingNothingBehind) {
    const std::string path = ToneFile("spring.wav", Sine(441.0, 22050, 100));
    CSound *sound = reinterpret_cast<CSound *>(0x10);
    EXPECT_EQ(m_manager.Create(&sound, path.c_str(), 0, GUID_NULL, 0), E_INVALIDARG);
    EXPECT_EQ(m_manager.Create(&sound, nullptr, 0, GUID_NULL, 5), E_INVALIDARG);
    EXPECT_EQ(m_manager.Create(nullptr, path.c_str(), 0, GUID_NULL, 5), E_INVALIDARG);
    EXPECT_EQ(m_manager.Create(&sound, (m_folder / "missing.wav").c_str(), 0, GUID_NULL, 5),
              E_FAIL);
    EXPECT_EQ(sound, reinterpret_cast<CSound *>(0x10)) << "the out pointer is left as it was";
    Traces();

    seams::InjectFailure("DuplicateSoundBuffer", 1, DSERR_OUTOFMEMORY);
    EXPECT_EQ(m_manager.Create(&sound, path.c_str(), 0, GUID_NULL, 5), DSERR_OUTOFMEMORY);
    EXPECT_EQ(Traces(), (std::vector<std::string>{"DuplicateSoundBuffer"}));
    seams::InjectFailure("CreateSoundBuffer", 1, DSERR_BUFFERTOOSMALL);
    EXPECT_EQ(m_manager.Create(&sound, path.c_str(), 0, GUID_NULL, 5), DSERR_BUFFERTOOSMALL);
    EXPECT_TRUE(Traces().empty()) << "a buffer too small is not traced";
    EXPECT_EQ(sound, reinterpret_cast<CSound *>(0x10));

    SoundManager uninitialised;
    EXPECT_EQ(uninitialised.Create(&sound, path.c_str(), 0, GUID_NULL, 5), CO_E_NOTINITIALIZED);
}

TEST_F(Sound, SoundsOfEightBitFilesAndMemoryImagesPlayToo) {
    wavtest::Format eightBit;
    eightBit.bits = 8;
    wavtest::Bytes bytes(2205);
    const auto tone = Sine(441.0, 22050, bytes.size(), 0.5);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(128 + tone[i] / 256);
    CSound *eight = Make(File("menuselect.wav", wavtest::Wav(eightBit, bytes)));
    ASSERT_NE(eight, nullptr);
    eight->Play(0, 0);
    EXPECT_NEAR(Peak(Channel(Run(2205), 2, 0)), 0.5, 0.01);

    auto image = Bytes16(tone);
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
    CSound *fromMemory = nullptr;
    ASSERT_EQ(m_manager.CreateFromMemory(&fromMemory, image.data(),
                                         static_cast<ULONG>(image.size()), &format, 0, GUID_NULL,
                                         2),
              S_OK);
    m_sounds.push_back(fromMemory);
    fromMemory->Play(0, 0);
    const auto mixed = Run(2205);
    ASSERT_EQ(mixed.size(), 2 * 2205u);
    for (std::size_t i = 0; i < 2205; ++i)
        ASSERT_EQ(mixed[2 * i], tone[i]) << "frame " << i;
}

TEST_F(Sound, AnExtensiblePcmFilePlaysLikeItsPcmTwin) {
    wavtest::Format format;
    format.tag = WAVE_FORMAT_EXTENSIBLE;
    const auto tone = Sine(441.0, 22050, 2205, 0.5);
    const auto path =
        File("extensible.wav",
             wavtest::Riff(wavtest::Join(
                 {wavtest::Chunk("fmt ", wavtest::FormatBody(format, wavtest::ExtensibleExtra(16))),
                  wavtest::Chunk("data", Bytes16(tone))})));
    CSound *sound = Make(path);
    ASSERT_NE(sound, nullptr);
    sound->Play(0, 0);
    const auto mixed = Run(2205);
    ASSERT_EQ(mixed.size(), 2 * 2205u);
    for (std::size_t i = 0; i < 2205; ++i)
        ASSERT_EQ(mixed[2 * i], tone[i]) << "frame " << i;
    EXPECT_TRUE(Traces().empty());
}

TEST_F(Sound, ASoundWithoutBuffersRefusesToPlayInsteadOfDividingByZero) {
    CSound empty(nullptr, 0, 0, new WavFile());
    EXPECT_EQ(empty.GetFreeBuffer(), nullptr);
    EXPECT_EQ(empty.Play(0, 0), E_FAIL);
    EXPECT_EQ(Traces(), (std::vector<std::string>{"GetFreeBuffer"}));
    EXPECT_FALSE(empty.IsPlaying());
    EXPECT_EQ(empty.GetBuffer(0), nullptr);
    LPDIRECTSOUND3DBUFFER threeD = nullptr;
    EXPECT_EQ(empty.Get3DBuffer(0, &threeD), E_INVALIDARG);
}

TEST_F(Sound, InitializeTracesTheFailedStepWithAPopUp) {
    SoundManager manager;
    seams::InjectFailure("DirectSoundCreate8", 1, DSERR_NODRIVER);
    EXPECT_EQ(manager.Initialize(nullptr, DSSCL_PRIORITY, 2, 22050, 16), DSERR_NODRIVER);
    EXPECT_EQ(Traces(), (std::vector<std::string>{"DirectSoundCreate8"}));
    EXPECT_EQ(seams::TakeMessageBoxes().size(), 1u);

    seams::InjectFailure("SetFormat", 1, DSERR_BADFORMAT);
    EXPECT_EQ(manager.Initialize(nullptr, DSSCL_PRIORITY, 2, 22050, 16), DSERR_BADFORMAT);
    EXPECT_EQ(Traces(), (std::vector<std::string>{"SetFormat", "SetPrimaryBufferFormat"}));
    EXPECT_EQ(manager.SetPrimaryBufferFormat(2, 22050, 16), S_OK) << "the object stays";

    LPDIRECTSOUND3DLISTENER listener = nullptr;
    ASSERT_EQ(manager.GetListener(&listener), S_OK);
    ASSERT_NE(listener, nullptr);
    listener->Release();
    EXPECT_EQ(SoundManager().GetListener(&listener), CO_E_NOTINITIALIZED);
}

} // namespace
