// What every input device shares: its data format, cooperative level and acquisition. A device at
// the foreground level can be acquired only while its window is the active window, and loses its
// acquisition when the window stops being active: the next read reports DIERR_INPUTLOST once,
// later reads DIERR_NOTACQUIRED, until the program acquires it again.
#pragma once

#include "platform/dinput/dinput.h"

#include <string>
#include <vector>

namespace dinput {

// One object of a device as EnumObjects offers it.
struct DeviceObject {
    GUID guidType;
    DWORD offset; // in the device's data format
    DWORD type;   // DIDFT_* kind with its instance number
    std::string name;
};

class Device : public RefCounted<IDirectInputDevice8A> {
public:
    HRESULT QueryInterface(REFIID iid, void **object) override;
    HRESULT SetDataFormat(const DIDATAFORMAT *format) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA callback, void *context,
                        DWORD flags) override;
    HRESULT SetProperty(REFGUID property, const DIPROPHEADER *header) override;
    HRESULT Acquire() override;
    HRESULT Unacquire() override;
    HRESULT Poll() override;
    HRESULT GetDeviceState(DWORD size, void *state) override;

    bool Acquired() const { return m_acquired; }
    // The device's window stopped being the active window.
    void WindowDeactivated(HWND window);

protected:
    // `kind` names the device in failure-injection points ("Keyboard.Acquire").
    Device(const char *kind, const DIDATAFORMAT &format);
    ~Device() override;

    HWND Window() const { return m_window; }
    DWORD CooperativeLevel() const { return m_level; }

    virtual std::vector<DeviceObject> Objects() const = 0;
    // Fills the record of the device's data format.
    virtual void ReadState(void *state) = 0;
    virtual bool Attached() const { return true; }
    virtual HRESULT CheckLevel(DWORD) const { return DI_OK; }
    virtual HRESULT SetRange(DWORD how, DWORD object, LONG min, LONG max);
    virtual HRESULT PollDevice() { return DI_NOEFFECT; }
    virtual void Acquiring() {}
    virtual void Unacquiring() {}

private:
    bool ShouldFail(const char *method, HRESULT *code) const;
    void Lose();

    std::string m_kind;
    const DIDATAFORMAT &m_format;
    bool m_formatSet = false;
    HWND m_window = nullptr;
    DWORD m_level = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    bool m_acquired = false;
    bool m_lost = false; // acquisition was taken away and no read has said so yet
};

// Whether `format` is the predefined format `expected` (the same object or an equal copy).
bool SameFormat(const DIDATAFORMAT &format, const DIDATAFORMAT &expected);

} // namespace dinput
