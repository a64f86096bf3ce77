// The sound-device object. Creating it opens the output; buffers keep the output open on their
// own, so releasing this object first leaves them playable.
#include "platform/dsound/direct_sound.h"

#include "platform/dsound/mixer.h"
#include "platform/dsound/secondary_buffer.h"
#include "platform/seams/failure_injection.h"

namespace dsound {

// The object holds the use of the output that DirectSoundCreate8 opened for it.
DirectSound::DirectSound() = default;
DirectSound::~DirectSound() {
    Mixer::Instance().CloseOutput();
}

HRESULT DirectSound::QueryInterface(REFIID iid, void **object) {
    return AnswerQuery(iid, {IID_IDirectSound8}, object);
}

HRESULT DirectSound::SetCooperativeLevel(HWND, DWORD level) {
    if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY)
        return DSERR_INVALIDPARAM;
    HRESULT injected = E_FAIL;
    if (seams::ShouldFail("SetCooperativeLevel", &injected))
        return injected;
    m_level = level;
    return DS_OK;
}

HRESULT DirectSound::CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER *buffer,
                                       LPUNKNOWN outer) {
    if (outer) {
        if (buffer)
            *buffer = nullptr;
        return DSERR_INVALIDPARAM;
    }
    return CreateSoundBufferOver(desc, nullptr, buffer);
}

HRESULT DirectSound::CreateSoundBufferOver(LPCDSBUFFERDESC desc,
                                           std::shared_ptr<SampleData> samples,
                                           LPDIRECTSOUNDBUFFER *buffer) {
    if (!buffer)
        return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (!desc || (desc->dwSize != sizeof(DSBUFFERDESC) && desc->dwSize != kDsBufferDescSize32))
        return DSERR_INVALIDPARAM;
    if (m_level == 0)
        return DSERR_PRIOLEVELNEEDED;
    HRESULT injected = E_FAIL;
    if (seams::ShouldFail("CreateSoundBuffer", &injected))
        return injected;
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
        if (desc->dwBufferBytes != 0 || desc->lpwfxFormat || samples)
            return DSERR_INVALIDPARAM;
        *buffer = new PrimaryBuffer(this, desc->dwFlags);
        return DS_OK;
    }
    SecondaryBuffer *created = nullptr;
    const HRESULT hr = SecondaryBuffer::Create(*desc, &created, std::move(samples));
    if (FAILED(hr))
        return hr;
    *buffer = created;
    // The mixer has no 3-D rendering, so a 3-D buffer that asked for an algorithm gets a plain
    // voice and says so with the success code callers single out.
    if ((desc->dwFlags & DSBCAPS_CTRL3D) && desc->guid3DAlgorithm != GUID_NULL)
        return DS_NO_VIRTUALIZATION;
    return DS_OK;
}

HRESULT DirectSound::DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original,
                                          LPDIRECTSOUNDBUFFER *duplicate) {
    if (!duplicate)
        return DSERR_INVALIDPARAM;
    *duplicate = nullptr;
    if (!original)
        return DSERR_INVALIDPARAM;
    SecondaryBuffer *source = AsSecondaryBuffer(original);
    if (!source)
        return DSERR_INVALIDCALL;
    HRESULT injected = E_FAIL;
    if (seams::ShouldFail("DuplicateSoundBuffer", &injected))
        return injected;
    SecondaryBuffer *copy = nullptr;
    const HRESULT hr = source->Duplicate(&copy);
    if (SUCCEEDED(hr))
        *duplicate = copy;
    return hr;
}

} // namespace dsound

HRESULT DirectSoundCreate8(const GUID *device, LPDIRECTSOUND8 *directSound, LPUNKNOWN outer) {
    if (!directSound)
        return DSERR_INVALIDPARAM;
    *directSound = nullptr;
    if (outer || (device && *device != GUID_NULL))
        return DSERR_INVALIDPARAM;
    HRESULT injected = DSERR_NODRIVER;
    if (seams::ShouldFail("DirectSoundCreate8", &injected))
        return injected;
    dsound::Mixer &mixer = dsound::Mixer::Instance();
    if (FAILED(mixer.OpenOutput())) {
        mixer.CloseOutput();
        return DSERR_NODRIVER;
    }
    *directSound = new dsound::DirectSound();
    return DS_OK;
}
