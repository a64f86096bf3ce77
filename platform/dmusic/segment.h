// A segment: the samples and format of one WAV file, played looping by a performance.
#pragma once

#include "platform/dmusic/dmusic.h"
#include "platform/dsound/voice.h"
#include "platform/mmio/wave_format.h"

#include <memory>
#include <string>
#include <vector>

namespace dmusic {

class Segment final : public RefCounted<IDirectMusicSegment8> {
public:
    // Reads a PCM WAV file; a failure code and a null segment when it cannot be played.
    static HRESULT Load(const std::string &path, Segment **segment);

    HRESULT QueryInterface(REFIID iid, void **object) override;
    HRESULT Download(IUnknown *audioPathOrPerformance) override;
    HRESULT Unload(IUnknown *audioPathOrPerformance) override;

    const WAVEFORMATEX &Format() const { return m_format; }
    const std::vector<BYTE> &Samples() const { return m_samples->bytes; }
    // The samples in the form a sound buffer plays, lent to the performance's voice.
    const std::shared_ptr<dsound::SampleData> &SharedSamples() const { return m_samples; }

private:
    Segment() = default;
    ~Segment() override = default;

    WAVEFORMATEX m_format{};
    std::shared_ptr<dsound::SampleData> m_samples;
};

Segment *AsSegment(IUnknown *object);

} // namespace dmusic
