// Mixing: linear-interpolation resampling of each playing voice (the sample after a looping
// voice's last frame is its first frame, so loop points do not click), gain and pan, a float sum
// and one saturating conversion to 16 bits. The audio thread only mixes under the lock and
// signals events; it never allocates (except into a test's capture).
#include "platform/dsound/mixer.h"

#include "platform/dsound/audio_device.h"
#include "platform/seams/failure_injection.h"
#include "platform/win32/clock.h"
#include "platform/win32/events.h"
#include "platform/win32/seams.h"

#include <algorithm>
#include <cstring>

namespace dsound {

namespace {

struct Unsigned8 {
    static float Read(const BYTE *data, std::size_t index) {
        return (static_cast<int>(data[index]) - 128) * (1.0f / 128.0f);
    }
};

struct Signed16 {
    static float Read(const BYTE *data, std::size_t index) {
        std::int16_t value;
        std::memcpy(&value, data + index * 2, 2);
        return value * (1.0f / 32768.0f);
    }
};

struct KernelResult {
    unsigned wraps = 0;
    bool ended = false;
};

// One voice into the accumulator. Samples are indexed per channel: frame f channel c is sample
// f * SourceChannels + c.
template <class Sample, int SourceChannels, int OutputChannels>
KernelResult mixKernel(const BYTE *data, DWORD frames, bool looping, std::uint64_t &position,
                       std::uint64_t step, float gainLeft, float gainRight, float *accumulator,
                       std::size_t count) {
    KernelResult result;
    const std::uint64_t end = static_cast<std::uint64_t>(frames) << 32;
    constexpr float kFraction = 1.0f / 4294967296.0f;
    for (std::size_t i = 0; i < count; ++i) {
        const DWORD index = static_cast<DWORD>(position >> 32);
        DWORD next = index + 1;
        if (next >= frames)
            next = looping ? 0 : index;
        const float fraction = static_cast<float>(static_cast<std::uint32_t>(position)) * kFraction;
        const float left0 = Sample::Read(data, std::size_t{index} * SourceChannels);
        const float left1 = Sample::Read(data, std::size_t{next} * SourceChannels);
        const float left = left0 + (left1 - left0) * fraction;
        float right = left;
        if constexpr (SourceChannels == 2) {
            const float right0 = Sample::Read(data, std::size_t{index} * 2 + 1);
            const float right1 = Sample::Read(data, std::size_t{next} * 2 + 1);
            right = right0 + (right1 - right0) * fraction;
        }
        if constexpr (OutputChannels == 2) {
            accumulator[2 * i] += left * gainLeft;
            accumulator[2 * i + 1] += right * gainRight;
        } else {
            accumulator[i] += 0.5f * (left * gainLeft + right * gainRight);
        }
        position += step;
        if (position >= end) {
            if (!looping) {
                result.ended = true;
                return result;
            }
            position %= end;
            ++result.wraps;
        }
    }
    return result;
}

template <class Sample>
KernelResult mixForSample(int sourceChannels, int outputChannels, const BYTE *data, DWORD frames,
                          bool looping, std::uint64_t &position, std::uint64_t step, float left,
                          float right, float *accumulator, std::size_t count) {
    if (sourceChannels == 2)
        return outputChannels == 2 ? mixKernel<Sample, 2, 2>(data, frames, looping, position, step,
                                                             left, right, accumulator, count)
                                   : mixKernel<Sample, 2, 1>(data, frames, looping, position, step,
                                                             left, right, accumulator, count);
    return outputChannels == 2 ? mixKernel<Sample, 1, 2>(data, frames, looping, position, step,
                                                         left, right, accumulator, count)
                               : mixKernel<Sample, 1, 1>(data, frames, looping, position, step,
                                                         left, right, accumulator, count);
}

} // namespace

Mixer &Mixer::Instance() {
    static Mixer *mixer = [] {
        auto *created = new Mixer();
        seams::RegisterReset([created] { created->SetCapture(false); });
        return created;
    }();
    return *mixer;
}

std::unique_lock<std::mutex> Mixer::Enter() {
    std::unique_lock guard(m_lock);
    CatchUp();
    return guard;
}

HRESULT Mixer::OpenOutput() {
    std::lock_guard device(m_deviceLock);
    if (m_users++ == 0) {
        m_device = OpenAudioDevice(static_cast<int>(m_format.rate), m_format.channels,
                                   &Mixer::AudioCallback, this);
        std::lock_guard guard(m_lock);
        RebaseClock();
    }
    return m_device != 0 ? S_OK : DSERR_NODRIVER;
}

void Mixer::CloseOutput() {
    std::lock_guard device(m_deviceLock);
    if (m_users > 0 && --m_users == 0) {
        CloseAudioDevice(m_device);
        m_device = 0;
    }
}

void Mixer::SetOutputFormat(DWORD rate, WORD channels) {
    std::lock_guard device(m_deviceLock);
    {
        auto guard = Enter();
        if (m_format.rate == rate && m_format.channels == channels)
            return;
    }
    // The callback takes the mixer lock, so the device is closed without holding it.
    if (m_device != 0)
        CloseAudioDevice(m_device);
    m_device = 0;
    {
        std::lock_guard guard(m_lock);
        m_format.rate = rate;
        m_format.channels = channels;
        for (Voice *voice : m_voices)
            UpdateStep(*voice);
        RebaseClock();
    }
    if (m_users > 0)
        m_device = OpenAudioDevice(static_cast<int>(rate), channels, &Mixer::AudioCallback, this);
}

void Mixer::Attach(Voice *voice) {
    UpdateStep(*voice);
    m_voices.push_back(voice);
}

void Mixer::Detach(Voice *voice) {
    std::erase(m_voices, voice);
}

void Mixer::UpdateStep(Voice &voice) const {
    const std::uint64_t rate =
        voice.frequency != 0 ? voice.frequency : voice.data->format.nSamplesPerSec;
    voice.step = (rate << 32) / m_format.rate;
}

void Mixer::LoseVoice(Voice &voice) {
    voice.playing = false;
    voice.lost = true;
    if (voice.data->lent)
        voice.data = std::make_shared<SampleData>(voice.data->format,
                                                  static_cast<DWORD>(voice.data->bytes.size()));
    else
        voice.data->FillWithSilence();
}

void Mixer::LoseAllVoices() {
    for (Voice *voice : m_voices)
        LoseVoice(*voice);
}

void Mixer::StopVoice(Voice &voice) {
    if (!voice.playing)
        return;
    voice.playing = false;
    for (const NotifyPoint &point : voice.notifications)
        if (point.offset == DSBPN_OFFSETSTOP)
            SetEvent(point.event);
}

void Mixer::Mix(std::int16_t *out, std::size_t frames) {
    while (frames > 0) {
        const std::size_t count = std::min(frames, kBlockFrames);
        MixBlock(out, count);
        out += count * m_format.channels;
        frames -= count;
    }
}

void Mixer::MixBlock(std::int16_t *out, std::size_t frames) {
    const std::size_t samples = frames * m_format.channels;
    std::fill_n(m_accumulator.begin(), samples, 0.0f);
    for (Voice *voice : m_voices)
        if (voice->playing && !voice->lost)
            MixVoice(*voice, m_accumulator.data(), frames);
    for (std::size_t i = 0; i < samples; ++i) {
        const float value = m_accumulator[i] * 32768.0f;
        out[i] = static_cast<std::int16_t>(std::clamp(value, -32768.0f, 32767.0f));
    }
    if (m_capturing)
        m_capture.insert(m_capture.end(), out, out + samples);
}

void Mixer::MixVoice(Voice &voice, float *accumulator, std::size_t frames) {
    const SampleData &data = *voice.data;
    const DWORD totalFrames = data.Frames();
    if (totalFrames == 0) {
        StopVoice(voice);
        return;
    }
    const DWORD from = voice.PlayFrame();
    const KernelResult result =
        data.format.wBitsPerSample == 8
            ? mixForSample<Unsigned8>(data.format.nChannels, m_format.channels, data.bytes.data(),
                                      totalFrames, voice.looping, voice.position, voice.step,
                                      voice.gainLeft, voice.gainRight, accumulator, frames)
            : mixForSample<Signed16>(data.format.nChannels, m_format.channels, data.bytes.data(),
                                     totalFrames, voice.looping, voice.position, voice.step,
                                     voice.gainLeft, voice.gainRight, accumulator, frames);
    if (result.ended) {
        // A one-shot that reaches its end stops and returns to its start, so a later play
        // without a rewind sounds again.
        voice.position = 0;
        Notify(voice, from, totalFrames, result.wraps, true);
        StopVoice(voice);
        voice.looping = false;
        return;
    }
    if (!voice.notifications.empty())
        Notify(voice, from, voice.PlayFrame(), result.wraps, false);
}

void Mixer::Notify(const Voice &voice, DWORD fromFrame, DWORD toFrame, unsigned wraps, bool ended) {
    const DWORD align = voice.data->format.nBlockAlign;
    for (const NotifyPoint &point : voice.notifications) {
        if (point.offset == DSBPN_OFFSETSTOP)
            continue;
        const DWORD frame = point.offset / align;
        bool passed;
        if (ended)
            passed = wraps > 0 || frame >= fromFrame;
        else if (wraps == 0)
            passed = frame >= fromFrame && frame < toFrame;
        else if (wraps == 1)
            passed = frame >= fromFrame || frame < toFrame;
        else
            passed = true;
        if (passed)
            SetEvent(point.event);
    }
}

void Mixer::SetCapture(bool on) {
    std::lock_guard guard(m_lock);
    m_capturing = on;
    m_capture.clear();
}

std::vector<std::int16_t> Mixer::TakeCapture() {
    auto guard = Enter();
    std::vector<std::int16_t> taken;
    taken.swap(m_capture);
    return taken;
}

void Mixer::RebaseClock() {
    m_stepping = seams::VirtualClockActive();
    if (!m_stepping)
        return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    m_baseTicks = now.QuadPart;
    m_baseFrequency = seams::VirtualClockFrequency();
    m_framesSinceBase = 0;
}

void Mixer::CatchUp() {
    if (!seams::VirtualClockActive()) {
        m_stepping = false;
        return;
    }
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const LONGLONG frequency = seams::VirtualClockFrequency();
    if (!m_stepping || frequency != m_baseFrequency || frequency <= 0 ||
        now.QuadPart < m_baseTicks) {
        RebaseClock();
        return;
    }
    const auto elapsed = static_cast<unsigned __int128>(now.QuadPart - m_baseTicks);
    const auto target = static_cast<std::uint64_t>(elapsed * m_format.rate /
                                                   static_cast<unsigned __int128>(frequency));
    if (target < m_framesSinceBase) {
        RebaseClock();
        return;
    }
    while (m_framesSinceBase < target) {
        const std::size_t count = static_cast<std::size_t>(
            std::min<std::uint64_t>(target - m_framesSinceBase, kBlockFrames));
        MixBlock(m_scratch.data(), count);
        m_framesSinceBase += count;
    }
}

void Mixer::AudioCallback(void *userData, std::uint8_t *stream, int length) {
    auto *mixer = static_cast<Mixer *>(userData);
    std::lock_guard guard(mixer->m_lock);
    const std::size_t frames =
        static_cast<std::size_t>(length) / (sizeof(std::int16_t) * mixer->m_format.channels);
    // Under the virtual clock the callers' clock drives the mixer; the device hears silence.
    if (seams::VirtualClockActive() || frames == 0) {
        std::memset(stream, 0, static_cast<std::size_t>(length));
        return;
    }
    mixer->Mix(reinterpret_cast<std::int16_t *>(stream), frames);
}

} // namespace dsound
