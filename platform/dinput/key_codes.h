// Key codes of the keyboard device: SDL scan codes to DIK codes and back, and the keys' names.
#pragma once

#include "platform/win32/types.h"

#include <string_view>

namespace dinput {

// The key code of an SDL scan code; 0 for a key the keyboard record has no place for.
BYTE DikOfScancode(int sdlScancode);
// The SDL scan code of a key code; 0 (SDL_SCANCODE_UNKNOWN) for a code no key has.
int ScancodeOfDik(BYTE dik);
// The key's name without its DIK_ prefix ("RETURN", "NUMPAD0", "F12"); nullptr for a code no key
// has.
const char *DikName(BYTE dik);
// The code of a key name, in any case, with or without the DIK_ prefix; the usual second names
// ("BACKSPACE", "LALT", "PGUP", "UPARROW"...) are understood too. False for an unknown name.
bool DikFromName(std::string_view name, BYTE *dik);

} // namespace dinput
