// Test seams of the input devices: SDL events as real devices make them, virtual controllers and
// the devices' state set directly.
#include "platform/dinput/seams.h"

#include "platform/dinput/controllers.h"
#include "platform/dinput/input_tracker.h"
#include "platform/dinput/key_codes.h"
#include "platform/dinput/seam_reset.h"
#include "platform/seams/failure_injection.h"
#include "platform/win32/activation.h"
#include "platform/win32/window.h"

#include <SDL.h>

#include <algorithm>
#include <map>
#include <mutex>

namespace {

struct Pointer {
    std::mutex lock;
    int x = -1; // -1 until the first move: then the middle of the window
    int y = -1;
};

Pointer &pointer() {
    static Pointer p;
    return p;
}

std::mutex &virtualsLock() {
    static std::mutex lock;
    return lock;
}

// The seam's own open handle of each virtual controller, by id.
std::map<int, SDL_Joystick *> &virtuals() {
    static std::map<int, SDL_Joystick *> v;
    return v;
}

SDL_Window *focusWindow() {
    return win32::SdlWindowOf(win32::ActiveWindow());
}

Uint32 focusWindowId() {
    SDL_Window *window = focusWindow();
    return window ? SDL_GetWindowID(window) : 0;
}

void push(SDL_Event &event) {
    dinput::RegisterSeamReset();
    // The events have to be seen however the program was started.
    dinput::InputTracker::Instance().Watch();
    SDL_PushEvent(&event);
}

Uint16 modifiers() {
    dinput::InputTracker &keys = dinput::InputTracker::Instance();
    const std::pair<BYTE, Uint16> held[] = {
        {DIK_LSHIFT, KMOD_LSHIFT},  {DIK_RSHIFT, KMOD_RSHIFT}, {DIK_LCONTROL, KMOD_LCTRL},
        {DIK_RCONTROL, KMOD_RCTRL}, {DIK_LMENU, KMOD_LALT},    {DIK_RMENU, KMOD_RALT},
        {DIK_LWIN, KMOD_LGUI},      {DIK_RWIN, KMOD_RGUI},
    };
    Uint16 mod = KMOD_NONE;
    for (const auto &[dik, flag] : held)
        if (keys.KeyDown(dik))
            mod |= flag;
    return mod;
}

Uint32 heldButtons() {
    Uint32 mask = 0;
    for (int button = 0; button < 8; ++button)
        if (dinput::InputTracker::Instance().MouseButtonDown(button))
            mask |= SDL_BUTTON(dinput::SdlOfMouseButton(button));
    return mask;
}

// Moves the pointer by (dx, dy) within the window and returns where it is.
SDL_Point movePointer(LONG dx, LONG dy) {
    int width = 640;
    int height = 480;
    if (SDL_Window *window = focusWindow())
        SDL_GetWindowSize(window, &width, &height);
    Pointer &p = pointer();
    std::lock_guard guard(p.lock);
    if (p.x < 0) {
        p.x = width / 2;
        p.y = height / 2;
    }
    p.x = static_cast<int>(std::clamp<long long>(p.x + static_cast<long long>(dx), 0, width - 1));
    p.y = static_cast<int>(std::clamp<long long>(p.y + static_cast<long long>(dy), 0, height - 1));
    return {p.x, p.y};
}

SDL_Joystick *virtualController(int id) {
    std::lock_guard guard(virtualsLock());
    const auto it = virtuals().find(id);
    return it == virtuals().end() ? nullptr : it->second;
}

int deviceIndexOf(int id) {
    for (int index = 0; index < SDL_NumJoysticks(); ++index)
        if (SDL_JoystickGetDeviceInstanceID(index) == id)
            return index;
    return -1;
}

void detachAll() {
    std::map<int, SDL_Joystick *> attached;
    {
        std::lock_guard guard(virtualsLock());
        attached.swap(virtuals());
    }
    for (const auto &[id, joystick] : attached) {
        if (const int index = deviceIndexOf(id); index >= 0)
            SDL_JoystickDetachVirtual(index);
        SDL_JoystickClose(joystick);
    }
}

} // namespace

