// Notification and 3-D interfaces of buffers; each keeps its buffer alive and answers for it.
#include "platform/dsound/three_d.h"

#include "platform/dsound/secondary_buffer.h"

namespace dsound {

namespace {

template <class Self>
HRESULT queryThrough(Self *self, REFIID own, IDirectSoundBuffer *buffer, REFIID iid,
                     void **object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == own) {
        self->AddRef();
        *object = self;
        return S_OK;
    }
    return buffer->QueryInterface(iid, object);
}

} // namespace

BufferNotify::BufferNotify(SecondaryBuffer *buffer) : m_buffer(buffer) {
    m_buffer->AddRef();
}
BufferNotify::~BufferNotify() {
    m_buffer->Release();
}

HRESULT BufferNotify::QueryInterface(REFIID iid, void **object) {
    return queryThrough(this, IID_IDirectSoundNotify, m_buffer, iid, object);
}

HRESULT BufferNotify::SetNotificationPositions(DWORD count, LPCDSBPOSITIONNOTIFY positions) {
    return m_buffer->SetNotifications(count, positions);
}

Buffer3D::Buffer3D(IDirectSoundBuffer *buffer) : m_buffer(buffer) {
    m_buffer->AddRef();
}
Buffer3D::~Buffer3D() {
    m_buffer->Release();
}

HRESULT Buffer3D::QueryInterface(REFIID iid, void **object) {
    return queryThrough(this, IID_IDirectSound3DBuffer, m_buffer, iid, object);
}

HRESULT Buffer3D::GetPosition(D3DVECTOR *position) {
    if (!position)
        return DSERR_INVALIDPARAM;
    *position = m_position;
    return DS_OK;
}

HRESULT Buffer3D::SetPosition(FLOAT x, FLOAT y, FLOAT z, DWORD) {
    m_position = {x, y, z};
    return DS_OK;
}

Listener3D::Listener3D(IDirectSoundBuffer *primary) : m_primary(primary) {
    m_primary->AddRef();
}
Listener3D::~Listener3D() {
    m_primary->Release();
}

HRESULT Listener3D::QueryInterface(REFIID iid, void **object) {
    return queryThrough(this, IID_IDirectSound3DListener, m_primary, iid, object);
}

HRESULT Listener3D::GetPosition(D3DVECTOR *position) {
    if (!position)
        return DSERR_INVALIDPARAM;
    *position = m_position;
    return DS_OK;
}

HRESULT Listener3D::SetPosition(FLOAT x, FLOAT y, FLOAT z, DWORD) {
    m_position = {x, y, z};
    return DS_OK;
}

} // namespace dsound
