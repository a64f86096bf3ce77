// Game controllers over SDL joysticks: enumeration with names and lasting instance GUIDs, axes
// in the range the program sets, points of view and buttons, and unplugging.
#include "input_fixture.h"

#include <map>
#include <string>

namespace {

using namespace input_test;

struct Offered {
    std::string name;
    GUID instance;
};

std::vector<Offered> Controllers(IDirectInput8A *input) {
    std::vector<Offered> offered;
    auto collect = [](const DIDEVICEINSTANCEA *device, void *context) -> BOOL {
        static_cast<std::vector<Offered> *>(context)->push_back(
            {device->tszProductName, device->guidInstance});
        return DIENUM_CONTINUE;
    };
    EXPECT_EQ(input->EnumDevices(DI8DEVCLASS_GAMECTRL, collect, &offered, DIEDFL_ATTACHEDONLY),
              DI_OK);
    return offered;
}

BOOL SetAxisRange(const DIDEVICEOBJECTINSTANCEA *object, void *context) {
    DIPROPRANGE range{};
    range.diph = {sizeof range, sizeof range.diph, object->dwType, DIPH_BYID};
    range.lMin = -2048;
    range.lMax = 2047;
    auto *device = static_cast<IDirectInputDevice8A *>(context);
    return device->SetProperty(DIPROP_RANGE, &range.diph) == DI_OK ? DIENUM_CONTINUE : DIENUM_STOP;
}

class ControllerTest : public InputTest {
protected:
    IDirectInputDevice8A *Open(int id) {
        for (const Offered &offered : Controllers(input))
            if (offered.name == names[id])
                return Make(offered.instance, c_dfDIJoystick2, kExclusiveLevel);
        ADD_FAILURE() << "controller not offered";
        return nullptr;
    }
    int Attach(const char *name, int axes, int buttons, int hats) {
        const int id = seams::AttachVirtualController(name, axes, buttons, hats);
        EXPECT_GE(id, 0);
        names[id] = name;
        return id;
    }
    DIJOYSTATE2 Read(IDirectInputDevice8A *pad) {
        DIJOYSTATE2 state{};
        EXPECT_EQ(pad->Poll(), DI_OK);
        EXPECT_EQ(pad->GetDeviceState(sizeof state, &state), DI_OK);
        return state;
    }
    std::map<int, std::string> names;
};

TEST_F(ControllerTest, AttachedControllersAreOfferedByNameWithLastingDistinctGuids) {
    EXPECT_TRUE(Controllers(input).empty());
    Attach("Flight Stick", 2, 4, 0);
    Attach("Flight Stick", 2, 4, 0);
    const std::vector<Offered> first = Controllers(input);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].name, "Flight Stick");
    EXPECT_NE(first[0].instance, first[1].instance);
    const std::vector<Offered> again = Controllers(input);
    EXPECT_EQ(again[1].instance, first[1].instance);

    IDirectInputDevice8A *device = nullptr;
    EXPECT_EQ(input->CreateDevice(GUID_XAxis, &device, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(device, nullptr);
}

TEST_F(ControllerTest, AxesFollowTheRangeSetAndHatsAndButtonsReadAsTheProgramExpects) {
    const int id = Attach("Motion Controller", 3, 6, 1);
    IDirectInputDevice8A *pad = Open(id);
    ASSERT_NE(pad, nullptr);
    // Until a range is set the axes run over 0..65535.
    seams::SetVirtualControllerAxis(id, 0, -32768);
    EXPECT_EQ(Read(pad).lX, 0);

    ASSERT_EQ(pad->Unacquire(), DI_OK);
    EXPECT_EQ(pad->EnumObjects(SetAxisRange, pad, DIDFT_AXIS), DI_OK);
    ASSERT_EQ(pad->Acquire(), DI_OK);
    const std::pair<short, LONG> points[] = {
        {-32768, -2048}, {32767, 2047}, {0, 0}, {16384, 1023}, {-16384, -1024}};
    for (const auto &[raw, expected] : points) {
        seams::SetVirtualControllerAxis(id, 1, raw);
        EXPECT_EQ(Read(pad).lY, expected) << raw;
    }

    seams::SetVirtualControllerButton(id, 1, true);
    seams::SetVirtualControllerHat(id, 0, SDL_HAT_RIGHTDOWN);
    DIJOYSTATE2 state = Read(pad);
    EXPECT_EQ(state.rgbButtons[0], 0);
    EXPECT_EQ(state.rgbButtons[1], 0x80);
    EXPECT_EQ(state.rgdwPOV[0], 13500u);
    EXPECT_EQ(state.rgdwPOV[1], 0xFFFFFFFFu); // a hat the controller does not have is centred
    seams::SetVirtualControllerHat(id, 0, SDL_HAT_CENTERED);
    EXPECT_EQ(Read(pad).rgdwPOV[0], 0xFFFFFFFFu);
}

TEST_F(ControllerTest, AControllerWithoutAxesHasNoAxisObjectsAndStillReads) {
    const int id = Attach("Button Box", 0, 2, 0);
    IDirectInputDevice8A *pad = Open(id);
    ASSERT_NE(pad, nullptr);
    int axes = 0;
    auto count = [](const DIDEVICEOBJECTINSTANCEA *, void *n) -> BOOL {
        ++*static_cast<int *>(n);
        return DIENUM_CONTINUE;
    };
    EXPECT_EQ(pad->EnumObjects(count, &axes, DIDFT_AXIS), DI_OK);
    EXPECT_EQ(axes, 0);
    seams::SetVirtualControllerButton(id, 0, true);
    const DIJOYSTATE2 state = Read(pad);
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.rgbButtons[0], 0x80);
}

TEST_F(ControllerTest, UnpluggingFailsOnlyTheControllersReads) {
    const int id = Attach("Flight Stick", 2, 2, 0);
    IDirectInputDevice8A *pad = Open(id);
    IDirectInputDevice8A *keyboard = Make(GUID_SysKeyboard, c_dfDIKeyboard, kKeyboardLevel);
    ASSERT_NE(pad, nullptr);
    seams::DetachVirtualController(id);
    DIJOYSTATE2 state{};
    EXPECT_EQ(pad->Poll(), DIERR_INPUTLOST);
    EXPECT_EQ(pad->GetDeviceState(sizeof state, &state), DIERR_INPUTLOST);
    EXPECT_EQ(pad->GetDeviceState(sizeof state, &state), DIERR_NOTACQUIRED);
    EXPECT_EQ(pad->Acquire(), DIERR_UNPLUGGED);
    EXPECT_TRUE(Controllers(input).empty());

    seams::PushKeyEvent(DIK_SPACE, true);
    BYTE keys[256];
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DI_OK);
    EXPECT_EQ(keys[DIK_SPACE], 0x80);
}

} // namespace
