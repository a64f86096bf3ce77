// The real tarvos program, headless, through the pages outside play: the 45-second intro and the
// idle cycle of main menu, hall of fame and credits; then a player's way through the options
// (every switch, the slider and a new display mode), the hall of fame, the credits, the difficulty
// menu and out through EXIT, with the key delays, the settings written at exit and the same log on
// every run.
#include "program_run.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#ifdef TARVOS_PROGRAM

namespace {

using play_test::CountColours;
using play_test::ProgramRun;
using play_test::RunTarvos;

enum State {
    Intro = 0,
    MainMenu = 1,
    DifficultyMenu = 2,
    OptionsMenu = 4,
    HallOfFame = 5,
    Credits = 6
};

// The first frame after `from` at which a state timer that restarted at `from` (0 before the
// frame after it) meets `done`, adding `step` each frame as the game does.
long FrameWhen(long from, float step, const std::function<bool(float)> &done) {
    float timer = 0.0f;
    long frame = from;
    do {
        ++frame;
        timer += step;
    } while (!done(timer));
    return frame;
}

std::filesystem::path RunFolder(const std::string &name) {
    return play_test::BinaryDir() / "test-frames" / name;
}

void ExpectStates(const ProgramRun &run, long from, long to, int state) {
    for (long f = from; f <= to; ++f)
        ASSERT_EQ(run.At(f).state, state) << "frame " << f << ": " << run.At(f).text;
}

} // namespace

TEST(MenusProgram, IntroAndIdleCycleFollowTheirTimesFrameByFrame) {
    constexpr float kStep = 0.1f;
    const long intro = FrameWhen(-1, kStep, [](float t) { return t >= 45.0f; });
    const long hall = FrameWhen(intro, kStep, [](float t) { return t > 20.0f; });
    const long credits = FrameWhen(hall, kStep, [](float t) { return t > 20.0f; });
    const long back = FrameWhen(credits, kStep, [](float t) { return t > 20.0f; });
    const long quit = back + 3;
    const ProgramRun run = RunTarvos(RunFolder("menus-idle"), std::to_string(quit) + " quit\n",
                                     kStep, {300, intro + 10, hall + 10, credits + 10});
    ASSERT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.lines.size(), static_cast<size_t>(quit + 2)) << "one line a frame, and frame -1";
    EXPECT_EQ(run.At(-1).state, Intro);
    ExpectStates(run, 0, intro - 1, Intro);
    ExpectStates(run, intro, hall - 1, MainMenu);
    ExpectStates(run, hall, credits - 1, HallOfFame);
    ExpectStates(run, credits, back - 1, Credits);
    ExpectStates(run, back, quit, MainMenu);
    EXPECT_NEAR(intro * kStep, 45.0f, 0.2f);
    EXPECT_NEAR((hall - intro) * kStep, 20.0f, 0.2f);
    EXPECT_EQ(run.At(intro).stateTimer, 0.0f);
    EXPECT_FLOAT_EQ(run.At(quit).stateTimer, (quit - back) * kStep);
    EXPECT_NEAR(play_test::Field(run.At(intro).text, "runningTime"), (intro + 2) * kStep, 0.01)
        << "the second pass into the main menu is a whole update";

    // Every page shows white text; the main menu marks its first item.
    for (long f : {300L, hall + 10, credits + 10})
        EXPECT_GT(CountColours(run.Picture(f)).white, 200) << "frame " << f;
    EXPECT_GT(CountColours(run.Picture(intro + 10)).highlight, 100);
}

TEST(MenusProgram, APlayersWayThroughTheMenusAndOutThroughExit) {
    // Keys are taps (down for one frame) unless held; frames are 0.02 s.
    const std::string script = R"(# Enter ends the intro at once
10 tap RETURN
14 tap DOWN        # 0.08 s after the last key: too soon
20 tap DOWN        # OPTIONS
30 tap RETURN
40 tap RIGHT       # the next display mode
50 tap DOWN
60 tap RETURN      # invert pitch off
70 tap DOWN
80 tap RIGHT       # headlight off
90 tap DOWN
100 tap LEFT       # reflections off
110 tap DOWN
120 tap RETURN     # Brisa Venner off
130 tap DOWN
140 tap LEFT       # sensitivity 4
150 tap LEFT       # sensitivity 3
160 tap DOWN
170 tap RETURN     # DONE: the mode is applied, back to the main menu
180 tap DOWN       # HALL OF FAME
190 tap RETURN
200 tap ESCAPE
210 tap DOWN       # CREDITS
220 tap RETURN
230 tap RETURN
240 tap UP
250 tap UP
260 tap UP         # NEW GAME
270 tap RETURN
279 tap ESCAPE     # 0.18 s: Escape waits 0.2 s here
285 tap ESCAPE
295 tap UP         # from the first item round to EXIT
305 down RETURN    # held into the credits
)";
    const std::vector<long> pictures = {25, 75, 165, 175, 195, 225, 275, 310};
    const ProgramRun run = RunTarvos(RunFolder("menus-path"), script, 0.02, pictures);
    ASSERT_EQ(run.exitCode, 0);
    // The held Enter quits once the credits have lasted more than 0.15 s: the eighth frame.
    ASSERT_EQ(run.lines.size(), 313u + 2u);

    struct Step {
        long frame;
        int state;
        bool accepted; // the key restarted the state timer
    };
    const Step steps[] = {
        {10, MainMenu, true},        {14, MainMenu, false},        {20, MainMenu, true},
        {30, OptionsMenu, true},     {40, OptionsMenu, true},      {60, OptionsMenu, true},
        {150, OptionsMenu, true},    {170, MainMenu, true},        {190, HallOfFame, true},
        {200, MainMenu, true},       {220, Credits, true},         {230, MainMenu, true},
        {270, DifficultyMenu, true}, {279, DifficultyMenu, false}, {285, MainMenu, true},
        {305, Credits, true},        {312, Credits, false},        {313, Credits, false}};
    for (const Step &s : steps) {
        EXPECT_EQ(run.At(s.frame).state, s.state) << run.At(s.frame).text;
        EXPECT_EQ(run.At(s.frame).stateTimer == 0.0f, s.accepted) << run.At(s.frame).text;
    }
    ExpectStates(run, 0, 9, Intro);

    // The options as stored at exit, and the new mode.
    EXPECT_EQ(run.Setting("InvertPitchControl"), 0);
    EXPECT_EQ(run.Setting("Headlight"), 0);
    EXPECT_EQ(run.Setting("Reflection"), 0);
    EXPECT_EQ(run.Setting("Brisa Venner"), 0);
    EXPECT_EQ(run.Setting("SteeringSensitivity"), 3);
    const image::Rgba8Image before = run.Picture(165);
    const image::Rgba8Image after = run.Picture(175);
    EXPECT_EQ(run.Setting("Width"), static_cast<long>(after.width));
    EXPECT_EQ(run.Setting("Height"), static_cast<long>(after.height));
    EXPECT_NE(after.width, before.width);

    // Each page has its texts, and each menu its highlighted item.
    for (long f : pictures) {
        const auto colours = CountColours(run.Picture(f));
        EXPECT_GT(colours.white, 200) << "frame " << f;
        if (f != 195 && f != 225 && f != 310) {
            EXPECT_GT(colours.highlight, 100) << "frame " << f;
        }
    }

    // The same script gives the same log, byte for byte.
    const ProgramRun again = RunTarvos(RunFolder("menus-path-again"), script, 0.02, {});
    EXPECT_EQ(again.log, run.log);
}

#endif
