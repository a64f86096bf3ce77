// Secondary buffers: format checks, play state, cursors, locking and loss.
#include "platform/dsound/secondary_buffer.h"

#include "platform/dsound/mixer.h"
#include "platform/dsound/three_d.h"
#include "platform/seams/failure_injection.h"

#include <algorithm>
#include <cstring>

namespace dsound {

namespace {

// The mixer's own limits on a plain PCM record.
bool validPcm(const WAVEFORMATEX &format) {
    return (format.nChannels == 1 || format.nChannels == 2) &&
           (format.wBitsPerSample == 8 || format.wBitsPerSample == 16) &&
           format.nBlockAlign == format.nChannels * format.wBitsPerSample / 8 &&
           format.nSamplesPerSec >= DSBFREQUENCY_MIN && format.nSamplesPerSec <= DSBFREQUENCY_MAX;
}

// How far ahead of the play cursor the mixer may already have read: about 10 ms.
constexpr DWORD kWriteLeadMilliseconds = 10;

// The format record without its count of extra bytes.
constexpr DWORD kPcmFormatBytes = 16;

} // namespace

SecondaryBuffer *AsSecondaryBuffer(IDirectSoundBuffer *buffer) {
    return dynamic_cast<SecondaryBuffer *>(buffer);
}

HRESULT SecondaryBuffer::Create(const DSBUFFERDESC &desc, SecondaryBuffer **buffer,
                                std::shared_ptr<SampleData> samples) {
    *buffer = nullptr;
    if (!desc.lpwfxFormat)
        return DSERR_INVALIDPARAM;
    // The extensible header with the PCM sub-format plays as the PCM it describes.
    if (!mmio::IsPcmWaveFormat(*desc.lpwfxFormat) || mmio::WaveFormatProblem(*desc.lpwfxFormat))
        return DSERR_BADFORMAT;
    WAVEFORMATEX format;
    std::memcpy(&format, desc.lpwfxFormat, kPcmFormatBytes);
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.cbSize = 0;
    if (!validPcm(format))
        return DSERR_BADFORMAT;
    if (desc.dwBufferBytes < DSBSIZE_MIN || desc.dwBufferBytes > DSBSIZE_MAX ||
        desc.dwBufferBytes < format.nBlockAlign)
        return DSERR_INVALIDPARAM;
    if (samples && (samples->bytes.size() != desc.dwBufferBytes ||
                    samples->format.nChannels != format.nChannels ||
                    samples->format.nSamplesPerSec != format.nSamplesPerSec ||
                    samples->format.wBitsPerSample != format.wBitsPerSample))
        return DSERR_INVALIDPARAM;
    if (!samples)
        samples = std::make_shared<SampleData>(format, desc.dwBufferBytes);
    *buffer = new SecondaryBuffer(desc.dwFlags, std::move(samples));
    return DS_OK;
}

SecondaryBuffer::SecondaryBuffer(DWORD flags, std::shared_ptr<SampleData> data) : m_flags(flags) {
    m_voice.data = std::move(data);
    Mixer &mixer = Mixer::Instance();
    mixer.OpenOutput();
    auto guard = mixer.Enter();
    mixer.Attach(&m_voice);
}

SecondaryBuffer::~SecondaryBuffer() {
    Mixer &mixer = Mixer::Instance();
    {
        auto guard = mixer.Enter();
        mixer.Detach(&m_voice);
    }
    mixer.CloseOutput();
}

HRESULT SecondaryBuffer::Duplicate(SecondaryBuffer **duplicate) {
    auto *copy = new SecondaryBuffer(m_flags, m_voice.data);
    {
        Mixer &mixer = Mixer::Instance();
        auto guard = mixer.Enter();
        copy->m_voice.frequency = m_voice.frequency;
        copy->m_voice.volume = m_voice.volume;
        copy->m_voice.pan = m_voice.pan;
        copy->m_voice.lost = m_voice.lost;
        copy->m_voice.UpdateGains();
        mixer.UpdateStep(copy->m_voice);
    }
    *duplicate = copy;
    return DS_OK;
}

HRESULT SecondaryBuffer::QueryInterface(REFIID iid, void **object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDirectSoundBuffer) {
        AddRef();
        *object = static_cast<IDirectSoundBuffer *>(this);
        return S_OK;
    }
    if (iid == IID_IDirectSoundNotify && (m_flags & DSBCAPS_CTRLPOSITIONNOTIFY)) {
        *object = static_cast<IDirectSoundNotify *>(new BufferNotify(this));
        return S_OK;
    }
    if (iid == IID_IDirectSound3DBuffer && (m_flags & DSBCAPS_CTRL3D)) {
        *object = static_cast<IDirectSound3DBuffer *>(new Buffer3D(this));
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT SecondaryBuffer::GetCaps(LPDSBCAPS caps) {
    if (!caps || caps->dwSize != sizeof(DSBCAPS))
        return DSERR_INVALIDPARAM;
    caps->dwFlags = m_flags | DSBCAPS_LOCSOFTWARE;
    caps->dwBufferBytes = Size();
    caps->dwUnlockTransferRate = 0;
    caps->dwPlayCpuOverhead = 0;
    return DS_OK;
}

DWORD SecondaryBuffer::WriteLead() const {
    const WAVEFORMATEX &format = m_voice.data->format;
    const DWORD rate = m_voice.frequency != 0 ? m_voice.frequency : format.nSamplesPerSec;
    return rate * kWriteLeadMilliseconds / 1000 * format.nBlockAlign;
}

HRESULT SecondaryBuffer::GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) {
    if (!playCursor && !writeCursor)
        return DSERR_INVALIDPARAM;
    auto guard = Mixer::Instance().Enter();
    const DWORD play = m_voice.PlayFrame() * m_voice.data->format.nBlockAlign;
    if (playCursor)
        *playCursor = play;
    if (writeCursor)
        *writeCursor = m_voice.playing ? (play + WriteLead()) % Size() : play;
    return DS_OK;
}

HRESULT SecondaryBuffer::GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated,
                                   LPDWORD sizeWritten) {
    if (!format) {
        if (!sizeWritten)
            return DSERR_INVALIDPARAM;
        *sizeWritten = sizeof(WAVEFORMATEX);
        return DS_OK;
    }
    if (sizeAllocated < kPcmFormatBytes)
        return DSERR_INVALIDPARAM;
    const DWORD size = std::min<DWORD>(sizeAllocated, sizeof(WAVEFORMATEX));
    std::memcpy(format, &m_voice.data->format, size);
    if (sizeWritten)
        *sizeWritten = size;
    return DS_OK;
}

