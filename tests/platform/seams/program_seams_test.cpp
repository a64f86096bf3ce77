// The input script's text form and the frame clock that numbers a program's frames.
#include "platform/seams/failure_injection.h"
#include "platform/seams/frame_clock.h"
#include "platform/seams/input_script.h"
#include "platform/seams/program_seams.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::uint8_t KeyCode(std::string_view name) {
    if (name == "RETURN")
        return 0x1C;
    if (name == "UP")
        return 0xC8;
    return 0;
}

std::string ErrorOf(const std::string &text) {
    seams::InputScript script;
    std::string error;
    EXPECT_FALSE(seams::ParseInputScript(text, KeyCode, script, error));
    EXPECT_TRUE(script.commands.empty());
    return error;
}

} // namespace

TEST(InputScript, ReadsEveryCommandInFrameOrderAndATapReleasesNextFrame) {
    seams::InputScript script;
    std::string error;
    ASSERT_TRUE(seams::ParseInputScript("# a comment line\n"
                                        "\n"
                                        "40 quit\n"
                                        "3 tap RETURN   # trailing comment\r\n"
                                        "3 mouse -5 12\n"
                                        "10 button 1 down\n"
                                        "4 axis 1 -32768\n"
                                        "4 pad 9 up\n"
                                        "0 down UP\n"
                                        "20 up UP",
                                        KeyCode, script, error))
        << error;
    using K = seams::ScriptCommand::Kind;
    std::vector<std::pair<long, K>> order;
    for (const auto &c : script.commands)
        order.emplace_back(c.frame, c.kind);
    EXPECT_EQ(order, (std::vector<std::pair<long, K>>{{0, K::Key},
                                                      {3, K::Key},
                                                      {3, K::Mouse},
                                                      {4, K::Key},
                                                      {4, K::Axis},
                                                      {4, K::PadButton},
                                                      {10, K::MouseButton},
                                                      {20, K::Key},
                                                      {40, K::Quit}}));
    EXPECT_TRUE(script.commands[1].down);
    EXPECT_FALSE(script.commands[3].down); // the tap's release
    EXPECT_EQ(script.commands[3].code, 0x1C);
    EXPECT_EQ(script.commands[2].x, -5);
    EXPECT_EQ(script.commands[2].y, 12);
    EXPECT_EQ(script.commands[4].x, -32768);
    EXPECT_EQ(script.axesUsed, 2);
    EXPECT_EQ(script.padButtonsUsed, 10);
    EXPECT_TRUE(script.UsesController());
}

TEST(InputScript, AMalformedLineIsNamedWithTheReason) {
    EXPECT_EQ(ErrorOf("1 tap RETURN\n2 tap ENTRE\n"), "line 2: unknown key \"ENTRE\"");
    EXPECT_EQ(ErrorOf("-1 quit"), "line 1: the frame \"-1\" is not a whole number 0 or above");
    EXPECT_EQ(ErrorOf("\n\n5"), "line 3: a command is missing after the frame");
    EXPECT_EQ(ErrorOf("5 jump"), "line 1: unknown command \"jump\"");
    EXPECT_EQ(ErrorOf("5 quit now"), "line 1: \"quit\" takes 0 arguments");
    EXPECT_EQ(ErrorOf("5 mouse 1 y"), "line 1: mouse motion takes two whole numbers");
    EXPECT_EQ(ErrorOf("5 button 8 down"), "line 1: the button number must be 0 to 7");
    EXPECT_EQ(ErrorOf("5 axis 0 40000"),
              "line 1: an axis position is a whole number from -32768 to 32767");
    EXPECT_EQ(ErrorOf("9223372036854775807 quit"),
              "line 1: the frame \"9223372036854775807\" is too large");
}

TEST(InputScript, AnErrorShowsAHostileWordShortAndPrintable) {
    EXPECT_EQ(ErrorOf("5 tap " + std::string(1000, 'A')),
              "line 1: unknown key \"" + std::string(40, 'A') + "...\"");
    EXPECT_EQ(ErrorOf(std::string("5 tap RE\0T\x7F\xC3\x89\"\\", 15)),
              "line 1: unknown key \"RE\\x00T\\x7F\\xC3\\x89\\x22\\x5C\"");
    EXPECT_EQ(ErrorOf(std::string("\x01\x02 quit", 7)),
              "line 1: the frame \"\\x01\\x02\" is not a whole number 0 or above");
}

// What the program would say at its start with these variables (unset when null).
std::string StartError(const char *step, const char *script) {
    auto set = [](const char *name, const char *value) {
        value ? setenv(name, value, 1) : unsetenv(name);
    };
    set("TARVOS_FIXED_STEP", step);
    set("TARVOS_INPUT_SCRIPT", script);
    std::string error;
    EXPECT_FALSE(seams::StartProgramSeams(error));
    set("TARVOS_FIXED_STEP", nullptr);
    set("TARVOS_INPUT_SCRIPT", nullptr);
    return error;
}

TEST(ProgramSeams, ATimeStepOfNoClockCountAndAScriptThatCannotBeReadStopTheStart) {
    const std::string limits = "is not a time step in seconds (at least 0.000000001, at most 10)";
    EXPECT_EQ(StartError("1e-300", nullptr), "TARVOS_FIXED_STEP: \"1e-300\" " + limits);
    EXPECT_EQ(StartError("0", nullptr), "TARVOS_FIXED_STEP: \"0\" " + limits);

    const auto folder = std::filesystem::temp_directory_path() / "tarvos-script-folder";
    std::filesystem::create_directories(folder);
    EXPECT_EQ(StartError(nullptr, folder.c_str()),
              "TARVOS_INPUT_SCRIPT: cannot read \"" + folder.string() + "\"");
    // A zero byte inside a key name does not cut the name short into a known key.
    const auto script = folder / "script.txt";
    std::ofstream(script) << std::string("5 tap RETURN\0x\n", 15);
    EXPECT_EQ(StartError(nullptr, script.c_str()),
              "TARVOS_INPUT_SCRIPT: " + script.string() + ": line 1: unknown key \"RETURN\\x00x\"");
    std::filesystem::remove_all(folder);
}

TEST(FrameClock, NumbersFramesAndEndsOnceAtTheFirstClose) {
    seams::ResetAll();
    std::vector<std::string> events;
    seams::OnFrameBegin([&](long f) { events.push_back("begin " + std::to_string(f)); });
    seams::OnFramesEnd([&](long f) { events.push_back("end " + std::to_string(f)); });
    seams::NoteWindowClosing(); // a close before any frame (a failed start-up) ends nothing
    EXPECT_EQ(seams::CurrentFrame(), -1);
    seams::NoteFrameBegins();
    seams::NoteFrameBegins();
    seams::NoteWindowClosing();
    seams::NoteWindowClosing();
    EXPECT_EQ(events, (std::vector<std::string>{"begin 0", "begin 1", "end 1"}));
    seams::ResetAll();
    EXPECT_EQ(seams::CurrentFrame(), -1);
    EXPECT_FALSE(seams::CapturesNumberedByFrame());
}
