// The game controllers attached now, as EnumDevices offers them: every SDL joystick with its
// product name and an instance GUID that stays the same for the same device.
#pragma once

#include "platform/dinput/dinput.h"

#include <optional>
#include <string>
#include <vector>

namespace dinput {

struct ControllerInstance {
    GUID instance;
    GUID product;
    DWORD deviceType; // DI8DEVTYPE_*
    std::string name;
    int sdlDeviceIndex;
};

// Starts SDL's controller support (once; it stays for the life of the process).
bool StartControllers();

std::vector<ControllerInstance> AttachedControllers();
std::optional<ControllerInstance> FindController(REFGUID instance);

} // namespace dinput
