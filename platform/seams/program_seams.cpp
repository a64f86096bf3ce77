#include "platform/seams/program_seams.h"

#include "platform/dinput/seams.h"
#include "platform/dsound/seams.h"
#include "platform/image/image.h"
#include "platform/seams/frame_clock.h"
#include "platform/seams/input_script.h"
#include "platform/win32/seams.h"
#include "platform/win32/window_seams.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace seams {
namespace {

// Fine enough that any step of interest is a whole number of counts, so that every frame's
// elapsed time is the same value.
constexpr LONGLONG kClockFrequency = 1'000'000'000;
// A counter that starts well above zero, as a real one does.
constexpr LONGLONG kClockStart = 1'000'000'000'000'000LL;

struct ScriptRun {
    InputScript script;
    size_t next = 0;     // first command not yet applied
    int controller = -1; // the virtual controller's id, when the script uses one
};

bool ParseStep(const char *text, double &seconds, std::string &error) {
    char *end = nullptr;
    errno = 0;
    seconds = std::strtod(text, &end);
    // A step finer than the clock's count would be no time at all, and the framework runs no
    // update in a frame without time.
    if (end == text || *end != '\0' || errno != 0 || !std::isfinite(seconds) ||
        seconds < 1.0 / static_cast<double>(kClockFrequency) || seconds > 10.0) {
        error = std::string("TARVOS_FIXED_STEP: \"") + text +
                "\" is not a time step in seconds (at least 0.000000001, at most 10)";
        return false;
    }
    return true;
}

void StartFixedStep(double seconds) {
    const LONGLONG ticks = std::llround(seconds * static_cast<double>(kClockFrequency));
    UseVirtualClock(kClockFrequency, kClockStart, 0);
    auto elapsed = std::make_shared<LONGLONG>(0);
    OnFrameBegin([ticks, elapsed](long) {
        AdvanceVirtualClockTicks(ticks);
        *elapsed += ticks;
        SetVirtualTimeGetTime(static_cast<DWORD>(*elapsed / (kClockFrequency / 1000)));
        // The mixer catches up with the clock now, so that sound output keeps pace with frames.
        SyncSoundMixer();
    });
}

void Apply(ScriptRun &run, const ScriptCommand &c) {
    switch (c.kind) {
    case ScriptCommand::Kind::Key:
        PushKeyEvent(static_cast<BYTE>(c.code), c.down);
        break;
    case ScriptCommand::Kind::Mouse:
        PushMouseMotion(c.x, c.y);
        break;
    case ScriptCommand::Kind::MouseButton:
        PushMouseButton(c.code, c.down);
        break;
    case ScriptCommand::Kind::Axis:
        SetVirtualControllerAxis(run.controller, c.code, static_cast<short>(c.x));
        break;
    case ScriptCommand::Kind::PadButton:
        SetVirtualControllerButton(run.controller, c.code, c.down);
        break;
    case ScriptCommand::Kind::Quit: {
        // What the desktop sends when the window is closed: the main window is asked to close.
        SDL_Event event{};
        event.type = SDL_QUIT;
        InjectSdlEvent(event);
        break;
    }
    }
}

bool StartInputScript(const char *path, std::string &error) {
    // A folder, or a file that opens but cannot be read, is refused like a missing one.
    std::vector<std::uint8_t> bytes;
    std::string unread;
    if (!image::ReadFileBytes(path, bytes, unread)) {
        error = std::string("TARVOS_INPUT_SCRIPT: cannot read \"") + path + "\"";
        return false;
    }
    const std::string_view text(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    auto run = std::make_shared<ScriptRun>();
    std::string reason;
    const auto keyCode = [](std::string_view name) -> std::uint8_t {
        BYTE code = 0;
        // A zero byte would end the name early: "RETURN\0junk" is no key.
        if (name.find('\0') != std::string_view::npos)
            return 0;
        return DikFromName(std::string(name).c_str(), &code) ? code : 0;
    };
    if (!ParseInputScript(text, keyCode, run->script, reason)) {
        error = std::string("TARVOS_INPUT_SCRIPT: ") + path + ": " + reason;
        return false;
    }
    if (run->script.UsesController()) {
        // Attached before the program looks for controllers at its start-up.
        run->controller =
            AttachVirtualController("Tarvos script controller", std::max(run->script.axesUsed, 2),
                                    std::max(run->script.padButtonsUsed, 4), 0);
        if (run->controller < 0) {
            error = "TARVOS_INPUT_SCRIPT: cannot attach a virtual game controller";
            return false;
        }
    }
    OnFrameBegin([run](long frame) {
        const auto &commands = run->script.commands;
        while (run->next < commands.size() && commands[run->next].frame <= frame)
            Apply(*run, commands[run->next++]);
    });
    return true;
}

} // namespace

bool StartProgramSeams(std::string &error) {
    const char *step = std::getenv("TARVOS_FIXED_STEP");
    const char *script = std::getenv("TARVOS_INPUT_SCRIPT");
    double seconds = 0.0;
    if (step && *step && !ParseStep(step, seconds, error))
        return false;
    // The time step goes first: a frame's input arrives once its time has passed.
    if (step && *step)
        StartFixedStep(seconds);
    if (script && *script && !StartInputScript(script, error))
        return false;
    if ((step && *step) || (script && *script))
        NumberCapturesByFrame(true);
    return true;
}

} // namespace seams
