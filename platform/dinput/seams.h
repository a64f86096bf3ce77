// Test seams of the input devices. Nothing here changes behaviour until a test uses it.
//
// Two ways to make input. The Push* helpers push the SDL events a real device would make, so the
// input travels the whole way a player's does (SDL's queue, the window messages, the devices);
// the real program's input script uses them too. The Scripted* calls set what the devices read
// directly, without SDL. Virtual controllers are SDL joysticks, attached and detached at will.
//
// Failure points for seams::InjectFailure: "DirectInput8Create", "DirectInput.CreateDevice", and
// per device kind ("Keyboard", "Mouse", "Controller") "<kind>.SetDataFormat",
// "<kind>.SetCooperativeLevel", "<kind>.Acquire" and "<kind>.GetDeviceState".
#pragma once

#include "platform/win32/types.h"

namespace seams {

// The key code of a key name ("RETURN", "numpad0", "DIK_F12", "PGUP"); false when unknown.
bool DikFromName(const char *name, BYTE *dik);

// An SDL key event for the window with focus (the active window).
void PushKeyEvent(BYTE dik, bool down);
// SDL mouse events: relative movement, a button by its DirectInput number (0 left, 1 right,
// 2 middle, 3..7 the extra buttons), the wheel by notches (away from the user positive).
void PushMouseMotion(LONG dx, LONG dy);
void PushMouseButton(int button, bool down);
void PushMouseWheel(int notches);

// A virtual SDL joystick with that product name; returns its id, or -1 when SDL refuses.
int AttachVirtualController(const char *name, int axes, int buttons, int hats);
// Raw SDL units (-32768..32767); a device scales them into the range the program set. The values
// reach SDL's joystick when it next updates (a device's Poll, or the message pump).
void SetVirtualControllerAxis(int id, int axis, short rawValue);
void SetVirtualControllerButton(int id, int button, bool down);
// `sdlHat` is an SDL_HAT_* value.
void SetVirtualControllerHat(int id, int hat, BYTE sdlHat);
// Unplugs it: a device made for it fails its reads from then on.
void DetachVirtualController(int id);

// What the keyboard device reads, set without SDL.
void SetScriptedKey(BYTE dik, bool down);
// Every key and button up (also done by seams::ResetAll, which detaches virtual controllers too).
void ReleaseScriptedInput();

} // namespace seams
