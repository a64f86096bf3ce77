// The music performance: one looping voice in the sound mixer for the primary segment.
#pragma once

#include "platform/dmusic/dmusic.h"
#include "platform/dsound/dsound.h"

namespace dmusic {

class Segment;

class Performance final : public RefCounted<IDirectMusicPerformance8> {
public:
    Performance();
    // Whether the performance's music is sounding (for tests).
    bool Playing();
    HRESULT QueryInterface(REFIID iid, void **object) override;
    HRESULT InitAudio(IDirectMusic **music, IDirectSound **sound, HWND window,
                      DWORD defaultPathType, DWORD performanceChannels, DWORD flags,
                      DMUS_AUDIOPARAMS *params) override;
    HRESULT PlaySegmentEx(IUnknown *source, WCHAR *segmentName, IUnknown *transition, DWORD flags,
                          LONGLONG startTime, IDirectMusicSegmentState **segmentState,
                          IUnknown *from, IUnknown *audioPath) override;
    HRESULT Stop(IDirectMusicSegment *segment, IDirectMusicSegmentState *state, MUSIC_TIME stopTime,
                 DWORD flags) override;
    HRESULT CloseDown() override;

private:
    ~Performance() override;
    void ReleaseVoice();
    void Shutdown();

    IDirectSound8 *m_sound = nullptr;
    Segment *m_segment = nullptr;          // the segment the voice holds, referenced
    IDirectSoundBuffer *m_voice = nullptr; // its samples, looping while the segment plays
};

} // namespace dmusic
