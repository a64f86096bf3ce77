// The predefined data formats: which object of a device lands where in the state record.
#include "platform/dinput/dinput.h"

#include <array>
#include <cstddef>

namespace {

constexpr DWORD kMouseButtons = offsetof(DIMOUSESTATE2, rgbButtons);
constexpr DWORD kControllerPovs = offsetof(DIJOYSTATE2, rgdwPOV);
constexpr DWORD kControllerButtons = offsetof(DIJOYSTATE2, rgbButtons);

constexpr DWORD kAnyAxis = DIDFT_AXIS | DIDFT_ANYINSTANCE;
constexpr DWORD kAnyButton = DIDFT_BUTTON | DIDFT_ANYINSTANCE;
constexpr DWORD kAnyPov = DIDFT_POV | DIDFT_ANYINSTANCE;

constexpr std::array<DIOBJECTDATAFORMAT, 256> kKeyboardObjects = [] {
    std::array<DIOBJECTDATAFORMAT, 256> objects{};
    for (DWORD key = 0; key < 256; ++key)
        objects[key] = {&GUID_Key, key, DIDFT_BUTTON | DIDFT_OPTIONAL | DIDFT_MAKEINSTANCE(key), 0};
    return objects;
}();

constexpr std::array<DIOBJECTDATAFORMAT, 11> kMouseObjects = [] {
    std::array<DIOBJECTDATAFORMAT, 11> objects{};
    objects[0] = {&GUID_XAxis, offsetof(DIMOUSESTATE2, lX), kAnyAxis, 0};
    objects[1] = {&GUID_YAxis, offsetof(DIMOUSESTATE2, lY), kAnyAxis, 0};
    objects[2] = {&GUID_ZAxis, offsetof(DIMOUSESTATE2, lZ), kAnyAxis | DIDFT_OPTIONAL, 0};
    for (DWORD button = 0; button < 8; ++button) {
        // A mouse has at least one button; the others are optional.
        const DWORD optional = button == 0 ? 0 : DIDFT_OPTIONAL;
        objects[3 + button] = {nullptr, kMouseButtons + button, kAnyButton | optional, 0};
    }
    return objects;
}();

// The eight axis slots of one block of the controller record (position, velocity, acceleration
// or force), in record order.
constexpr const GUID *kAxisGuids[8] = {&GUID_XAxis,  &GUID_YAxis,  &GUID_ZAxis,  &GUID_RxAxis,
                                       &GUID_RyAxis, &GUID_RzAxis, &GUID_Slider, &GUID_Slider};

constexpr std::array<DIOBJECTDATAFORMAT, 164> kControllerObjects = [] {
    std::array<DIOBJECTDATAFORMAT, 164> objects{};
    std::size_t n = 0;
    auto axisBlock = [&](DWORD firstOffset, DWORD aspect) {
        for (DWORD slot = 0; slot < 8; ++slot)
            objects[n++] = {kAxisGuids[slot], firstOffset + slot * 4, kAnyAxis | DIDFT_OPTIONAL,
                            aspect};
    };
    axisBlock(offsetof(DIJOYSTATE2, lX), DIDOI_ASPECTPOSITION);
    for (DWORD pov = 0; pov < 4; ++pov)
        objects[n++] = {&GUID_POV, kControllerPovs + pov * 4, kAnyPov | DIDFT_OPTIONAL, 0};
    for (DWORD button = 0; button < 128; ++button)
        objects[n++] = {nullptr, kControllerButtons + button, kAnyButton | DIDFT_OPTIONAL, 0};
    axisBlock(offsetof(DIJOYSTATE2, lVX), DIDOI_ASPECTVELOCITY);
    axisBlock(offsetof(DIJOYSTATE2, lAX), DIDOI_ASPECTACCEL);
    axisBlock(offsetof(DIJOYSTATE2, lFX), DIDOI_ASPECTFORCE);
    return objects;
}();

constexpr DIDATAFORMAT makeFormat(DWORD flags, DWORD dataSize, const auto &objects) {
    return {sizeof(DIDATAFORMAT),
            sizeof(DIOBJECTDATAFORMAT),
            flags,
            dataSize,
            static_cast<DWORD>(objects.size()),
            objects.data()};
}

} // namespace

const DIDATAFORMAT c_dfDIKeyboard = makeFormat(DIDF_RELAXIS, 256, kKeyboardObjects);
const DIDATAFORMAT c_dfDIMouse2 = makeFormat(DIDF_RELAXIS, sizeof(DIMOUSESTATE2), kMouseObjects);
const DIDATAFORMAT c_dfDIJoystick2 =
    makeFormat(DIDF_ABSAXIS, sizeof(DIJOYSTATE2), kControllerObjects);