HRESULT SecondaryBuffer::GetVolume(LPLONG volume) {
    if (!volume)
        return DSERR_INVALIDPARAM;
    if (!(m_flags & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    auto guard = Mixer::Instance().Enter();
    *volume = m_voice.volume;
    return DS_OK;
}

HRESULT SecondaryBuffer::GetPan(LPLONG pan) {
    if (!pan)
        return DSERR_INVALIDPARAM;
    if (!(m_flags & DSBCAPS_CTRLPAN))
        return DSERR_CONTROLUNAVAIL;
    auto guard = Mixer::Instance().Enter();
    *pan = m_voice.pan;
    return DS_OK;
}

HRESULT SecondaryBuffer::GetFrequency(LPDWORD frequency) {
    if (!frequency)
        return DSERR_INVALIDPARAM;
    if (!(m_flags & DSBCAPS_CTRLFREQUENCY))
        return DSERR_CONTROLUNAVAIL;
    auto guard = Mixer::Instance().Enter();
    *frequency = m_voice.frequency != 0 ? m_voice.frequency : m_voice.data->format.nSamplesPerSec;
    return DS_OK;
}

HRESULT SecondaryBuffer::GetStatus(LPDWORD status) {
    if (!status)
        return DSERR_INVALIDPARAM;
    HRESULT injected = E_FAIL;
    if (seams::ShouldFail("GetStatus", &injected)) {
        *status = 0;
        return injected;
    }
    auto guard = Mixer::Instance().Enter();
    DWORD bits = 0;
    if (m_voice.playing)
        bits |= DSBSTATUS_PLAYING | (m_voice.looping ? DSBSTATUS_LOOPING : 0);
    if (m_voice.lost)
        bits |= DSBSTATUS_BUFFERLOST;
    *status = bits;
    return DS_OK;
}

HRESULT SecondaryBuffer::Lock(DWORD offset, DWORD bytes, LPVOID *audioPtr1, LPDWORD audioBytes1,
                              LPVOID *audioPtr2, LPDWORD audioBytes2, DWORD flags) {
    if (!audioPtr1 || !audioBytes1)
        return DSERR_INVALIDPARAM;
    *audioPtr1 = nullptr;
    *audioBytes1 = 0;
    if (audioPtr2)
        *audioPtr2 = nullptr;
    if (audioBytes2)
        *audioBytes2 = 0;
    if (m_locked)
        return DSERR_INVALIDCALL;
    Mixer &mixer = Mixer::Instance();
    auto guard = mixer.Enter();
    if (m_voice.lost)
        return DSERR_BUFFERLOST;
    const DWORD size = Size();
    if (flags & DSBLOCK_FROMWRITECURSOR)
        offset = m_voice.playing
                     ? (m_voice.PlayFrame() * m_voice.data->format.nBlockAlign + WriteLead()) % size
                     : m_voice.PlayFrame() * m_voice.data->format.nBlockAlign;
    if (flags & DSBLOCK_ENTIREBUFFER)
        bytes = size;
    if (bytes == 0 || bytes > size || offset >= size)
        return DSERR_INVALIDPARAM;
    const DWORD first = std::min(bytes, size - offset);
    const DWORD second = bytes - first;
    // A region that wraps comes back in two parts only when the caller can take the second.
    if (second > 0 && (!audioPtr2 || !audioBytes2))
        return DSERR_INVALIDPARAM;
    m_staging.resize(bytes);
    const BYTE *memory = m_voice.data->bytes.data();
    std::memcpy(m_staging.data(), memory + offset, first);
    if (second > 0)
        std::memcpy(m_staging.data() + first, memory, second);
    m_locked = true;
    m_lockOffset = offset;
    m_lockBytes1 = first;
    m_lockBytes2 = second;
    *audioPtr1 = m_staging.data();
    *audioBytes1 = first;
    if (second > 0) {
        *audioPtr2 = m_staging.data() + first;
        *audioBytes2 = second;
    }
    return DS_OK;
}

HRESULT SecondaryBuffer::Unlock(LPVOID audioPtr1, DWORD audioBytes1, LPVOID audioPtr2,
                                DWORD audioBytes2) {
    if (!m_locked || audioPtr1 != m_staging.data() || audioBytes1 > m_lockBytes1 ||
        audioBytes2 > m_lockBytes2 || (audioPtr2 && audioPtr2 != m_staging.data() + m_lockBytes1))
        return DSERR_INVALIDPARAM;
    {
        auto guard = Mixer::Instance().Enter();
        BYTE *memory = m_voice.data->bytes.data();
        std::memcpy(memory + m_lockOffset, m_staging.data(), audioBytes1);
        if (audioPtr2)
            std::memcpy(memory, m_staging.data() + m_lockBytes1, audioBytes2);
    }
    m_locked = false;
    // The copy served this lock only; a sound is locked to be filled, rarely again.
    std::vector<BYTE>().swap(m_staging);
    return DS_OK;
}

HRESULT SecondaryBuffer::Play(DWORD reserved, DWORD, DWORD flags) {
    if (reserved != 0)
        return DSERR_INVALIDPARAM;
    auto guard = Mixer::Instance().Enter();
    if (m_voice.lost)
        return DSERR_BUFFERLOST;
    // A playing buffer keeps its position; only the loop flag changes.
    m_voice.playing = true;
    m_voice.looping = (flags & DSBPLAY_LOOPING) != 0;
    return DS_OK;
}

HRESULT SecondaryBuffer::SetCurrentPosition(DWORD newPosition) {
    auto guard = Mixer::Instance().Enter();
    if (newPosition >= Size())
        return DSERR_INVALIDPARAM;
    const DWORD frame = newPosition / m_voice.data->format.nBlockAlign;
    m_voice.position = static_cast<std::uint64_t>(frame) << 32;
    return DS_OK;
}

HRESULT SecondaryBuffer::SetFormat(LPCWAVEFORMATEX) {
    return DSERR_INVALIDCALL;
}

HRESULT SecondaryBuffer::SetVolume(LONG volume) {
    if (!(m_flags & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX)
        return DSERR_INVALIDPARAM;
    auto guard = Mixer::Instance().Enter();
    m_voice.volume = volume;
    m_voice.UpdateGains();
    return DS_OK;
}

HRESULT SecondaryBuffer::SetPan(LONG pan) {
    if (!(m_flags & DSBCAPS_CTRLPAN))
        return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT)
        return DSERR_INVALIDPARAM;
    auto guard = Mixer::Instance().Enter();
    m_voice.pan = pan;
    m_voice.UpdateGains();
    return DS_OK;
}

HRESULT SecondaryBuffer::SetFrequency(DWORD frequency) {
    if (!(m_flags & DSBCAPS_CTRLFREQUENCY))
        return DSERR_CONTROLUNAVAIL;
    if (frequency != DSBFREQUENCY_ORIGINAL &&
        (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX))
        return DSERR_INVALIDPARAM;
    Mixer &mixer = Mixer::Instance();
    auto guard = mixer.Enter();
    m_voice.frequency = frequency;
    mixer.UpdateStep(m_voice);
    return DS_OK;
}

HRESULT SecondaryBuffer::Stop() {
    Mixer &mixer = Mixer::Instance();
    auto guard = mixer.Enter();
    mixer.StopVoice(m_voice);
    return DS_OK;
}

HRESULT SecondaryBuffer::Restore() {
    HRESULT injected = DSERR_BUFFERLOST;
    if (seams::ShouldFail("Restore", &injected))
        return injected;
    auto guard = Mixer::Instance().Enter();
    // The memory was taken away with the loss; the owner refills it after the restore.
    m_voice.lost = false;
    return DS_OK;
}

HRESULT SecondaryBuffer::SetNotifications(DWORD count, LPCDSBPOSITIONNOTIFY positions) {
    if (count > 0 && !positions)
        return DSERR_INVALIDPARAM;
    std::vector<NotifyPoint> points;
    points.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        const DSBPOSITIONNOTIFY &position = positions[i];
        if (!position.hEventNotify ||
            (position.dwOffset != DSBPN_OFFSETSTOP && position.dwOffset >= Size()))
            return DSERR_INVALIDPARAM;
        points.push_back({position.dwOffset, position.hEventNotify});
    }
    auto guard = Mixer::Instance().Enter();
    if (m_voice.playing)
        return DSERR_INVALIDCALL;
    m_voice.notifications.swap(points);
    return DS_OK;
}

} // namespace dsound
