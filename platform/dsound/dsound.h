// Sound buffers: the sound-device object, primary and secondary buffers, position notifications
// and the 3-D buffer and listener interfaces, all mixed by the layer's one software mixer.
#pragma once

#include "platform/d3d8/math_types.h"
#include "platform/mmio/wave_format.h"
#include "platform/win32/com.h"
#include "platform/win32/results.h"
#include "platform/win32/types.h"

// Result codes. DS_NO_VIRTUALIZATION is a success that callers may single out.
constexpr HRESULT DS_OK = S_OK;
constexpr HRESULT DS_NO_VIRTUALIZATION = MakeResult(0x0878000A);
constexpr HRESULT DSERR_ALLOCATED = MakeResult(0x8878000A);
constexpr HRESULT DSERR_CONTROLUNAVAIL = MakeResult(0x8878001E);
constexpr HRESULT DSERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DSERR_INVALIDCALL = MakeResult(0x88780032);
constexpr HRESULT DSERR_GENERIC = E_FAIL;
constexpr HRESULT DSERR_PRIOLEVELNEEDED = MakeResult(0x88780046);
constexpr HRESULT DSERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DSERR_BADFORMAT = MakeResult(0x88780064);
constexpr HRESULT DSERR_NODRIVER = MakeResult(0x88780078);
constexpr HRESULT DSERR_BUFFERLOST = MakeResult(0x88780096);
constexpr HRESULT DSERR_UNINITIALIZED = MakeResult(0x887800AA);
constexpr HRESULT DSERR_NOINTERFACE = E_NOINTERFACE;
constexpr HRESULT DSERR_BUFFERTOOSMALL = MakeResult(0x887800B4);

// Cooperative levels.
constexpr DWORD DSSCL_NORMAL = 1;
constexpr DWORD DSSCL_PRIORITY = 2;
constexpr DWORD DSSCL_EXCLUSIVE = 3;
constexpr DWORD DSSCL_WRITEPRIMARY = 4;

// Buffer capabilities.
constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x00000001;
constexpr DWORD DSBCAPS_STATIC = 0x00000002;
constexpr DWORD DSBCAPS_LOCHARDWARE = 0x00000004;
constexpr DWORD DSBCAPS_LOCSOFTWARE = 0x00000008;
constexpr DWORD DSBCAPS_CTRL3D = 0x00000010;
constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x00000020;
constexpr DWORD DSBCAPS_CTRLPAN = 0x00000040;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x00000080;
constexpr DWORD DSBCAPS_CTRLPOSITIONNOTIFY = 0x00000100;
constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x00010000;

constexpr DWORD DSBPLAY_LOOPING = 0x00000001;

constexpr DWORD DSBSTATUS_PLAYING = 0x00000001;
constexpr DWORD DSBSTATUS_BUFFERLOST = 0x00000002;
constexpr DWORD DSBSTATUS_LOOPING = 0x00000004;

constexpr DWORD DSBLOCK_FROMWRITECURSOR = 0x00000001;
constexpr DWORD DSBLOCK_ENTIREBUFFER = 0x00000002;

constexpr LONG DSBVOLUME_MIN = -10000;
constexpr LONG DSBVOLUME_MAX = 0;
constexpr LONG DSBPAN_LEFT = -10000;
constexpr LONG DSBPAN_CENTER = 0;
constexpr LONG DSBPAN_RIGHT = 10000;
constexpr DWORD DSBFREQUENCY_ORIGINAL = 0;
constexpr DWORD DSBFREQUENCY_MIN = 100;
constexpr DWORD DSBFREQUENCY_MAX = 200000;
constexpr DWORD DSBSIZE_MIN = 4;
constexpr DWORD DSBSIZE_MAX = 0x0FFFFFFF;

// A notification at this offset fires when the buffer stops.
constexpr DWORD DSBPN_OFFSETSTOP = 0xFFFFFFFF;

// 3-D parameters are applied at once.
constexpr DWORD DS3D_IMMEDIATE = 0;

inline const GUID IID_IDirectSound8 = {
    0xFB408FEA, 0x30A2, 0x4947, {0x8D, 0x08, 0x92, 0x52, 0x5E, 0x4B, 0xAD, 0x81}};
inline const GUID IID_IDirectSoundBuffer = {
    0x944F457B, 0x579A, 0x4DEF, {0xAD, 0xB6, 0x47, 0x8E, 0x46, 0xB3, 0x4D, 0xE6}};
inline const GUID IID_IDirectSoundNotify = {
    0x9E22D91F, 0x2BB5, 0x42A4, {0xB7, 0x5B, 0x4F, 0xB5, 0xBB, 0x5B, 0xC0, 0x05}};
