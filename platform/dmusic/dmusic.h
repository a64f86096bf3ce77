// Music: a loader that makes segments of WAV files, and a performance that plays one segment at
// a time, looping, through the sound buffers' mixer.
#pragma once

#include "platform/win32/com.h"
#include "platform/win32/results.h"
#include "platform/win32/types.h"

using MUSIC_TIME = LONG;
using REFERENCE_TIME = LONGLONG;

constexpr DWORD DMUS_APATH_SHARED_STEREOPLUSREVERB = 1;
constexpr DWORD DMUS_APATH_DYNAMIC_3D = 6;
constexpr DWORD DMUS_APATH_DYNAMIC_MONO = 7;
constexpr DWORD DMUS_APATH_DYNAMIC_STEREO = 8;
constexpr DWORD DMUS_AUDIOF_ALL = 0x3F;

constexpr HRESULT DMUS_E_NOT_INIT = MakeResult(0x88781203);
constexpr HRESULT DMUS_E_ALREADY_INITED = MakeResult(0x88781204);
constexpr HRESULT DMUS_E_LOADER_FAILEDOPEN = MakeResult(0x88781205);
constexpr HRESULT DMUS_E_UNSUPPORTED_STREAM = MakeResult(0x88781206);
constexpr HRESULT DMUS_E_LOADER_BADPATH = MakeResult(0x88781207);

inline const GUID CLSID_DirectMusicLoader = {
    0x0CEA26F2, 0x5344, 0x4BD9, {0x91, 0xB8, 0x92, 0xA2, 0xF5, 0xDC, 0xAF, 0xEB}};
inline const GUID CLSID_DirectMusicPerformance = {
    0x442FE425, 0x7ECE, 0x43D3, {0x9F, 0xDD, 0xAA, 0x36, 0x46, 0x6C, 0x43, 0x9B}};
inline const GUID CLSID_DirectMusicSegment = {
    0xDC8B812C, 0x4646, 0x4F0D, {0x86, 0x7E, 0x7E, 0x18, 0x40, 0x09, 0x5F, 0xA0}};
inline const GUID IID_IDirectMusicLoader8 = {
    0x7EAE8236, 0x9A1C, 0x496B, {0x88, 0x1F, 0x70, 0x5D, 0xCF, 0x50, 0x45, 0x7B}};
inline const GUID IID_IDirectMusicPerformance = {
    0x93A05E62, 0x89D1, 0x41C2, {0x9C, 0xCD, 0xB9, 0x4E, 0x88, 0x76, 0x20, 0x1B}};
inline const GUID IID_IDirectMusicPerformance8 = {
    0x91B935D8, 0x9102, 0x4484, {0x99, 0x69, 0xDD, 0x4B, 0x11, 0x1D, 0x56, 0x31}};
inline const GUID IID_IDirectMusicSegment8 = {
    0x216A06DA, 0xFF55, 0x4729, {0x86, 0xC6, 0xE1, 0x5D, 0xCF, 0x35, 0xAA, 0x87}};

struct IDirectMusic;
struct IDirectSound;
struct IDirectMusicSegmentState;
struct DMUS_AUDIOPARAMS;

struct IDirectMusicSegment8 : IUnknown {
    // Makes the segment playable by a performance (for a WAV segment there is nothing to send).
    STDMETHOD(Download)(IUnknown *audioPathOrPerformance) PURE;
    STDMETHOD(Unload)(IUnknown *audioPathOrPerformance) PURE;
};
using IDirectMusicSegment = IDirectMusicSegment8;

struct IDirectMusicLoader8 : IUnknown {
    STDMETHOD(LoadObjectFromFile)(REFGUID classId, REFIID iid, WCHAR *filePath, void **object) PURE;
};

struct IDirectMusicPerformance : IUnknown {
    // Stops the segment given, or everything when no segment is given.
    STDMETHOD(Stop)
    (IDirectMusicSegment *segment, IDirectMusicSegmentState *state, MUSIC_TIME stopTime,
     DWORD flags) PURE;
    STDMETHOD(CloseDown)() PURE;
};

struct IDirectMusicPerformance8 : IDirectMusicPerformance {
    STDMETHOD(InitAudio)
    (IDirectMusic **music, IDirectSound **sound, HWND window, DWORD defaultPathType,
     DWORD performanceChannels, DWORD flags, DMUS_AUDIOPARAMS *params) PURE;
    // Starts a segment as the primary segment, replacing (never layering over) the one playing.
    STDMETHOD(PlaySegmentEx)
    (IUnknown *source, WCHAR *segmentName, IUnknown *transition, DWORD flags, LONGLONG startTime,
     IDirectMusicSegmentState **segmentState, IUnknown *from, IUnknown *audioPath) PURE;
};

namespace dmusic {
// Registers the loader and performance classes for CoCreateInstance. Every program that includes
// this header runs it at start-up, so the classes cannot be left out of the link.
bool RegisterClasses();
inline const bool kClassesRegistered = RegisterClasses();
} // namespace dmusic
