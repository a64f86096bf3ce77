// tarvos_pilot SCENARIO SCRIPT: the real game, started exactly as the tarvos program starts (the
// same seams from the environment, the same state log), played by a pilot that reads the game's
// own state at the start of every frame and presses keys through the same input path the program's
// input script uses. Every key it presses is written to SCRIPT as an input script, so that the
// tarvos program given that script plays the same game frame for frame.
#include "game/asteroid_game.h"
#include "game/state_log.h"
#include "platform/dinput/seams.h"
#include "platform/seams/frame_clock.h"
#include "platform/seams/program_seams.h"
#include "platform/win32/entry/heap_policy.h"
#include "platform/win32/window_seams.h"
#include "tests/play/autopilot.h"

#include <SDL.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using play_test::Aim;
using play_test::PlayKeys;

class Pilot;
// One step of a plan: called once a frame until it reports that it is done.
using Step = std::function<bool(Pilot &)>;

class Pilot {
public:
    Pilot(CMyD3DApplication &app, std::vector<Step> plan) : m_app(app), m_plan(std::move(plan)) {}

    void OnFrame(long frame) {
        m_frame = frame;
        if (frame == kLastFrame) {
            Quit(); // a plan that went wrong still ends, and the test reads why from the log
            return;
        }
        while (m_next < m_plan.size() && m_plan[m_next](*this)) {
            ++m_next;
            m_stepStart = frame;
        }
        for (const std::string &key : m_down)
            if (!m_want.count(key))
                Key(key, false);
        for (const std::string &key : m_want)
            if (!m_down.count(key))
                Key(key, true);
        m_down.swap(m_want);
        m_want.clear();
    }

    // What the steps use.
    CMyD3DApplication &app() { return m_app; }
    long FramesInStep() const { return m_frame - m_stepStart; }
    void Hold(const std::string &key) { m_want.insert(key); }
    void HoldPlayKeys(const PlayKeys &k) {
        const std::pair<bool, const char *> keys[] = {
            {k.left, "LEFT"},     {k.right, "RIGHT"},   {k.up, "UP"},       {k.down, "DOWN"},
            {k.fire, "LCONTROL"}, {k.thrust, "LSHIFT"}, {k.fine, "NUMPAD0"}};
        for (const auto &[on, name] : keys)
            if (on)
                Hold(name);
    }
    void Quit() {
        SDL_Event event{};
        event.type = SDL_QUIT;
        seams::InjectSdlEvent(event);
        m_script += std::to_string(m_frame) + " quit\n";
    }
    const std::string &Script() const { return m_script; }

private:
    static constexpr long kLastFrame = 60000;

    void Key(const std::string &name, bool down) {
        BYTE code = 0;
        if (!seams::DikFromName(name.c_str(), &code)) {
            std::fprintf(stderr, "unknown key %s\n", name.c_str());
            std::exit(3);
        }
        seams::PushKeyEvent(code, down);
        m_script += std::to_string(m_frame) + (down ? " down " : " up ") + name + "\n";
    }

    CMyD3DApplication &m_app;
    std::vector<Step> m_plan;
    size_t m_next = 0;
    long m_frame = -1, m_stepStart = 0;
    std::set<std::string> m_down, m_want; // down now; wanted down this frame
    std::string m_script;
};

// Steps.
Step Wait(long frames) {
    return [frames](Pilot &p) { return p.FramesInStep() >= frames; };
}
Step WaitFor(GameState state, long settle = 0) {
    return [state, settle](Pilot &p) {
        return p.app().m_gameState == state && p.FramesInStep() >= settle;
    };
}
// The key held for one frame, after `delay` frames of this step.
Step Tap(const std::string &key, long delay = 12) {
    return [key, delay](Pilot &p) {
        if (p.FramesInStep() < delay)
            return false;
        if (p.FramesInStep() == delay) {
            p.Hold(key);
            return false;
        }
        return true;
    };
}
// Flies at the nearest target while playing, until `done`; holds nothing in the other states.
Step Fly(Aim aim, bool ram, std::function<bool(CMyD3DApplication &)> done) {
    return [aim, ram, done](Pilot &p) {
        if (done(p.app()))
            return true;
        if (p.app().m_gameState == GameState::Playing)
            p.HoldPlayKeys(play_test::SteerAtTarget(p.app(), aim, ram));
        return false;
    };
}
Step Quit() {
    return [](Pilot &p) {
        p.Quit();
        return true;
    };
}
std::function<bool(CMyD3DApplication &)> InState(GameState state) {
    return [state](CMyD3DApplication &app) { return app.m_gameState == state; };
}
std::function<bool(CMyD3DApplication &)> WaveCleared(INT wave) {
    return [wave](CMyD3DApplication &app) {
        return app.m_nWave > wave || app.m_gameState == GameState::WaveCleared ||
               app.m_gameState == GameState::HallOfFame ||
               app.m_gameState == GameState::InitialsEntry;
    };
}

