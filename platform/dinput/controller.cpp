// A game controller over an SDL joystick: up to eight axes scaled into the range the program
// sets (0..65535 until it sets one), up to four points of view in hundredths of a degree
// (0xFFFFFFFF centred) and up to 128 buttons. A controller unplugged while in use makes its reads
// fail (DIERR_INPUTLOST, then DIERR_UNPLUGGED on acquiring) without touching any other device.
#include "platform/dinput/devices.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string>

namespace dinput {

namespace {

constexpr int kMaxAxes = 8;
constexpr int kMaxPovs = 4;
constexpr int kMaxButtons = 128;
constexpr DWORD kPovCentred = 0xFFFFFFFF;

struct AxisSlot {
    const GUID *guid;
    DWORD offset;
    const char *name;
};

const std::array<AxisSlot, kMaxAxes> kAxisSlots = {{
    {&GUID_XAxis, offsetof(DIJOYSTATE2, lX), "X Axis"},
    {&GUID_YAxis, offsetof(DIJOYSTATE2, lY), "Y Axis"},
    {&GUID_ZAxis, offsetof(DIJOYSTATE2, lZ), "Z Axis"},
    {&GUID_RxAxis, offsetof(DIJOYSTATE2, lRx), "X Rotation"},
    {&GUID_RyAxis, offsetof(DIJOYSTATE2, lRy), "Y Rotation"},
    {&GUID_RzAxis, offsetof(DIJOYSTATE2, lRz), "Z Rotation"},
    {&GUID_Slider, offsetof(DIJOYSTATE2, rglSlider), "Slider"},
    {&GUID_Slider, offsetof(DIJOYSTATE2, rglSlider) + sizeof(LONG), "Slider"},
}};

struct Range {
    LONG min = 0;
    LONG max = 65535;
};

// SDL's -32768..32767 onto the range, to the nearest step; the ends map onto the ends.
LONG scale(Sint16 raw, const Range &range) {
    const long long span = static_cast<long long>(range.max) - range.min;
    const long long steps = static_cast<long long>(raw) + 32768;
    return static_cast<LONG>(range.min + (steps * span + 32767) / 65535);
}

DWORD povOfHat(Uint8 hat) {
    switch (hat) {
    case SDL_HAT_UP:
        return 0;
    case SDL_HAT_RIGHTUP:
        return 4500;
    case SDL_HAT_RIGHT:
        return 9000;
    case SDL_HAT_RIGHTDOWN:
        return 13500;
    case SDL_HAT_DOWN:
        return 18000;
    case SDL_HAT_LEFTDOWN:
        return 22500;
    case SDL_HAT_LEFT:
        return 27000;
    case SDL_HAT_LEFTUP:
        return 31500;
    default:
        return kPovCentred;
    }
}

class Controller final : public Device {
public:
    explicit Controller(SDL_Joystick *joystick)
        : Device("Controller", c_dfDIJoystick2), m_joystick(joystick),
          m_axes(std::clamp(SDL_JoystickNumAxes(joystick), 0, kMaxAxes)),
          m_povs(std::clamp(SDL_JoystickNumHats(joystick), 0, kMaxPovs)),
          m_buttons(std::clamp(SDL_JoystickNumButtons(joystick), 0, kMaxButtons)) {}

    ~Controller() override { SDL_JoystickClose(m_joystick); }

protected:
    std::vector<DeviceObject> Objects() const override {
        std::vector<DeviceObject> objects;
        for (int axis = 0; axis < m_axes; ++axis) {
            const AxisSlot &slot = kAxisSlots[static_cast<std::size_t>(axis)];
            objects.push_back({*slot.guid, slot.offset,
                               DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(static_cast<DWORD>(axis)),
                               slot.name});
        }
        for (int pov = 0; pov < m_povs; ++pov)
            objects.push_back({GUID_POV,
                               static_cast<DWORD>(offsetof(DIJOYSTATE2, rgdwPOV) + pov * 4),
                               DIDFT_POV | DIDFT_MAKEINSTANCE(static_cast<DWORD>(pov)),
                               "Hat Switch " + std::to_string(pov)});
        for (int button = 0; button < m_buttons; ++button)
            objects.push_back({GUID_Button,
                               static_cast<DWORD>(offsetof(DIJOYSTATE2, rgbButtons) + button),
                               DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(static_cast<DWORD>(button)),
                               "Button " + std::to_string(button)});
        return objects;
    }

    bool Attached() const override { return SDL_JoystickGetAttached(m_joystick) == SDL_TRUE; }

    HRESULT PollDevice() override {
        SDL_JoystickUpdate();
        return DI_OK;
    }

    HRESULT SetRange(DWORD how, DWORD object, LONG min, LONG max) override {
        bool found = false;
        for (int axis = 0; axis < m_axes; ++axis) {
            const auto index = static_cast<std::size_t>(axis);
            bool match = how == DIPH_DEVICE;
            if (how == DIPH_BYOFFSET)
                match = object == kAxisSlots[index].offset;
            if (how == DIPH_BYID)
                match = (DIDFT_GETTYPE(object) & DIDFT_AXIS) &&
                        DIDFT_GETINSTANCE(object) == static_cast<DWORD>(axis);
            if (match) {
                m_ranges[index] = {min, max};
                found = true;
            }
        }
        return found || how == DIPH_DEVICE ? DI_OK : DIERR_OBJECTNOTFOUND;
    }

    void ReadState(void *out) override {
        DIJOYSTATE2 state{};
        std::fill(std::begin(state.rgdwPOV), std::end(state.rgdwPOV), kPovCentred);
        auto *bytes = reinterpret_cast<unsigned char *>(&state);
        for (int axis = 0; axis < m_axes; ++axis) {
            const auto index = static_cast<std::size_t>(axis);
            const LONG value = scale(SDL_JoystickGetAxis(m_joystick, axis), m_ranges[index]);
            std::memcpy(bytes + kAxisSlots[index].offset, &value, sizeof value);
        }
        for (int pov = 0; pov < m_povs; ++pov)
            state.rgdwPOV[pov] = povOfHat(SDL_JoystickGetHat(m_joystick, pov));
        for (int button = 0; button < m_buttons; ++button)
            state.rgbButtons[button] = SDL_JoystickGetButton(m_joystick, button) ? 0x80 : 0;
        std::memcpy(out, &state, sizeof state);
    }

private:
    SDL_Joystick *m_joystick;
    int m_axes;
    int m_povs;
    int m_buttons;
    std::array<Range, kMaxAxes> m_ranges{};
};

} // namespace

Device *CreateController(const ControllerInstance &controller) {
    SDL_Joystick *joystick = SDL_JoystickOpen(controller.sdlDeviceIndex);
    return joystick ? new Controller(joystick) : nullptr;
}

} // namespace dinput
