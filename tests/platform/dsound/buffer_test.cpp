// Buffer behaviour the sound code relies on: duplicates, locking, cursors, status, loss,
// notifications, argument checks and injected failures.
#include "tests/platform/dsound/audio_analysis.h"
#include "tests/platform/dsound/sound_fixture.h"

#include <stdlib.h>

using namespace audio_test;

namespace {

class SoundBuffer : public SoundTest {};

TEST_F(SoundBuffer, OneShotStopsWhenItsLastFrameIsMixedAndReturnsToItsStart) {
    IDirectSoundBuffer *buffer = MakeTone(Sine(441.0, 22050, 2205), 22050);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(Status(buffer), DSBSTATUS_PLAYING);
    Run(2204);
    EXPECT_EQ(Status(buffer), DSBSTATUS_PLAYING);
    DWORD play = 0;
    DWORD write = 0;
    ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
    EXPECT_EQ(play, 2204u * 2);
    EXPECT_NE(write, play);
    Run(1);
    EXPECT_EQ(Status(buffer), 0u);
    buffer->GetCurrentPosition(&play, &write);
    EXPECT_EQ(play, 0u);
    EXPECT_EQ(write, 0u);
    // A second play without a rewind sounds again from the start.
    buffer->Play(0, 0, 0);
    EXPECT_GT(Peak(Channel(Run(1000), 2, 0)), 0.4);
}

TEST_F(SoundBuffer, StopKeepsThePositionAndPlayContinuesFromIt) {
    IDirectSoundBuffer *buffer = MakeTone(Sine(441.0, 22050, 22050), 22050);
    buffer->Play(0, 0, 0);
    Run(1000);
    ASSERT_EQ(buffer->Stop(), DS_OK);
    EXPECT_EQ(Status(buffer), 0u);
    EXPECT_LT(Peak(Channel(Run(500), 2, 0)), 1e-9);
    DWORD play = 0;
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 2000u);
    // Playing an already playing buffer only updates the loop flag.
    buffer->Play(0, 0, 0);
    Run(10);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 2020u);
    EXPECT_EQ(Status(buffer), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    ASSERT_EQ(buffer->SetCurrentPosition(0), DS_OK);
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 0u);
    EXPECT_EQ(buffer->SetCurrentPosition(44100), DSERR_INVALIDPARAM);
}

TEST_F(SoundBuffer, DuplicatesShareMemoryButNotPlayStateOrSettings) {
    IDirectSoundBuffer *original =
        MakeTone(std::vector<std::int16_t>(2205, 0), 22050, DSBCAPS_CTRLVOLUME);
    IDirectSoundBuffer *duplicate = nullptr;
    ASSERT_EQ(m_ds->DuplicateSoundBuffer(original, &duplicate), DS_OK);
    m_buffers.push_back(duplicate);
    // Memory written through the original is what the duplicate plays.
    Fill(original, Sine(441.0, 22050, 2205).data(), 4410);
    ASSERT_EQ(original->SetVolume(-10000), DS_OK);
    duplicate->Play(0, 0, 0);
    EXPECT_EQ(Status(original), 0u);
    EXPECT_EQ(Status(duplicate), DSBSTATUS_PLAYING);
    LONG volume = 1;
    duplicate->GetVolume(&volume);
    EXPECT_EQ(volume, 0);
    EXPECT_NEAR(Peak(Channel(Run(1000), 2, 0)), 0.5, 0.01);
    // The duplicate outlives the original's release.
    std::erase(m_buffers, original);
    original->Release();
    EXPECT_EQ(Status(duplicate), DSBSTATUS_PLAYING);
    EXPECT_NEAR(Peak(Channel(Run(1000), 2, 0)), 0.5, 0.01);
}

