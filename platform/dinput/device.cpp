// Data format, cooperative level and acquisition of every input device, and the list of live
// devices that a change of the active window reaches.
#include "platform/dinput/device.h"

#include "platform/seams/failure_injection.h"
#include "platform/win32/activation.h"
#include "platform/win32/window.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace dinput {

namespace {

struct LiveDevices {
    std::mutex lock;
    std::vector<Device *> devices;
};

LiveDevices &live() {
    static LiveDevices l;
    return l;
}

void windowDeactivated(HWND window, HWND) {
    if (!window)
        return;
    LiveDevices &l = live();
    std::lock_guard guard(l.lock);
    for (Device *device : l.devices)
        device->WindowDeactivated(window);
}

bool sameObject(const DIOBJECTDATAFORMAT &a, const DIOBJECTDATAFORMAT &b) {
    const bool sameGuid = a.pguid == b.pguid || (a.pguid && b.pguid && *a.pguid == *b.pguid);
    return sameGuid && a.dwOfs == b.dwOfs && a.dwType == b.dwType && a.dwFlags == b.dwFlags;
}

bool exactlyOne(DWORD flags, DWORD a, DWORD b) {
    return ((flags & a) != 0) != ((flags & b) != 0);
}

} // namespace

bool SameFormat(const DIDATAFORMAT &format, const DIDATAFORMAT &expected) {
    if (&format == &expected)
        return true;
    if (format.dwSize != expected.dwSize || format.dwObjSize != expected.dwObjSize ||
        format.dwFlags != expected.dwFlags || format.dwDataSize != expected.dwDataSize ||
        format.dwNumObjs != expected.dwNumObjs || !format.rgodf)
        return false;
    for (DWORD i = 0; i < format.dwNumObjs; ++i)
        if (!sameObject(format.rgodf[i], expected.rgodf[i]))
            return false;
    return true;
}

Device::Device(const char *kind, const DIDATAFORMAT &format) : m_kind(kind), m_format(format) {
    static std::once_flag observing;
    std::call_once(observing, [] { win32::AddActivationObserver(windowDeactivated); });
    LiveDevices &l = live();
    std::lock_guard guard(l.lock);
    l.devices.push_back(this);
}

Device::~Device() {
    LiveDevices &l = live();
    std::lock_guard guard(l.lock);
    std::erase(l.devices, this);
}

bool Device::ShouldFail(const char *method, HRESULT *code) const {
    return seams::ShouldFail(m_kind + "." + method, code);
}

HRESULT Device::QueryInterface(REFIID iid, void **object) {
    return AnswerQuery(iid, {IID_IDirectInputDevice8A}, object);
}

HRESULT Device::SetDataFormat(const DIDATAFORMAT *format) {
    if (!format)
        return DIERR_INVALIDPARAM;
    if (m_acquired)
        return DIERR_ACQUIRED;
    HRESULT injected = E_FAIL;
    if (ShouldFail("SetDataFormat", &injected))
        return injected;
    // Each device fills the one predefined record of its kind.
    if (!SameFormat(*format, m_format))
        return DIERR_INVALIDPARAM;
    m_formatSet = true;
    return DI_OK;
}

HRESULT Device::SetCooperativeLevel(HWND window, DWORD flags) {
    if (m_acquired)
        return DIERR_ACQUIRED;
    if (!exactlyOne(flags, DISCL_EXCLUSIVE, DISCL_NONEXCLUSIVE) ||
        !exactlyOne(flags, DISCL_FOREGROUND, DISCL_BACKGROUND) ||
        (flags & ~(DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND |
                   DISCL_NOWINKEY)))
        return DIERR_INVALIDPARAM;
    // The foreground level follows a window, and exclusive use is exclusive within one.
    if ((flags & (DISCL_FOREGROUND | DISCL_EXCLUSIVE)) && !IsWindow(window))
        return DIERR_INVALIDPARAM;
    if (const HRESULT hr = CheckLevel(flags); FAILED(hr))
        return hr;
    HRESULT injected = E_FAIL;
    if (ShouldFail("SetCooperativeLevel", &injected))
        return injected;
    m_window = window;
    m_level = flags;
    return DI_OK;
}

