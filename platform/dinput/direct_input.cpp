// The DirectInput object: makes the keyboard, the mouse and game controllers, and lists the
// devices attached.
#include "platform/dinput/controllers.h"
#include "platform/dinput/devices.h"
#include "platform/dinput/input_tracker.h"
#include "platform/dinput/seam_reset.h"
#include "platform/seams/failure_injection.h"

#include <cstring>

namespace dinput {

namespace {

DIDEVICEINSTANCEA instanceOf(const GUID &instance, const GUID &product, DWORD type,
                             const char *name) {
    DIDEVICEINSTANCEA offered{};
    offered.dwSize = sizeof offered;
    offered.guidInstance = instance;
    offered.guidProduct = product;
    offered.dwDevType = type;
    std::strncpy(offered.tszInstanceName, name, sizeof offered.tszInstanceName - 1);
    std::strncpy(offered.tszProductName, name, sizeof offered.tszProductName - 1);
    return offered;
}

class DirectInput final : public RefCounted<IDirectInput8A> {
public:
    HRESULT QueryInterface(REFIID iid, void **object) override {
        return AnswerQuery(iid, {IID_IDirectInput8A}, object);
    }

    HRESULT CreateDevice(REFGUID instance, IDirectInputDevice8A **device,
                         IUnknown *outer) override {
        if (!device)
            return E_POINTER;
        *device = nullptr;
        if (outer)
            return DIERR_NOAGGREGATION;
        HRESULT injected = E_FAIL;
        if (seams::ShouldFail("DirectInput.CreateDevice", &injected))
            return injected;
        Device *created = nullptr;
        if (instance == GUID_SysKeyboard) {
            created = CreateKeyboard();
        } else if (instance == GUID_SysMouse) {
            created = CreateMouse();
        } else if (const auto controller = FindController(instance)) {
            created = CreateController(*controller);
            if (!created)
                return DIERR_UNPLUGGED;
        } else {
            return DIERR_DEVICENOTREG;
        }
        *device = created;
        return DI_OK;
    }

    HRESULT EnumDevices(DWORD deviceClass, LPDIENUMDEVICESCALLBACKA callback, void *context,
                        DWORD) override {
        if (!callback || deviceClass > DI8DEVCLASS_GAMECTRL)
            return DIERR_INVALIDPARAM;
        // Every device listed is attached, so DIEDFL_ATTACHEDONLY changes nothing.
        const bool all = deviceClass == DI8DEVCLASS_ALL;
        if (all || deviceClass == DI8DEVCLASS_KEYBOARD) {
            const auto keyboard =
                instanceOf(GUID_SysKeyboard, GUID_SysKeyboard, DI8DEVTYPE_KEYBOARD, "Keyboard");
            if (callback(&keyboard, context) == DIENUM_STOP)
                return DI_OK;
        }
        if (all || deviceClass == DI8DEVCLASS_POINTER) {
            const auto mouse = instanceOf(GUID_SysMouse, GUID_SysMouse, DI8DEVTYPE_MOUSE, "Mouse");
            if (callback(&mouse, context) == DIENUM_STOP)
                return DI_OK;
        }
        if (all || deviceClass == DI8DEVCLASS_GAMECTRL) {
            for (const ControllerInstance &controller : AttachedControllers()) {
                const auto offered = instanceOf(controller.instance, controller.product,
                                                controller.deviceType, controller.name.c_str());
                if (callback(&offered, context) == DIENUM_STOP)
                    return DI_OK;
            }
        }
        return DI_OK;
    }

private:
    ~DirectInput() override = default;
};

} // namespace

} // namespace dinput

HRESULT DirectInput8Create(HINSTANCE, DWORD version, REFIID iid, void **object, IUnknown *outer) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return DIERR_NOAGGREGATION;
    if (version < DIRECTINPUT_VERSION)
        return DIERR_OLDDIRECTINPUTVERSION;
    if (version > DIRECTINPUT_VERSION)
        return DIERR_BETADIRECTINPUTVERSION;
    if (iid != IID_IDirectInput8A)
        return DIERR_NOINTERFACE;
    HRESULT injected = E_FAIL;
    if (seams::ShouldFail("DirectInput8Create", &injected))
        return injected;
    // Controllers are optional: without SDL's joystick support the list is simply empty.
    dinput::StartControllers();
    dinput::InputTracker::Instance().Watch();
    dinput::RegisterSeamReset();
    *object = static_cast<IDirectInput8A *>(new dinput::DirectInput);
    return DI_OK;
}
