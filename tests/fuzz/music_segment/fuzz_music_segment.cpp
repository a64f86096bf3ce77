// Music segments from arbitrary files: a file the loader accepts must also play through the mixer
// under the virtual clock without reading outside its samples.
#include "platform/dmusic/dmusic.h"
#include "platform/dmusic/segment.h"
#include "platform/dsound/dsound.h"
#include "platform/test_seams.h"
#include "tests/fuzz/memory_file.h"
#include "tests/fuzz/quiet_traces.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    fuzzing::QuietTraces();
    static fuzzing::MemoryFile file;
    file.Fill(data, size);

    dmusic::Segment *segment = nullptr;
    if (SUCCEEDED(dmusic::Segment::Load(file.Path(), &segment))) {
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
    seams::TakeDebugOutput();
    return 0;
}
