// The performance plays a segment by giving its samples to a sound buffer and looping it. A
// start of the segment already held restarts it from the beginning; a start of another replaces
// it: one tune sounds at a time.
#include "platform/dmusic/performance.h"

#include "platform/dmusic/music_log.h"
#include "platform/dmusic/segment.h"
#include "platform/dsound/direct_sound.h"

namespace dmusic {

Performance::Performance() {
    RegisterPerformance(this, true);
}

Performance::~Performance() {
    Shutdown();
    RegisterPerformance(this, false);
}

HRESULT Performance::QueryInterface(REFIID iid, void **object) {
    return AnswerQuery(iid, {IID_IDirectMusicPerformance, IID_IDirectMusicPerformance8}, object);
}

HRESULT Performance::InitAudio(IDirectMusic **music, IDirectSound **sound, HWND window, DWORD,
                               DWORD, DWORD, DMUS_AUDIOPARAMS *) {
    LogMusicCall("InitAudio");
    if (music && *music)
        return E_INVALIDARG; // an outside music object is not supported
    if (sound && *sound)
        return E_INVALIDARG;
    if (m_sound)
        return DMUS_E_ALREADY_INITED;
    HRESULT hr = DirectSoundCreate8(nullptr, &m_sound, nullptr);
    if (FAILED(hr))
        return hr;
    // Normal level: the music never changes the output format the program set.
    hr = m_sound->SetCooperativeLevel(window, DSSCL_NORMAL);
    if (FAILED(hr)) {
        m_sound->Release();
        m_sound = nullptr;
    }
    return hr;
}

void Performance::ReleaseVoice() {
    if (m_voice) {
        m_voice->Stop();
        m_voice->Release();
        m_voice = nullptr;
    }
    if (m_segment) {
        m_segment->Release();
        m_segment = nullptr;
    }
}

HRESULT Performance::PlaySegmentEx(IUnknown *source, WCHAR *, IUnknown *, DWORD, LONGLONG,
                                   IDirectMusicSegmentState **segmentState, IUnknown *,
                                   IUnknown *) {
    LogMusicCall("PlaySegmentEx");
    if (segmentState)
        *segmentState = nullptr;
    if (!m_sound)
        return DMUS_E_NOT_INIT;
    Segment *segment = AsSegment(source);
    if (!segment)
        return E_POINTER;

    if (segment != m_segment) {
        ReleaseVoice();
        const WAVEFORMATEX &format = segment->Format();
        WAVEFORMATEX bufferFormat = format;
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DSBCAPS_CTRLVOLUME;
        desc.dwBufferBytes = static_cast<DWORD>(segment->Samples().size());
        desc.lpwfxFormat = &bufferFormat;
        // The voice plays the segment's own samples, as a duplicate plays its original's: a
        // second copy of a whole tune would be memory for nothing.
        auto *sound = dynamic_cast<dsound::DirectSound *>(m_sound);
        if (!sound)
            return E_FAIL;
        const HRESULT hr = sound->CreateSoundBufferOver(&desc, segment->SharedSamples(), &m_voice);
        if (FAILED(hr))
            return hr;
        m_segment = segment;
        m_segment->AddRef();
    }
    m_voice->Stop();
    m_voice->SetCurrentPosition(0);
    return m_voice->Play(0, 0, DSBPLAY_LOOPING);
}

HRESULT Performance::Stop(IDirectMusicSegment *segment, IDirectMusicSegmentState *, MUSIC_TIME,
                          DWORD) {
    LogMusicCall("Stop");
    if (!m_sound)
        return DMUS_E_NOT_INIT;
    if (m_voice && (!segment || AsSegment(segment) == m_segment))
        m_voice->Stop();
    return S_OK;
}

HRESULT Performance::CloseDown() {
    LogMusicCall("CloseDown");
    Shutdown();
    return S_OK;
}

void Performance::Shutdown() {
    ReleaseVoice();
    if (m_sound) {
        m_sound->Release();
        m_sound = nullptr;
    }
}

bool Performance::Playing() {
    if (!m_voice)
        return false;
    DWORD status = 0;
    return SUCCEEDED(m_voice->GetStatus(&status)) && (status & DSBSTATUS_PLAYING);
}

} // namespace dmusic
