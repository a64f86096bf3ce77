// The text form of a scripted input run: one command per line, "#" starts a comment.
//
//   FRAME down KEY | FRAME up KEY | FRAME tap KEY    a key by its DirectInput name (RETURN, UP...)
//   FRAME mouse DX DY                                 mouse motion
//   FRAME button N down|up                            a mouse button
//   FRAME axis N VALUE                                a game-controller axis, -32768..32767
//   FRAME pad N down|up                               a game-controller button
//   FRAME quit                                        the window's close button
//
// FRAME counts the program's frames from 0 (platform/seams/frame_clock.h). "tap" holds the key
// for that one frame: it is released at FRAME + 1.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace seams {

struct ScriptCommand {
    enum class Kind { Key, Mouse, MouseButton, Axis, PadButton, Quit };
    long frame = 0;
    Kind kind = Kind::Key;
    int code = 0;      // key code, mouse button, axis or controller button
    bool down = false; // keys and buttons
    long x = 0, y = 0; // mouse motion; x is the axis value
};

struct InputScript {
    std::vector<ScriptCommand> commands; // by frame, in file order within a frame
    int axesUsed = 0;                    // highest controller axis named + 1
    int padButtonsUsed = 0;              // highest controller button named + 1
    bool UsesController() const { return axesUsed > 0 || padButtonsUsed > 0; }
};

// A key's code from its name, 0 when there is no such key.
using KeyCodeOfName = std::function<std::uint8_t(std::string_view)>;

// False with `error` naming the line ("line 7: unknown key \"ENTRE\"") on any malformed line.
bool ParseInputScript(std::string_view text, const KeyCodeOfName &keyCode, InputScript &script,
                      std::string &error);

} // namespace seams