TEST_F(SoundBuffer, LockOfARegionThatWrapsComesBackInTwoParts) {
    std::vector<BYTE> bytes(16);
    for (int i = 0; i < 16; ++i)
        bytes[i] = static_cast<BYTE>(i);
    IDirectSoundBuffer *buffer = MakeBuffer(bytes.data(), 16, Format(22050, 1, 8));
    void *p1 = nullptr;
    void *p2 = reinterpret_cast<void *>(1);
    DWORD n1 = 0;
    DWORD n2 = 7;
    ASSERT_EQ(buffer->Lock(4, 8, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_EQ(n1, 8u);
    EXPECT_EQ(p2, nullptr);
    EXPECT_EQ(n2, 0u);
    EXPECT_EQ(static_cast<BYTE *>(p1)[0], 4);
    void *locked = p1;
    EXPECT_EQ(buffer->Lock(0, 4, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDCALL) << "already locked";
    EXPECT_EQ(p1, nullptr);
    ASSERT_EQ(buffer->Unlock(locked, 0, nullptr, 0), DS_OK);

    ASSERT_EQ(buffer->Lock(12, 8, &p1, &n1, &p2, &n2, 0), DS_OK);
    ASSERT_EQ(n1, 4u);
    ASSERT_EQ(n2, 4u);
    ASSERT_NE(p2, nullptr);
    EXPECT_EQ(static_cast<BYTE *>(p1)[0], 12);
    EXPECT_EQ(static_cast<BYTE *>(p2)[0], 0);
    std::memset(p1, 0xAA, n1);
    std::memset(p2, 0xBB, n2);
    ASSERT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);
    ASSERT_EQ(buffer->Lock(0, 16, &p1, &n1, &p2, &n2, 0), DS_OK);
    const BYTE *all = static_cast<BYTE *>(p1);
    EXPECT_EQ(all[0], 0xBB);
    EXPECT_EQ(all[3], 0xBB);
    EXPECT_EQ(all[4], 4);
    EXPECT_EQ(all[11], 11);
    EXPECT_EQ(all[12], 0xAA);
    EXPECT_EQ(all[15], 0xAA);
    buffer->Unlock(p1, n1, p2, n2);

    EXPECT_EQ(buffer->Lock(16, 1, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(0, 17, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(8, 16, &p1, &n1, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(p1, nullptr);
    EXPECT_EQ(buffer->Unlock(nullptr, 0, nullptr, 0), DSERR_INVALIDPARAM) << "nothing locked";
}

TEST_F(SoundBuffer, LostBufferRefusesPlayAndLockUntilRestoredAndComesBackSilent) {
    IDirectSoundBuffer *buffer = MakeTone(Sine(441.0, 22050, 22050), 22050);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    seams::LoseSoundBuffers();
    EXPECT_EQ(Status(buffer), DSBSTATUS_BUFFERLOST);
    EXPECT_EQ(buffer->Play(0, 0, 0), DSERR_BUFFERLOST);
    void *p1 = nullptr;
    DWORD n1 = 0;
    EXPECT_EQ(buffer->Lock(0, 4, &p1, &n1, nullptr, nullptr, 0), DSERR_BUFFERLOST);
    seams::InjectFailure("Restore", 2, DSERR_BUFFERLOST);
    EXPECT_EQ(buffer->Restore(), DSERR_BUFFERLOST);
    EXPECT_EQ(buffer->Restore(), DSERR_BUFFERLOST);
    EXPECT_EQ(buffer->Restore(), DS_OK);
    EXPECT_EQ(Status(buffer), 0u);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    EXPECT_LT(Peak(Channel(Run(1000), 2, 0)), 1e-9) << "the memory went with the loss";
}

TEST_F(SoundBuffer, NotificationsFireWhenThePlayCursorPassesTheirOffsets) {
    IDirectSoundBuffer *buffer =
        MakeTone(std::vector<std::int16_t>(1000, 100), 22050, DSBCAPS_CTRLPOSITIONNOTIFY);
    IDirectSoundNotify *notify = nullptr;
    ASSERT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void **>(&notify)),
              S_OK);
    HANDLE half = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE end = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE stop = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    const DSBPOSITIONNOTIFY points[] = {{999, half}, {1999, end}, {DSBPN_OFFSETSTOP, stop}};
    ASSERT_EQ(notify->SetNotificationPositions(3, points), DS_OK);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(notify->SetNotificationPositions(0, nullptr), DSERR_INVALIDCALL) << "while playing";
    Run(499);
    EXPECT_EQ(WaitForSingleObject(half, 0), WAIT_TIMEOUT);
    Run(1);
    EXPECT_EQ(WaitForSingleObject(half, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(end, 0), WAIT_TIMEOUT);
    Run(500); // the last frame and the wrap to the start
    EXPECT_EQ(WaitForSingleObject(end, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(half, 0), WAIT_TIMEOUT);
    Run(600); // wraps once more past the first point
    EXPECT_EQ(WaitForSingleObject(half, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(stop, 0), WAIT_TIMEOUT);
    buffer->Stop();
    EXPECT_EQ(WaitForSingleObject(stop, 0), WAIT_OBJECT_0);

    const DSBPOSITIONNOTIFY outside[] = {{2000, half}};
    EXPECT_EQ(notify->SetNotificationPositions(1, outside), DSERR_INVALIDPARAM);
    notify->Release();
    CloseHandle(half);
    CloseHandle(end);
    CloseHandle(stop);
}

TEST_F(SoundBuffer, InterfacesAreOfferedOnlyForTheCapabilitiesAskedFor) {
    IDirectSoundBuffer *plain = MakeTone(std::vector<std::int16_t>(100), 22050);
    void *object = reinterpret_cast<void *>(1);
    EXPECT_EQ(plain->QueryInterface(IID_IDirectSoundNotify, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(plain->QueryInterface(IID_IDirectSound3DBuffer, &object), E_NOINTERFACE);
    EXPECT_EQ(plain->SetVolume(-100), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->SetFrequency(11025), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->SetPan(0), DSERR_CONTROLUNAVAIL);

    IDirectSoundBuffer *controlled =
        MakeTone(std::vector<std::int16_t>(100), 22050, DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY);
    EXPECT_EQ(controlled->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(controlled->SetVolume(-10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(controlled->SetFrequency(99), DSERR_INVALIDPARAM);
    EXPECT_EQ(controlled->SetFrequency(4000), DS_OK);

    IDirectSoundBuffer *threeD = MakeTone(std::vector<std::int16_t>(100), 22050, DSBCAPS_CTRL3D);
    IDirectSound3DBuffer *positioned = nullptr;
    ASSERT_EQ(
        threeD->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void **>(&positioned)),
        S_OK);
    positioned->SetPosition(1, 2, 3, DS3D_IMMEDIATE);
    D3DVECTOR where{};
    positioned->GetPosition(&where);
    EXPECT_EQ(where.y, 2.0f);
    positioned->Release();

    DSBUFFERDESC desc{};
    desc.dwSize = kDsBufferDescSize32;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D;
    IDirectSoundBuffer *primary = nullptr;
    ASSERT_EQ(m_ds->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    IDirectSound3DListener *listener = nullptr;
    ASSERT_EQ(
        primary->QueryInterface(IID_IDirectSound3DListener, reinterpret_cast<void **>(&listener)),
        S_OK);
    primary->Release();
    listener->Release();
}

TEST_F(SoundBuffer, CreationChecksItsArgumentsAndFormat) {
    WAVEFORMATEX format = Format(22050, 1, 16);
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwBufferBytes = 100;
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer *buffer = reinterpret_cast<IDirectSoundBuffer *>(1);

    format.nBlockAlign = 0;
    EXPECT_EQ(m_ds->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
    EXPECT_EQ(buffer, nullptr);
    format = Format(22050, 6, 16);
    EXPECT_EQ(m_ds->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
    format = Format(22050, 1, 24);
    EXPECT_EQ(m_ds->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
    format = Format(0, 1, 16);
    EXPECT_EQ(m_ds->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
    format = Format(22050, 1, 16);
    desc.dwBufferBytes = 0;
    EXPECT_EQ(m_ds->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_INVALIDPARAM);
    desc.dwBufferBytes = 100;
    desc.dwSize = 12;
    EXPECT_EQ(m_ds->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_INVALIDPARAM);
    desc.dwSize = sizeof(desc);
    desc.lpwfxFormat = nullptr;
    EXPECT_EQ(m_ds->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_INVALIDPARAM);

    desc.lpwfxFormat = &format;
    desc.dwFlags = DSBCAPS_CTRL3D;
    desc.guid3DAlgorithm = IID_IDirectSound8; // any algorithm other than the default
    EXPECT_EQ(m_ds->CreateSoundBuffer(&desc, &buffer, nullptr), DS_NO_VIRTUALIZATION);
    ASSERT_NE(buffer, nullptr);
    buffer->Release();

    seams::InjectFailure("CreateSoundBuffer", 1, DSERR_OUTOFMEMORY);
    EXPECT_EQ(m_ds->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_OUTOFMEMORY);
    EXPECT_EQ(buffer, nullptr);
}

TEST(SoundDevice, CreationFailureLeavesNoObjectAndLevelIsNeededForBuffers) {
    IDirectSound8 *ds = reinterpret_cast<IDirectSound8 *>(1);
    seams::InjectFailure("DirectSoundCreate8", 1, DSERR_NODRIVER);
    EXPECT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(ds, nullptr);

    ASSERT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DS_OK);
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer *primary = nullptr;
    EXPECT_EQ(ds->CreateSoundBuffer(&desc, &primary, nullptr), DSERR_PRIOLEVELNEEDED);
    ASSERT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DS_OK);
    ASSERT_EQ(ds->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
    EXPECT_EQ(primary->SetFormat(&format), DSERR_PRIOLEVELNEEDED);
    ASSERT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
    EXPECT_EQ(primary->SetFormat(&format), DS_OK);
    WAVEFORMATEX readBack{};
    DWORD written = 0;
    ASSERT_EQ(primary->GetFormat(&readBack, sizeof(readBack), &written), DS_OK);
    EXPECT_EQ(readBack.nSamplesPerSec, 22050u);
    EXPECT_EQ(readBack.nChannels, 2);
    EXPECT_EQ(readBack.nAvgBytesPerSec, 88200u);
    EXPECT_EQ(primary->Release(), 0u);
    EXPECT_EQ(ds->Release(), 0u);
    seams::ClearFailures();
}

} // namespace

namespace {

TEST(SoundDevice, WithoutAUsableDriverTheOutputFallsBackToSilenceAndSaysSoOnce) {
    seams::CaptureDebugOutput(true);
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    IDirectSound8 *ds = nullptr;
    EXPECT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DS_OK);
    ASSERT_NE(ds, nullptr);
    ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY);
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer *primary = nullptr;
    ASSERT_EQ(ds->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 11025, 22050, 2, 16, 0};
    EXPECT_EQ(primary->SetFormat(&format), DS_OK) << "reopens the silent output";
    primary->Release();
    ds->Release();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::string output = seams::TakeDebugOutput();
    seams::CaptureDebugOutput(false);
    const auto first = output.find("no sound device");
    EXPECT_NE(first, std::string::npos) << output;
    EXPECT_EQ(output.find("no sound device", first + 1), std::string::npos) << output;
}

} // namespace
