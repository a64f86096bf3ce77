// Music segments from arbitrary files: a file the loader accepts must also play through the mixer
// under the virtual clock without reading outside its samples.
#include "platform/dmusic/dmusic.h"
#include "platform/dmusic/segment.h"
#include "platform/dsound/dsound.h"
#include "platform/test_seams.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const std::string path = "/tmp/tarvos-fuzz-segment-" + std::to_string(getpid()) + ".wav";
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    dmusic::Segment *segment = nullptr;
    if (SUCCEEDED(dmusic::Segment::Load(path, &segment))) {
        seams::UseVirtualClock(1'000'000);
        IDirectMusicPerformance8 *performance = nullptr;
        CoInitialize(nullptr);
        CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC,
                         IID_IDirectMusicPerformance8, reinterpret_cast<void **>(&performance));
        if (performance) {
            performance->InitAudio(nullptr, nullptr, nullptr, DMUS_APATH_DYNAMIC_MONO, 64,
                                   DMUS_AUDIOF_ALL, nullptr);
            performance->PlaySegmentEx(segment, nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr);
            seams::AdvanceVirtualClock(0.05);
            seams::SyncSoundMixer();
            performance->CloseDown();
            performance->Release();
        }
        CoUninitialize();
        segment->Release();
        seams::UseRealClock();
    }
    std::remove(path.c_str());
    return 0;
}
