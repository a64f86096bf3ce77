// The sound-device object: cooperative level, buffer creation and duplication.
#pragma once

#include "platform/dsound/dsound.h"
#include "platform/dsound/voice.h"

#include <memory>

namespace dsound {

class DirectSound final : public RefCounted<IDirectSound8> {
public:
    DirectSound();
    DWORD CooperativeLevel() const { return m_level; }

    HRESULT QueryInterface(REFIID iid, void **object) override;
    HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER *buffer,
                              LPUNKNOWN outer) override;
    HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original,
                                 LPDIRECTSOUNDBUFFER *duplicate) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD level) override;

    // A secondary buffer as CreateSoundBuffer makes it, playing `samples` (of the described size
    // and format) where they lie instead of a copy: the music plays its segment's samples so.
    HRESULT CreateSoundBufferOver(LPCDSBUFFERDESC desc, std::shared_ptr<SampleData> samples,
                                  LPDIRECTSOUNDBUFFER *buffer);

private:
    ~DirectSound() override;
    DWORD m_level = 0;
};

// The primary buffer: its format is the mixer's output format.
class PrimaryBuffer final : public RefCounted<IDirectSoundBuffer> {
public:
    PrimaryBuffer(DirectSound *owner, DWORD flags);

    HRESULT QueryInterface(REFIID iid, void **object) override;
    HRESULT GetCaps(LPDSBCAPS caps) override;
    HRESULT GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) override;
    HRESULT GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) override;
    HRESULT GetVolume(LPLONG volume) override;
    HRESULT GetPan(LPLONG pan) override;
    HRESULT GetFrequency(LPDWORD frequency) override;
    HRESULT GetStatus(LPDWORD status) override;
    HRESULT Lock(DWORD offset, DWORD bytes, LPVOID *audioPtr1, LPDWORD audioBytes1,
                 LPVOID *audioPtr2, LPDWORD audioBytes2, DWORD flags) override;
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT SetCurrentPosition(DWORD newPosition) override;
    HRESULT SetFormat(LPCWAVEFORMATEX format) override;
    HRESULT SetVolume(LONG volume) override;
    HRESULT SetPan(LONG pan) override;
    HRESULT SetFrequency(DWORD frequency) override;
    HRESULT Stop() override;
    HRESULT Unlock(LPVOID audioPtr1, DWORD audioBytes1, LPVOID audioPtr2,
                   DWORD audioBytes2) override;
    HRESULT Restore() override;

private:
    ~PrimaryBuffer() override;
    WAVEFORMATEX Format() const;

    DirectSound *m_owner;
    DWORD m_flags;
};

} // namespace dsound