inline const GUID IID_IDirectSound3DBuffer = {
    0x5C496778, 0xCAA8, 0x42BA, {0x9B, 0xEA, 0x9D, 0xBE, 0x22, 0x53, 0xE0, 0xD7}};
inline const GUID IID_IDirectSound3DListener = {
    0xC8262630, 0xC569, 0x41D9, {0x93, 0x6A, 0x6E, 0xBF, 0x41, 0x02, 0x15, 0x79}};
// The default 3-D algorithm is the null GUID.
inline const GUID DS3DALG_DEFAULT = GUID_NULL;

struct DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    LPWAVEFORMATEX lpwfxFormat;
    GUID guid3DAlgorithm;
};
using LPDSBUFFERDESC = DSBUFFERDESC *;
using LPCDSBUFFERDESC = const DSBUFFERDESC *;
// Callers written for 32-bit Windows may state the record's size there instead of sizeof.
constexpr DWORD kDsBufferDescSize32 = 36;

struct DSBCAPS {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwUnlockTransferRate;
    DWORD dwPlayCpuOverhead;
};
using LPDSBCAPS = DSBCAPS *;

struct DSBPOSITIONNOTIFY {
    DWORD dwOffset;
    HANDLE hEventNotify;
};
using LPCDSBPOSITIONNOTIFY = const DSBPOSITIONNOTIFY *;

struct IDirectSoundBuffer : IUnknown {
    STDMETHOD(GetCaps)(LPDSBCAPS caps) PURE;
    STDMETHOD(GetCurrentPosition)(LPDWORD playCursor, LPDWORD writeCursor) PURE;
    STDMETHOD(GetFormat)(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) PURE;
    STDMETHOD(GetVolume)(LPLONG volume) PURE;
    STDMETHOD(GetPan)(LPLONG pan) PURE;
    STDMETHOD(GetFrequency)(LPDWORD frequency) PURE;
    STDMETHOD(GetStatus)(LPDWORD status) PURE;
    STDMETHOD(Lock)
    (DWORD offset, DWORD bytes, LPVOID *audioPtr1, LPDWORD audioBytes1, LPVOID *audioPtr2,
     LPDWORD audioBytes2, DWORD flags) PURE;
    STDMETHOD(Play)(DWORD reserved, DWORD priority, DWORD flags) PURE;
    STDMETHOD(SetCurrentPosition)(DWORD newPosition) PURE;
    STDMETHOD(SetFormat)(LPCWAVEFORMATEX format) PURE;
    STDMETHOD(SetVolume)(LONG volume) PURE;
    STDMETHOD(SetPan)(LONG pan) PURE;
    STDMETHOD(SetFrequency)(DWORD frequency) PURE;
    STDMETHOD(Stop)() PURE;
    STDMETHOD(Unlock)
    (LPVOID audioPtr1, DWORD audioBytes1, LPVOID audioPtr2, DWORD audioBytes2) PURE;
    STDMETHOD(Restore)() PURE;
};
using LPDIRECTSOUNDBUFFER = IDirectSoundBuffer *;

struct IDirectSoundNotify : IUnknown {
    STDMETHOD(SetNotificationPositions)(DWORD count, LPCDSBPOSITIONNOTIFY positions) PURE;
};
using LPDIRECTSOUNDNOTIFY = IDirectSoundNotify *;

// 3-D positions are kept but not rendered: every buffer is mixed as a plain panned voice.
struct IDirectSound3DBuffer : IUnknown {
    STDMETHOD(GetPosition)(D3DVECTOR *position) PURE;
    STDMETHOD(SetPosition)(FLOAT x, FLOAT y, FLOAT z, DWORD apply) PURE;
};
using LPDIRECTSOUND3DBUFFER = IDirectSound3DBuffer *;

struct IDirectSound3DListener : IUnknown {
    STDMETHOD(GetPosition)(D3DVECTOR *position) PURE;
    STDMETHOD(SetPosition)(FLOAT x, FLOAT y, FLOAT z, DWORD apply) PURE;
};
using LPDIRECTSOUND3DLISTENER = IDirectSound3DListener *;

struct IDirectSound8 : IUnknown {
    STDMETHOD(CreateSoundBuffer)
    (LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER *buffer, LPUNKNOWN outer) PURE;
    STDMETHOD(DuplicateSoundBuffer)
    (LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER *duplicate) PURE;
    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD level) PURE;
};
using LPDIRECTSOUND8 = IDirectSound8 *;

// Opens the default output (device must be NULL) and makes the sound-device object. Without a
// sound card the output is a silent device running in real time, so sounds still start and end.
HRESULT DirectSoundCreate8(const GUID *device, LPDIRECTSOUND8 *directSound, LPUNKNOWN outer);
