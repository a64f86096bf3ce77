// Feeds arbitrary bytes to the WAV reader as a module resource (read through a memory image) and
// as a file kept in memory, reads the data in uneven slices and rewinds; what the mixer can play
// goes on through the sound manager and plays; then walks every chunk of the bytes with the chunk
// functions. Anything but a clean result or a clean refusal is a finding.
#include "platform/mmio/mmio.h"
#include "platform/test_seams.h"
#include "sound/sound.h"
#include "sound/sound_manager.h"
#include "sound/wav_file.h"
#include "tests/fuzz/memory_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void ReadThrough(WavFile &wav) {
    const DWORD size = wav.GetSize();
    // What opens is a format every user can trust.
    if (!wav.m_pwfx || mmio::WaveFormatProblem(*wav.m_pwfx))
        std::abort();
    std::vector<BYTE> buffer(4096);
    DWORD total = 0;
    for (DWORD slice = 1;; slice = slice * 3 + 1) {
        DWORD got = 0;
        const DWORD want = slice % 4096 + 1;
        if (FAILED(wav.Read(buffer.data(), want, &got)))
            return;
        if (got > want)
            std::abort();
        total += got;
        if (got == 0)
            break;
    }
    if (total != size)
        std::abort();
    if (SUCCEEDED(wav.ResetFile())) {
        DWORD got = 0;
        wav.Read(buffer.data(), static_cast<DWORD>(buffer.size()), &got);
    }
}

// Visits every chunk inside `parent` (or the whole image), two levels deep into lists.
void WalkChunks(HMMIO h, const MMCKINFO *parent, int depth) {
    for (int i = 0; i < 64; ++i) {
        MMCKINFO ck{};
        if (mmioDescend(h, &ck, parent, 0) != MMSYSERR_NOERROR)
            return;
        if (parent && ck.dwDataOffset + ck.cksize > parent->dwDataOffset + parent->cksize)
            std::abort();
        if ((ck.ckid == FOURCC_RIFF || ck.ckid == FOURCC_LIST) && depth < 2)
            WalkChunks(h, &ck, depth + 1);
        char head[8];
        mmioRead(h, head, sizeof head);
        if (mmioAscend(h, &ck, 0) != MMSYSERR_NOERROR)
            return;
    }
}

// A sound the mixer can play (8- or 16-bit PCM, mono or stereo, at least a frame and the
// smallest buffer long) must become a sound and play.
void PlayThroughTheSoundManager(const std::string &path) {
    static SoundManager &manager = *[] {
        seams::UseVirtualClock(1'000'000);
        auto *m = new SoundManager;
        if (FAILED(m->Initialize(nullptr, DSSCL_PRIORITY, 2, 22050, 16)))
            std::abort();
        return m;
    }();
    WavFile wav;
    if (FAILED(wav.Open(path.c_str(), nullptr, WAVEFILE_READ)))
        return;
    const WAVEFORMATEX &f = *wav.m_pwfx;
    const bool playable = mmio::IsPcmWaveFormat(f) && f.nChannels <= 2 &&
                          (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) &&
                          wav.GetSize() >= std::max<DWORD>(f.nBlockAlign, DSBSIZE_MIN);
    CSound *sound = nullptr;
    const HRESULT hr = manager.Create(&sound, path.c_str(), 0, GUID_NULL, 2);
    if (playable && FAILED(hr))
        std::abort();
    if (sound) {
        sound->Play(0, DSBPLAY_LOOPING);
        seams::AdvanceVirtualClock(0.01);
        seams::SyncSoundMixer();
        delete sound;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const bool quiet = [] {
        seams::CaptureDebugOutput(true);
        seams::CaptureMessageBoxes(true);
        return true;
    }();
    (void)quiet;
    const std::vector<BYTE> bytes(data, data + size);

    seams::AddModuleResource("tarvos-fuzz-resource", "WAVE", bytes);
    {
        WavFile wav;
        if (SUCCEEDED(wav.Open("tarvos-fuzz-resource", nullptr, WAVEFILE_READ)))
            ReadThrough(wav);
    }
    seams::ClearModuleResources();

    static fuzzing::MemoryFile file;
    file.Fill(data, size);
    {
        WavFile wav;
        if (SUCCEEDED(wav.Open(file.Path().c_str(), nullptr, WAVEFILE_READ)))
            ReadThrough(wav);
    }
    PlayThroughTheSoundManager(file.Path());

    std::vector<char> image(bytes.begin(), bytes.end());
    MMIOINFO info{};
    info.fccIOProc = FOURCC_MEM;
    info.cchBuffer = static_cast<LONG>(image.size());
    info.pchBuffer = image.data();
    if (HMMIO h = mmioOpenA(nullptr, &info, MMIO_READ)) {
        WalkChunks(h, nullptr, 0);
        mmioClose(h, 0);
    }

    seams::TakeDebugOutput();
    seams::TakeMessageBoxes();
    return 0;
}
