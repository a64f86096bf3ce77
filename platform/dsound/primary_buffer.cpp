// The primary buffer: setting its format sets the mixer's output rate and channels (output is
// always 16-bit); it cannot be locked or played by the program.
#include "platform/dsound/direct_sound.h"

#include "platform/dsound/mixer.h"
#include "platform/dsound/three_d.h"
#include "platform/seams/failure_injection.h"

#include <algorithm>
#include <cstring>

namespace dsound {

PrimaryBuffer::PrimaryBuffer(DirectSound *owner, DWORD flags) : m_owner(owner), m_flags(flags) {
    m_owner->AddRef();
}

PrimaryBuffer::~PrimaryBuffer() {
    m_owner->Release();
}

HRESULT PrimaryBuffer::QueryInterface(REFIID iid, void **object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDirectSoundBuffer) {
        AddRef();
        *object = static_cast<IDirectSoundBuffer *>(this);
        return S_OK;
    }
    if (iid == IID_IDirectSound3DListener && (m_flags & DSBCAPS_CTRL3D)) {
        *object = static_cast<IDirectSound3DListener *>(new Listener3D(this));
        return S_OK;
    }
    return E_NOINTERFACE;
}

WAVEFORMATEX PrimaryBuffer::Format() const {
    Mixer &mixer = Mixer::Instance();
    auto guard = mixer.Enter();
    const OutputFormat output = mixer.Format();
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = output.channels;
    format.nSamplesPerSec = output.rate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(output.channels * 2);
    format.nAvgBytesPerSec = output.rate * format.nBlockAlign;
    return format;
}

HRESULT PrimaryBuffer::GetCaps(LPDSBCAPS caps) {
    if (!caps || caps->dwSize != sizeof(DSBCAPS))
        return DSERR_INVALIDPARAM;
    caps->dwFlags = m_flags | DSBCAPS_LOCSOFTWARE;
    caps->dwBufferBytes = Format().nAvgBytesPerSec / 10;
    caps->dwUnlockTransferRate = 0;
    caps->dwPlayCpuOverhead = 0;
    return DS_OK;
}

HRESULT PrimaryBuffer::GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) {
    if (!playCursor && !writeCursor)
        return DSERR_INVALIDPARAM;
    if (playCursor)
        *playCursor = 0;
    if (writeCursor)
        *writeCursor = 0;
    return DS_OK;
}

HRESULT PrimaryBuffer::GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) {
    if (!format) {
        if (!sizeWritten)
            return DSERR_INVALIDPARAM;
        *sizeWritten = sizeof(WAVEFORMATEX);
        return DS_OK;
    }
    if (sizeAllocated < 16)
        return DSERR_INVALIDPARAM;
    const WAVEFORMATEX current = Format();
    const DWORD size = std::min<DWORD>(sizeAllocated, sizeof(WAVEFORMATEX));
    std::memcpy(format, &current, size);
    if (sizeWritten)
        *sizeWritten = size;
    return DS_OK;
}

HRESULT PrimaryBuffer::SetFormat(LPCWAVEFORMATEX format) {
    if (!format)
        return DSERR_INVALIDPARAM;
    if (m_owner->CooperativeLevel() < DSSCL_PRIORITY)
        return DSERR_PRIOLEVELNEEDED;
    HRESULT injected = E_FAIL;
    if (seams::ShouldFail("SetFormat", &injected))
        return injected;
    if (format->wFormatTag != WAVE_FORMAT_PCM ||
        (format->nChannels != 1 && format->nChannels != 2) ||
        (format->wBitsPerSample != 8 && format->wBitsPerSample != 16) ||
        format->nBlockAlign != format->nChannels * format->wBitsPerSample / 8 ||
        format->nSamplesPerSec < DSBFREQUENCY_MIN || format->nSamplesPerSec > DSBFREQUENCY_MAX)
        return DSERR_BADFORMAT;
    Mixer::Instance().SetOutputFormat(format->nSamplesPerSec, format->nChannels);
    return DS_OK;
}

HRESULT PrimaryBuffer::GetVolume(LPLONG) {
    return DSERR_CONTROLUNAVAIL;
}
HRESULT PrimaryBuffer::GetPan(LPLONG) {
    return DSERR_CONTROLUNAVAIL;
}
HRESULT PrimaryBuffer::GetFrequency(LPDWORD) {
    return DSERR_CONTROLUNAVAIL;
}
HRESULT PrimaryBuffer::SetVolume(LONG) {
    return DSERR_CONTROLUNAVAIL;
}
HRESULT PrimaryBuffer::SetPan(LONG) {
    return DSERR_CONTROLUNAVAIL;
}
HRESULT PrimaryBuffer::SetFrequency(DWORD) {
    return DSERR_CONTROLUNAVAIL;
}

HRESULT PrimaryBuffer::GetStatus(LPDWORD status) {
    if (!status)
        return DSERR_INVALIDPARAM;
    *status = 0;
    return DS_OK;
}

HRESULT PrimaryBuffer::Lock(DWORD, DWORD, LPVOID *audioPtr1, LPDWORD audioBytes1, LPVOID *audioPtr2,
                            LPDWORD audioBytes2, DWORD) {
    if (audioPtr1)
        *audioPtr1 = nullptr;
    if (audioBytes1)
        *audioBytes1 = 0;
    if (audioPtr2)
        *audioPtr2 = nullptr;
    if (audioBytes2)
        *audioBytes2 = 0;
    return DSERR_PRIOLEVELNEEDED;
}

HRESULT PrimaryBuffer::Unlock(LPVOID, DWORD, LPVOID, DWORD) {
    return DSERR_INVALIDCALL;
}

// The output runs whenever a device is open; playing the primary buffer changes nothing.
HRESULT PrimaryBuffer::Play(DWORD reserved, DWORD, DWORD flags) {
    if (reserved != 0 || !(flags & DSBPLAY_LOOPING))
        return DSERR_INVALIDPARAM;
    return DS_OK;
}

HRESULT PrimaryBuffer::Stop() {
    return DS_OK;
}
HRESULT PrimaryBuffer::SetCurrentPosition(DWORD) {
    return DSERR_INVALIDCALL;
}
HRESULT PrimaryBuffer::Restore() {
    return DS_OK;
}

} // namespace dsound
