// The interfaces a buffer hands out besides its own: position notifications, and 3-D buffer and
// listener parameters (kept, not rendered: every buffer is mixed as a plain panned voice).
#pragma once

#include "platform/dsound/dsound.h"

namespace dsound {

class SecondaryBuffer;

// Holds a reference on its buffer for as long as it lives.
class BufferNotify final : public RefCounted<IDirectSoundNotify> {
public:
    explicit BufferNotify(SecondaryBuffer *buffer);
    HRESULT QueryInterface(REFIID iid, void **object) override;
    HRESULT SetNotificationPositions(DWORD count, LPCDSBPOSITIONNOTIFY positions) override;

private:
    ~BufferNotify() override;
    SecondaryBuffer *m_buffer;
};

class Buffer3D final : public RefCounted<IDirectSound3DBuffer> {
public:
    explicit Buffer3D(IDirectSoundBuffer *buffer);
    HRESULT QueryInterface(REFIID iid, void **object) override;
    HRESULT GetPosition(D3DVECTOR *position) override;
    HRESULT SetPosition(FLOAT x, FLOAT y, FLOAT z, DWORD apply) override;

private:
    ~Buffer3D() override;
    IDirectSoundBuffer *m_buffer;
    D3DVECTOR m_position{};
};

class Listener3D final : public RefCounted<IDirectSound3DListener> {
public:
    explicit Listener3D(IDirectSoundBuffer *primary);
    HRESULT QueryInterface(REFIID iid, void **object) override;
    HRESULT GetPosition(D3DVECTOR *position) override;
    HRESULT SetPosition(FLOAT x, FLOAT y, FLOAT z, DWORD apply) override;

private:
    ~Listener3D() override;
    IDirectSoundBuffer *m_primary;
    D3DVECTOR m_position{};
};

} // namespace dsound