HRESULT Device::EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA callback, void *context, DWORD flags) {
    if (!callback)
        return DIERR_INVALIDPARAM;
    const DWORD kinds = DIDFT_GETTYPE(flags);
    for (const DeviceObject &object : Objects()) {
        if (kinds != DIDFT_ALL && !(object.type & kinds))
            continue;
        DIDEVICEOBJECTINSTANCEA instance{};
        instance.dwSize = sizeof instance;
        instance.guidType = object.guidType;
        instance.dwOfs = object.offset;
        instance.dwType = object.type;
        std::strncpy(instance.tszName, object.name.c_str(), sizeof instance.tszName - 1);
        if (callback(&instance, context) == DIENUM_STOP)
            break;
    }
    return DI_OK;
}

HRESULT Device::SetProperty(REFGUID property, const DIPROPHEADER *header) {
    if (!header || header->dwHeaderSize != sizeof(DIPROPHEADER))
        return DIERR_INVALIDPARAM;
    if (property != DIPROP_RANGE)
        return DIERR_UNSUPPORTED;
    if (header->dwSize != sizeof(DIPROPRANGE) || header->dwHow > DIPH_BYID ||
        (header->dwHow == DIPH_DEVICE && header->dwObj != 0))
        return DIERR_INVALIDPARAM;
    const auto *range = reinterpret_cast<const DIPROPRANGE *>(header);
    if (range->lMin >= range->lMax)
        return DIERR_INVALIDPARAM;
    return SetRange(header->dwHow, header->dwObj, range->lMin, range->lMax);
}

HRESULT Device::SetRange(DWORD, DWORD, LONG, LONG) {
    return DIERR_UNSUPPORTED;
}

HRESULT Device::Acquire() {
    HRESULT injected = E_FAIL;
    if (ShouldFail("Acquire", &injected))
        return injected;
    if (!m_formatSet)
        return DIERR_INVALIDPARAM;
    if (m_acquired)
        return DI_NOEFFECT;
    if (!Attached())
        return DIERR_UNPLUGGED;
    // Never DIERR_INPUTLOST here: callers retry for as long as they see it.
    if ((m_level & DISCL_FOREGROUND) && win32::ActiveWindow() != m_window)
        return DIERR_OTHERAPPHASPRIO;
    m_acquired = true;
    m_lost = false;
    Acquiring();
    return DI_OK;
}

HRESULT Device::Unacquire() {
    if (!m_acquired)
        return DI_NOEFFECT;
    m_acquired = false;
    m_lost = false;
    Unacquiring();
    return DI_OK;
}

void Device::Lose() {
    if (!m_acquired)
        return;
    m_acquired = false;
    m_lost = true;
    Unacquiring();
}

void Device::WindowDeactivated(HWND window) {
    if ((m_level & DISCL_FOREGROUND) && window == m_window)
        Lose();
}

HRESULT Device::Poll() {
    if (m_acquired && !Attached())
        Lose();
    if (!m_acquired)
        return m_lost ? DIERR_INPUTLOST : DIERR_NOTACQUIRED;
    return PollDevice();
}

HRESULT Device::GetDeviceState(DWORD size, void *state) {
    if (!state || size != m_format.dwDataSize)
        return DIERR_INVALIDPARAM;
    HRESULT injected = E_FAIL;
    if (ShouldFail("GetDeviceState", &injected))
        return injected;
    if (m_acquired && !Attached())
        Lose();
    if (!m_acquired) {
        // The loss is reported once; after that the device is simply not acquired.
        const bool lost = m_lost;
        m_lost = false;
        return lost ? DIERR_INPUTLOST : DIERR_NOTACQUIRED;
    }
    ReadState(state);
    return DI_OK;
}

} // namespace dinput
