// A sound device under the virtual clock with the mix captured: the tests' common ground.
#pragma once

#include "platform/dsound/dsound.h"
#include "platform/test_seams.h"
#include "platform/win32/win32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        seams::UseVirtualClock(1'000'000);
        ASSERT_EQ(DirectSoundCreate8(nullptr, &m_ds, nullptr), DS_OK);
        ASSERT_EQ(m_ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
        SetOutput(22050, 2);
        seams::CaptureSoundOutput(true);
    }

    void TearDown() override {
        for (IDirectSoundBuffer *buffer : m_buffers)
            buffer->Release();
        if (m_ds)
            m_ds->Release();
        seams::ResetAll();
        seams::ClearFailures();
        seams::UseRealClock();
    }

    void SetOutput(DWORD rate, WORD channels) {
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
        IDirectSoundBuffer *primary = nullptr;
        ASSERT_EQ(m_ds->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
        WAVEFORMATEX format = Format(rate, channels, 16);
        ASSERT_EQ(primary->SetFormat(&format), DS_OK);
        primary->Release();
    }

    static WAVEFORMATEX Format(DWORD rate, WORD channels, WORD bits) {
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = channels;
        format.nSamplesPerSec = rate;
        format.wBitsPerSample = bits;
        format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
        format.nAvgBytesPerSec = rate * format.nBlockAlign;
        return format;
    }

    // A buffer holding `bytes`; the fixture releases it.
    IDirectSoundBuffer *MakeBuffer(const void *bytes, DWORD size, WAVEFORMATEX format,
                                   DWORD flags = 0) {
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = flags;
        desc.dwBufferBytes = size;
        desc.lpwfxFormat = &format;
        IDirectSoundBuffer *buffer = nullptr;
        EXPECT_EQ(m_ds->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
        if (!buffer)
            return nullptr;
        Fill(buffer, bytes, size);
        m_buffers.push_back(buffer);
        return buffer;
    }

    IDirectSoundBuffer *MakeTone(const std::vector<std::int16_t> &samples, DWORD rate,
                                 DWORD flags = 0) {
        return MakeBuffer(samples.data(), static_cast<DWORD>(samples.size() * 2),
                          Format(rate, 1, 16), flags);
    }

    static void Fill(IDirectSoundBuffer *buffer, const void *bytes, DWORD size) {
        void *p1 = nullptr;
        void *p2 = nullptr;
        DWORD n1 = 0;
        DWORD n2 = 0;
        ASSERT_EQ(buffer->Lock(0, size, &p1, &n1, &p2, &n2, 0), DS_OK);
        ASSERT_EQ(n1, size);
        std::memcpy(p1, bytes, size);
        ASSERT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);
    }

    static DWORD Status(IDirectSoundBuffer *buffer) {
        DWORD status = 0xDEAD;
        EXPECT_EQ(buffer->GetStatus(&status), DS_OK);
        return status;
    }

    // Advances virtual time by exactly `frames` output frames at 22050 Hz (the fixture's output
    // rate) and returns what was mixed meanwhile.
    std::vector<std::int16_t> Run(LONGLONG frames) {
        seams::TakeSoundOutput();
        m_framesRun += frames;
        const LONGLONG ticks = (m_framesRun * 1'000'000 + 22049) / 22050;
        seams::AdvanceVirtualClockTicks(ticks - m_ticksRun);
        m_ticksRun = ticks;
        seams::SyncSoundMixer();
        return seams::TakeSoundOutput().samples;
    }

    IDirectSound8 *m_ds = nullptr;
    std::vector<IDirectSoundBuffer *> m_buffers;
    LONGLONG m_framesRun = 0;
    LONGLONG m_ticksRun = 0;
};