// From the fly-by to the first wave at the difficulty `moves` steps from NORMAL (negative: up).
std::vector<Step> NewGame(int moves) {
    std::vector<Step> plan = {Wait(5), Tap("RETURN", 0), WaitFor(GameState::MainMenu),
                              Tap("RETURN"), WaitFor(GameState::DifficultyMenu)};
    for (int i = 0; i < (moves < 0 ? -moves : moves); ++i)
        plan.push_back(Tap(moves < 0 ? "UP" : "DOWN"));
    plan.insert(plan.end(), {Tap("RETURN"), WaitFor(GameState::GetReady), Tap("RETURN"),
                             WaitFor(GameState::Playing)});
    return plan;
}

void Append(std::vector<Step> &plan, std::vector<Step> more) {
    plan.insert(plan.end(), more.begin(), more.end());
}

// VERY EASY: wave 1 shot clear; in wave 2 the views, a pause, a trip to the main menu and back,
// and a self-destruct; waves 2 and 3 shot clear; in wave 4 a satellite shot down on purpose.
std::vector<Step> VeryEasy() {
    std::vector<Step> plan = NewGame(-2);
    Append(plan, {Fly(Aim::Bodies, false, WaveCleared(1)), WaitFor(GameState::Playing, 20),
                  Tap("F1"), Tap("F1", 30), Tap("PAUSE", 20), Tap("PAUSE", 50), Tap("ESCAPE", 20),
                  WaitFor(GameState::MainMenu), Tap("RETURN"), WaitFor(GameState::Playing),
                  Tap("F12", 20), WaitFor(GameState::Playing),
                  Fly(Aim::Bodies, false, WaveCleared(2)), WaitFor(GameState::Playing),
                  Fly(Aim::Bodies, false, WaveCleared(3)), WaitFor(GameState::Playing, 50),
                  Fly(Aim::Satellites, false, InState(GameState::LifeLost)),
                  WaitFor(GameState::Playing, 10), Quit()});
    return plan;
}

// SUICIDE: wave 1 shot clear; then the lives go one by one in wave 2: the time limit, a ram, and
// two self-destructs. The game ends into the initials (or the hall of fame), and the program is
// left by EXIT.
std::vector<Step> Suicide() {
    std::vector<Step> plan = NewGame(2);
    Append(plan, {Fly(Aim::Bodies, false, WaveCleared(1)), WaitFor(GameState::Playing),
                  WaitFor(GameState::LifeLost), WaitFor(GameState::Playing),
                  Fly(Aim::Bodies, true, InState(GameState::LifeLost)), WaitFor(GameState::Playing),
                  Tap("F12", 20), WaitFor(GameState::Playing), Tap("F12", 20),
                  WaitFor(GameState::LifeLost), Tap("RETURN", 25),
                  [](Pilot &p) {
                      return p.app().m_gameState == GameState::InitialsEntry ||
                             p.app().m_gameState == GameState::HallOfFame;
                  },
                  Tap("T"), Tap("A"), Tap("R"), Tap("RETURN"), WaitFor(GameState::HallOfFame),
                  Tap("ESCAPE"), WaitFor(GameState::MainMenu)});
    for (int i = 0; i < 4; ++i)
        plan.push_back(Tap("DOWN"));
    Append(plan, {Tap("RETURN"), WaitFor(GameState::Credits), Tap("RETURN")});
    return plan;
}

// EVERY WAVE: the damage cheat typed in wave 1, then all eight waves shot clear through the
// station sequence, to the end of the game and the hall of fame.
std::vector<Step> EveryWave() {
    std::vector<Step> plan = NewGame(-2);
    for (const char *letter : {"Q", "U", "I", "N", "T", "A", "R"})
        plan.push_back(Tap(letter));
    for (INT wave = 1; wave <= 8; ++wave)
        Append(plan, {Fly(Aim::Bodies, false, WaveCleared(wave)), [wave](Pilot &p) {
                          return p.app().m_nWave > wave ||
                                 p.app().m_gameState == GameState::InitialsEntry ||
                                 p.app().m_gameState == GameState::HallOfFame;
                      }});
    Append(plan, {[](Pilot &p) {
                      return p.app().m_gameState == GameState::InitialsEntry ||
                             p.app().m_gameState == GameState::HallOfFame;
                  },
                  Tap("T"), Tap("A"), Tap("R"), Tap("RETURN"), WaitFor(GameState::HallOfFame, 50),
                  Quit()});
    return plan;
}

} // namespace

int main(int argc, char **argv) {
    const std::map<std::string, std::vector<Step> (*)()> scenarios = {
        {"very-easy", VeryEasy}, {"suicide", Suicide}, {"every-wave", EveryWave}};
    if (argc != 3 || !scenarios.count(argv[1])) {
        std::fprintf(stderr, "usage: tarvos_pilot very-easy|suicide|every-wave SCRIPT\n");
        return 2;
    }
    win32::KeepFreedMemoryForReuse(); // as the program's own entry does
    std::string error;
    if (!seams::StartProgramSeams(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    CMyD3DApplication app;
    if (!InstallStateLog(app))
        return 2;
    Pilot pilot(app, scenarios.at(argv[1])());
    seams::OnFrameBegin([&pilot](long frame) { pilot.OnFrame(frame); });
    int code = 0;
    if (SUCCEEDED(app.Startup(GetModuleHandleA(nullptr))))
        code = app.RunMessageLoop();
    std::ofstream(argv[2]) << pilot.Script();
    return code;
}
