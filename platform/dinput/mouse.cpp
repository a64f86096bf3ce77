// The mouse device: movement since the previous read, the wheel in notches of 120, eight
// buttons. Acquired exclusively in the foreground, it takes the pointer: hidden and held in the
// window (SDL's relative mode) for as long as the acquisition lasts.
#include "platform/dinput/devices.h"
#include "platform/dinput/input_tracker.h"

#include <SDL.h>

#include <cstddef>
#include <string>

namespace dinput {

namespace {

class Mouse final : public Device {
public:
    Mouse() : Device("Mouse", c_dfDIMouse2) {}
    ~Mouse() override { ReleasePointer(); }

protected:
    std::vector<DeviceObject> Objects() const override {
        std::vector<DeviceObject> objects = {
            {GUID_XAxis, offsetof(DIMOUSESTATE2, lX), DIDFT_RELAXIS | DIDFT_MAKEINSTANCE(0),
             "X-axis"},
            {GUID_YAxis, offsetof(DIMOUSESTATE2, lY), DIDFT_RELAXIS | DIDFT_MAKEINSTANCE(1),
             "Y-axis"},
            {GUID_ZAxis, offsetof(DIMOUSESTATE2, lZ), DIDFT_RELAXIS | DIDFT_MAKEINSTANCE(2),
             "Wheel"},
        };
        for (DWORD button = 0; button < 8; ++button)
            objects.push_back(
                {GUID_Button, static_cast<DWORD>(offsetof(DIMOUSESTATE2, rgbButtons)) + button,
                 DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(button), "Button " + std::to_string(button)});
        return objects;
    }

    void ReadState(void *state) override {
        InputTracker::Instance().ReadMouse(m_mark, static_cast<DIMOUSESTATE2 *>(state));
    }

    HRESULT CheckLevel(DWORD flags) const override {
        return (flags & DISCL_NOWINKEY) ? DIERR_INVALIDPARAM : DI_OK;
    }

    void Acquiring() override {
        // Movement counts from the moment of acquisition.
        m_mark = InputTracker::Instance().MouseTotalsNow();
        const DWORD level = CooperativeLevel();
        if ((level & DISCL_EXCLUSIVE) && (level & DISCL_FOREGROUND) && SDL_WasInit(SDL_INIT_VIDEO))
            m_pointerTaken = SDL_SetRelativeMouseMode(SDL_TRUE) == 0;
    }

    void Unacquiring() override { ReleasePointer(); }

private:
    void ReleasePointer() {
        if (m_pointerTaken && SDL_WasInit(SDL_INIT_VIDEO))
            SDL_SetRelativeMouseMode(SDL_FALSE);
        m_pointerTaken = false;
    }

    InputTracker::MouseTotals m_mark;
    bool m_pointerTaken = false;
};

} // namespace

Device *CreateMouse() {
    return new Mouse;
}

} // namespace dinput