namespace dinput {

void RegisterSeamReset() {
    static std::once_flag once;
    std::call_once(once, [] {
        seams::RegisterReset([] {
            detachAll();
            InputTracker::Instance().ReleaseAll();
        });
    });
}

} // namespace dinput

namespace seams {

bool DikFromName(const char *name, BYTE *dik) {
    return name && dinput::DikFromName(name, dik);
}

void PushKeyEvent(BYTE dik, bool down) {
    const int scancode = dinput::ScancodeOfDik(dik);
    if (scancode == SDL_SCANCODE_UNKNOWN)
        return;
    const bool wasDown = dinput::InputTracker::Instance().KeyDown(dik);
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = focusWindowId();
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = down && wasDown ? 1 : 0; // a key held down repeats
    event.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
    event.key.keysym.sym = SDL_GetKeyFromScancode(event.key.keysym.scancode);
    // The modifiers held as the key goes down or up, itself included, as SDL reports them.
    dinput::InputTracker::Instance().SetKey(dik, down);
    event.key.keysym.mod = modifiers();
    dinput::InputTracker::Instance().SetKey(dik, wasDown);
    push(event);
}

void PushMouseMotion(LONG dx, LONG dy) {
    const SDL_Point at = movePointer(dx, dy);
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = focusWindowId();
    event.motion.state = heldButtons();
    event.motion.x = at.x;
    event.motion.y = at.y;
    event.motion.xrel = static_cast<Sint32>(dx);
    event.motion.yrel = static_cast<Sint32>(dy);
    push(event);
}

void PushMouseButton(int button, bool down) {
    const Uint8 sdlButton = dinput::SdlOfMouseButton(button);
    if (!sdlButton)
        return;
    const SDL_Point at = movePointer(0, 0);
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = focusWindowId();
    event.button.button = sdlButton;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = at.x;
    event.button.y = at.y;
    push(event);
}

void PushMouseWheel(int notches) {
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.windowID = focusWindowId();
    event.wheel.y = notches;
    event.wheel.preciseY = static_cast<float>(notches);
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    push(event);
}

int AttachVirtualController(const char *name, int axes, int buttons, int hats) {
    dinput::RegisterSeamReset();
    if (axes < 0 || buttons < 0 || hats < 0 || !dinput::StartControllers())
        return -1;
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = static_cast<Uint16>(axes);
    desc.nbuttons = static_cast<Uint16>(buttons);
    desc.nhats = static_cast<Uint16>(hats);
    desc.name = name ? name : "Virtual Controller";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0)
        return -1;
    SDL_Joystick *joystick = SDL_JoystickOpen(index);
    if (!joystick) {
        SDL_JoystickDetachVirtual(index);
        return -1;
    }
    const int id = SDL_JoystickInstanceID(joystick);
    std::lock_guard guard(virtualsLock());
    virtuals()[id] = joystick;
    return id;
}

void SetVirtualControllerAxis(int id, int axis, short rawValue) {
    if (SDL_Joystick *joystick = virtualController(id))
        SDL_JoystickSetVirtualAxis(joystick, axis, rawValue);
}

void SetVirtualControllerButton(int id, int button, bool down) {
    if (SDL_Joystick *joystick = virtualController(id))
        SDL_JoystickSetVirtualButton(joystick, button, down ? SDL_PRESSED : SDL_RELEASED);
}

void SetVirtualControllerHat(int id, int hat, BYTE sdlHat) {
    if (SDL_Joystick *joystick = virtualController(id))
        SDL_JoystickSetVirtualHat(joystick, hat, sdlHat);
}

void DetachVirtualController(int id) {
    SDL_Joystick *joystick = nullptr;
    {
        std::lock_guard guard(virtualsLock());
        const auto it = virtuals().find(id);
        if (it == virtuals().end())
            return;
        joystick = it->second;
        virtuals().erase(it);
    }
    if (const int index = deviceIndexOf(id); index >= 0)
        SDL_JoystickDetachVirtual(index);
    SDL_JoystickClose(joystick);
}

void SetScriptedKey(BYTE dik, bool down) {
    dinput::RegisterSeamReset();
    dinput::InputTracker::Instance().SetKey(dik, down);
}

void ReleaseScriptedInput() {
    dinput::InputTracker::Instance().ReleaseAll();
}

} // namespace seams
