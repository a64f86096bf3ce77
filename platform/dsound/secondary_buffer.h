// A secondary buffer: sample memory (shared with its duplicates) and its own play state, which
// the mixer plays.
#pragma once

#include "platform/dsound/dsound.h"
#include "platform/dsound/voice.h"

#include <vector>

namespace dsound {

class SecondaryBuffer final : public RefCounted<IDirectSoundBuffer> {
public:
    // Checks a description and makes a buffer of silence, or, given `samples` of the described
    // size and format, a buffer that plays that memory (shared, as a duplicate shares its
    // original's); the out pointer is null on failure.
    static HRESULT Create(const DSBUFFERDESC &desc, SecondaryBuffer **buffer,
                          std::shared_ptr<SampleData> samples = nullptr);
    // A new buffer over the same memory, stopped at position 0, with this buffer's settings.
    HRESULT Duplicate(SecondaryBuffer **duplicate);

    DWORD Flags() const { return m_flags; }
    HRESULT SetNotifications(DWORD count, LPCDSBPOSITIONNOTIFY positions);

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
    SecondaryBuffer(DWORD flags, std::shared_ptr<SampleData> data);
    ~SecondaryBuffer() override;
    DWORD Size() const { return static_cast<DWORD>(m_voice.data->bytes.size()); }
    DWORD WriteLead() const;

    const DWORD m_flags;
    Voice m_voice; // guarded by the mixer's lock

    // The region of an outstanding Lock; the caller writes into the staging copy and Unlock
    // copies it into the shared memory under the mixer's lock.
    std::vector<BYTE> m_staging;
    bool m_locked = false;
    DWORD m_lockOffset = 0;
    DWORD m_lockBytes1 = 0;
    DWORD m_lockBytes2 = 0;
};

// The buffer behind an interface pointer the layer made, or null.
SecondaryBuffer *AsSecondaryBuffer(IDirectSoundBuffer *buffer);

} // namespace dsound
