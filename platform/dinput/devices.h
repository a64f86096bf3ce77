// The three kinds of input device that CreateDevice makes.
#pragma once

#include "platform/dinput/controllers.h"
#include "platform/dinput/device.h"

namespace dinput {

Device *CreateKeyboard();
Device *CreateMouse();
// Null when SDL cannot open the controller (it went away since it was listed).
Device *CreateController(const ControllerInstance &controller);

} // namespace dinput
