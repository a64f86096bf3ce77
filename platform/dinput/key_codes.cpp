// One table of the 105 keys of a full keyboard: key code, name and SDL scan code. SDL's scan codes
// name physical keys, as the key codes do, so the table is fixed whatever the layout.
#include "platform/dinput/key_codes.h"

#include "platform/dinput/dinput.h"

#include <SDL.h>

#include <array>
#include <cctype>

namespace dinput {

namespace {

struct Key {
    BYTE dik;
    const char *name;
    SDL_Scancode sdl;
};

constexpr Key kKeys[] = {
    {DIK_ESCAPE, "ESCAPE", SDL_SCANCODE_ESCAPE},
    {DIK_1, "1", SDL_SCANCODE_1},
    {DIK_2, "2", SDL_SCANCODE_2},
    {DIK_3, "3", SDL_SCANCODE_3},
    {DIK_4, "4", SDL_SCANCODE_4},
    {DIK_5, "5", SDL_SCANCODE_5},
    {DIK_6, "6", SDL_SCANCODE_6},
    {DIK_7, "7", SDL_SCANCODE_7},
    {DIK_8, "8", SDL_SCANCODE_8},
    {DIK_9, "9", SDL_SCANCODE_9},
    {DIK_0, "0", SDL_SCANCODE_0},
    {DIK_MINUS, "MINUS", SDL_SCANCODE_MINUS},
    {DIK_EQUALS, "EQUALS", SDL_SCANCODE_EQUALS},
    {DIK_BACK, "BACK", SDL_SCANCODE_BACKSPACE},
    {DIK_TAB, "TAB", SDL_SCANCODE_TAB},
    {DIK_Q, "Q", SDL_SCANCODE_Q},
    {DIK_W, "W", SDL_SCANCODE_W},
    {DIK_E, "E", SDL_SCANCODE_E},
    {DIK_R, "R", SDL_SCANCODE_R},
    {DIK_T, "T", SDL_SCANCODE_T},
    {DIK_Y, "Y", SDL_SCANCODE_Y},
    {DIK_U, "U", SDL_SCANCODE_U},
    {DIK_I, "I", SDL_SCANCODE_I},
    {DIK_O, "O", SDL_SCANCODE_O},
    {DIK_P, "P", SDL_SCANCODE_P},
    {DIK_LBRACKET, "LBRACKET", SDL_SCANCODE_LEFTBRACKET},
    {DIK_RBRACKET, "RBRACKET", SDL_SCANCODE_RIGHTBRACKET},
    {DIK_RETURN, "RETURN", SDL_SCANCODE_RETURN},
    {DIK_LCONTROL, "LCONTROL", SDL_SCANCODE_LCTRL},
    {DIK_A, "A", SDL_SCANCODE_A},
    {DIK_S, "S", SDL_SCANCODE_S},
    {DIK_D, "D", SDL_SCANCODE_D},
    {DIK_F, "F", SDL_SCANCODE_F},
    {DIK_G, "G", SDL_SCANCODE_G},
    {DIK_H, "H", SDL_SCANCODE_H},
    {DIK_J, "J", SDL_SCANCODE_J},
    {DIK_K, "K", SDL_SCANCODE_K},
    {DIK_L, "L", SDL_SCANCODE_L},
    {DIK_SEMICOLON, "SEMICOLON", SDL_SCANCODE_SEMICOLON},
    {DIK_APOSTROPHE, "APOSTROPHE", SDL_SCANCODE_APOSTROPHE},
    {DIK_GRAVE, "GRAVE", SDL_SCANCODE_GRAVE},
    {DIK_LSHIFT, "LSHIFT", SDL_SCANCODE_LSHIFT},
    {DIK_BACKSLASH, "BACKSLASH", SDL_SCANCODE_BACKSLASH},
    {DIK_Z, "Z", SDL_SCANCODE_Z},
    {DIK_X, "X", SDL_SCANCODE_X},
    {DIK_C, "C", SDL_SCANCODE_C},
    {DIK_V, "V", SDL_SCANCODE_V},
    {DIK_B, "B", SDL_SCANCODE_B},
    {DIK_N, "N", SDL_SCANCODE_N},
    {DIK_M, "M", SDL_SCANCODE_M},
    {DIK_COMMA, "COMMA", SDL_SCANCODE_COMMA},
    {DIK_PERIOD, "PERIOD", SDL_SCANCODE_PERIOD},
    {DIK_SLASH, "SLASH", SDL_SCANCODE_SLASH},
    {DIK_RSHIFT, "RSHIFT", SDL_SCANCODE_RSHIFT},
    {DIK_MULTIPLY, "MULTIPLY", SDL_SCANCODE_KP_MULTIPLY},
    {DIK_LMENU, "LMENU", SDL_SCANCODE_LALT},
    {DIK_SPACE, "SPACE", SDL_SCANCODE_SPACE},
    {DIK_CAPITAL, "CAPITAL", SDL_SCANCODE_CAPSLOCK},
    {DIK_F1, "F1", SDL_SCANCODE_F1},
    {DIK_F2, "F2", SDL_SCANCODE_F2},
    {DIK_F3, "F3", SDL_SCANCODE_F3},
    {DIK_F4, "F4", SDL_SCANCODE_F4},
    {DIK_F5, "F5", SDL_SCANCODE_F5},
    {DIK_F6, "F6", SDL_SCANCODE_F6},
    {DIK_F7, "F7", SDL_SCANCODE_F7},
    {DIK_F8, "F8", SDL_SCANCODE_F8},
    {DIK_F9, "F9", SDL_SCANCODE_F9},
    {DIK_F10, "F10", SDL_SCANCODE_F10},
    {DIK_NUMLOCK, "NUMLOCK", SDL_SCANCODE_NUMLOCKCLEAR},
    {DIK_SCROLL, "SCROLL", SDL_SCANCODE_SCROLLLOCK},
    {DIK_NUMPAD7, "NUMPAD7", SDL_SCANCODE_KP_7},
    {DIK_NUMPAD8, "NUMPAD8", SDL_SCANCODE_KP_8},
    {DIK_NUMPAD9, "NUMPAD9", SDL_SCANCODE_KP_9},
    {DIK_SUBTRACT, "SUBTRACT", SDL_SCANCODE_KP_MINUS},
    {DIK_NUMPAD4, "NUMPAD4", SDL_SCANCODE_KP_4},
    {DIK_NUMPAD5, "NUMPAD5", SDL_SCANCODE_KP_5},
    {DIK_NUMPAD6, "NUMPAD6", SDL_SCANCODE_KP_6},
    {DIK_ADD, "ADD", SDL_SCANCODE_KP_PLUS},
    {DIK_NUMPAD1, "NUMPAD1", SDL_SCANCODE_KP_1},
    {DIK_NUMPAD2, "NUMPAD2", SDL_SCANCODE_KP_2},
    {DIK_NUMPAD3, "NUMPAD3", SDL_SCANCODE_KP_3},
    {DIK_NUMPAD0, "NUMPAD0", SDL_SCANCODE_KP_0},
    {DIK_DECIMAL, "DECIMAL", SDL_SCANCODE_KP_PERIOD},
    {DIK_OEM_102, "OEM_102", SDL_SCANCODE_NONUSBACKSLASH},
    {DIK_F11, "F11", SDL_SCANCODE_F11},
    {DIK_F12, "F12", SDL_SCANCODE_F12},
    {DIK_NUMPADENTER, "NUMPADENTER", SDL_SCANCODE_KP_ENTER},
    {DIK_RCONTROL, "RCONTROL", SDL_SCANCODE_RCTRL},
    {DIK_DIVIDE, "DIVIDE", SDL_SCANCODE_KP_DIVIDE},
    {DIK_SYSRQ, "SYSRQ", SDL_SCANCODE_PRINTSCREEN},
    {DIK_RMENU, "RMENU", SDL_SCANCODE_RALT},
    {DIK_PAUSE, "PAUSE", SDL_SCANCODE_PAUSE},
    {DIK_HOME, "HOME", SDL_SCANCODE_HOME},
    {DIK_UP, "UP", SDL_SCANCODE_UP},
    {DIK_PRIOR, "PRIOR", SDL_SCANCODE_PAGEUP},
    {DIK_LEFT, "LEFT", SDL_SCANCODE_LEFT},
    {DIK_RIGHT, "RIGHT", SDL_SCANCODE_RIGHT},
    {DIK_END, "END", SDL_SCANCODE_END},
    {DIK_DOWN, "DOWN", SDL_SCANCODE_DOWN},
    {DIK_NEXT, "NEXT", SDL_SCANCODE_PAGEDOWN},
    {DIK_INSERT, "INSERT", SDL_SCANCODE_INSERT},
    {DIK_DELETE, "DELETE", SDL_SCANCODE_DELETE},
    {DIK_LWIN, "LWIN", SDL_SCANCODE_LGUI},
    {DIK_RWIN, "RWIN", SDL_SCANCODE_RGUI},
    {DIK_APPS, "APPS", SDL_SCANCODE_APPLICATION},
};
static_assert(std::size(kKeys) == 105);

// Second names of keys, as keyboard scripts tend to write them.
struct Alias {
    const char *name;
    BYTE dik;
};

constexpr Alias kAliases[] = {
    {"BACKSPACE", DIK_BACK},       {"NUMPADSTAR", DIK_MULTIPLY},  {"LALT", DIK_LMENU},
    {"CAPSLOCK", DIK_CAPITAL},     {"NUMPADMINUS", DIK_SUBTRACT}, {"NUMPADPLUS", DIK_ADD},
    {"NUMPADPERIOD", DIK_DECIMAL}, {"NUMPADSLASH", DIK_DIVIDE},   {"RALT", DIK_RMENU},
    {"UPARROW", DIK_UP},           {"PGUP", DIK_PRIOR},           {"LEFTARROW", DIK_LEFT},
    {"RIGHTARROW", DIK_RIGHT},     {"DOWNARROW", DIK_DOWN},       {"PGDN", DIK_NEXT},
};

struct Tables {
    std::array<BYTE, SDL_NUM_SCANCODES> dikOfScancode{};
    std::array<const Key *, 256> keyOfDik{};
};

const Tables &tables() {
    static const Tables t = [] {
        Tables built;
        for (const Key &key : kKeys) {
            built.dikOfScancode[key.sdl] = key.dik;
            built.keyOfDik[key.dik] = &key;
        }
        // The extra key left of Enter on some keyboards sits where the backslash key is.
        built.dikOfScancode[SDL_SCANCODE_NONUSHASH] = DIK_BACKSLASH;
        return built;
    }();
    return t;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

BYTE DikOfScancode(int sdlScancode) {
    if (sdlScancode <= 0 || sdlScancode >= SDL_NUM_SCANCODES)
        return 0;
    return tables().dikOfScancode[static_cast<std::size_t>(sdlScancode)];
}

int ScancodeOfDik(BYTE dik) {
    const Key *key = tables().keyOfDik[dik];
    return key ? key->sdl : SDL_SCANCODE_UNKNOWN;
}

const char *DikName(BYTE dik) {
    const Key *key = tables().keyOfDik[dik];
    return key ? key->name : nullptr;
}

bool DikFromName(std::string_view name, BYTE *dik) {
    if (name.size() > 4 && sameName(name.substr(0, 4), "DIK_"))
        name.remove_prefix(4);
    for (const Key &key : kKeys) {
        if (sameName(name, key.name)) {
            if (dik)
                *dik = key.dik;
            return true;
        }
    }
    for (const Alias &alias : kAliases) {
        if (sameName(name, alias.name)) {
            if (dik)
                *dik = alias.dik;
            return true;
        }
    }
    return false;
}

} // namespace dinput
