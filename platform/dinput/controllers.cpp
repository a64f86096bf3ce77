// Attached controllers from SDL's joystick list. An instance GUID is made from SDL's GUID of the
// device (its bus, vendor, product and name) and which of the devices with that GUID it is, so
// it is the same for the same device every time the list is read, in this run and the next.
#include "platform/dinput/controllers.h"

#include <SDL.h>

#include <cstring>
#include <map>

namespace dinput {

namespace {

constexpr WORD kInstanceTag = 0xD1C0;

DWORD fnv1a(const Uint8 *bytes, std::size_t count) {
    DWORD hash = 2166136261u;
    for (std::size_t i = 0; i < count; ++i)
        hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}

GUID productGuid(const SDL_JoystickGUID &sdl) {
    const Uint8 *b = sdl.data;
    GUID guid{};
    guid.Data1 = static_cast<DWORD>(b[0] | b[1] << 8 | b[2] << 16) | static_cast<DWORD>(b[3]) << 24;
    guid.Data2 = static_cast<WORD>(b[4] | b[5] << 8);
    guid.Data3 = static_cast<WORD>(b[6] | b[7] << 8);
    std::memcpy(guid.Data4, b + 8, 8);
    return guid;
}

GUID instanceGuid(const SDL_JoystickGUID &sdl, WORD ordinal) {
    GUID guid{};
    guid.Data1 = fnv1a(sdl.data, sizeof sdl.data);
    guid.Data2 = ordinal;
    guid.Data3 = kInstanceTag;
    std::memcpy(guid.Data4, sdl.data + 8, 8);
    return guid;
}

} // namespace

bool StartControllers() {
    // SDL drops a controller's movement while no SDL window has the keyboard (always so without
    // a desktop); whether the program may read is the devices' foreground rule, not SDL's.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_WasInit(SDL_INIT_JOYSTICK))
        return true;
    return SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

std::vector<ControllerInstance> AttachedControllers() {
    std::vector<ControllerInstance> found;
    if (!StartControllers())
        return found;
    std::map<std::string, WORD> seen; // SDL GUID bytes -> devices with it so far
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index) {
        const SDL_JoystickGUID sdlGuid = SDL_JoystickGetDeviceGUID(index);
        const std::string key(reinterpret_cast<const char *>(sdlGuid.data), sizeof sdlGuid.data);
        const WORD ordinal = seen[key]++;
        const char *name = SDL_JoystickNameForIndex(index);
        const bool pad = SDL_JoystickGetDeviceType(index) == SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        found.push_back({instanceGuid(sdlGuid, ordinal), productGuid(sdlGuid),
                         pad ? DI8DEVTYPE_GAMEPAD : DI8DEVTYPE_JOYSTICK,
                         name ? name : "Game Controller", index});
    }
    return found;
}

std::optional<ControllerInstance> FindController(REFGUID instance) {
    if (instance.Data3 != kInstanceTag)
        return std::nullopt;
    for (ControllerInstance &controller : AttachedControllers())
        if (controller.instance == instance)
            return controller;
    return std::nullopt;
}

} // namespace dinput
