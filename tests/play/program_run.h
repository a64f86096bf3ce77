// Runs the real tarvos program headless in its media folder with a fixed time step, an input
// script, a state log and frame capture, and reads back what it left: the log, the captured
// pictures and the settings store.
#pragma once

#include "platform/image/image.h"
#include "tests/build_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace play_test {

// One line of the state log, with the fields these tests read.
struct LogLine {
    long frame = 0;
    int state = 0;
    float stateTimer = 0.0f;
    std::string text;
};

// A number after "key": in a log line (the first such key).
inline double Field(const std::string &line, const std::string &key) {
    const std::string tag = "\"" + key + "\":";
    const size_t at = line.find(tag);
    return at == std::string::npos ? -1e30 : std::strtod(line.c_str() + at + tag.size(), nullptr);
}

struct ProgramRun {
    int exitCode = -1;
    std::vector<LogLine> lines; // lines[i] is frame i - 1
    std::string log;
    std::filesystem::path frames;
    std::filesystem::path settings;

    // The log line of a frame (-1 for the one before the first frame).
    const LogLine &At(long frame) const { return lines.at(static_cast<size_t>(frame + 1)); }
    image::Rgba8Image Picture(long frame) const {
        image::Rgba8Image picture;
        std::vector<std::uint8_t> bytes;
        std::string error;
        const auto path = frames / ("frame-" + std::to_string(frame + 1) + ".png");
        EXPECT_TRUE(image::ReadFileBytes(path.string(), bytes, error)) << error;
        EXPECT_TRUE(image::DecodePng(bytes, picture, error)) << error;
        return picture;
    }
    // A DWORD value of the game's settings as the program stored them at exit.
    long Setting(const std::string &name) const {
        std::ifstream file(settings / "tarvos" / "current_user.reg");
        std::string line;
        const std::string tag = "value \"" + name + "\" 4 4 ";
        while (std::getline(file, line)) {
            if (line.rfind(tag, 0) != 0)
                continue;
            const std::string hex = line.substr(tag.size());
            long value = 0;
            for (int byte = 3; byte >= 0; --byte)
                value = value * 256 +
                        std::stol(hex.substr(static_cast<size_t>(byte) * 2, 2), nullptr, 16);
            return value;
        }
        return -1;
    }
};

using test_support::BinaryDir;

// Runs `program` with `arguments` as tarvos is run: in the media folder, with `script` at `step`
// seconds a frame, keeping the pictures of `frames` (frame numbers). Everything it writes goes
// under `folder`.
inline ProgramRun RunProgram(const std::string &program, const std::vector<std::string> &arguments,
                             const std::filesystem::path &folder, const std::string &script,
                             double step, const std::vector<long> &frames) {
    ProgramRun run;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "frames");
    std::filesystem::create_directories(folder / "settings");
    run.frames = folder / "frames";
    run.settings = folder / "settings";
    std::ofstream(folder / "script.txt") << script;
    std::string pictures;
    for (long f : frames)
        pictures += (pictures.empty() ? "" : ",") + std::to_string(f + 1);

    std::vector<std::string> env;
    for (char **e = environ; *e; ++e)
        if (std::strncmp(*e, "TARVOS_", 7) != 0 && std::strncmp(*e, "XDG_CONFIG_HOME=", 16) != 0)
            env.emplace_back(*e);
    std::ostringstream stepText;
    stepText.precision(17);
    stepText << step;
    env.push_back("TARVOS_FIXED_STEP=" + stepText.str());
    env.push_back("TARVOS_INPUT_SCRIPT=" + (folder / "script.txt").string());
    env.push_back("TARVOS_STATE_LOG=" + (folder / "state.jsonl").string());
    env.push_back("TARVOS_CAPTURE_DIR=" + run.frames.string());
    env.push_back("TARVOS_CAPTURE_FRAMES=" + pictures);
    env.push_back("XDG_CONFIG_HOME=" + run.settings.string());
    env.push_back("SDL_VIDEODRIVER=offscreen");
    env.push_back("SDL_AUDIODRIVER=dummy");
    std::vector<char *> envp;
    for (std::string &e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    const std::string media = (BinaryDir() / "media").string();
    std::vector<char *> argv{const_cast<char *>(program.c_str())};
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(media.c_str()) != 0)
            _exit(126);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);

    std::ifstream log(folder / "state.jsonl");
    std::stringstream all;
    all << log.rdbuf();
    run.log = all.str();
    std::istringstream lines(run.log);
    std::string text;
    while (std::getline(lines, text)) {
        LogLine line;
        line.frame = static_cast<long>(Field(text, "frame"));
        line.state = static_cast<int>(Field(text, "state"));
        line.stateTimer = static_cast<float>(Field(text, "stateTimer"));
        line.text = text;
        run.lines.push_back(line);
    }
    return run;
}

// The tarvos program run so.
inline ProgramRun RunTarvos(const std::filesystem::path &folder, const std::string &script,
                            double step, const std::vector<long> &frames) {
    return RunProgram(TARVOS_PROGRAM, {}, folder, script, step, frames);
}

// Pixels of the menus' highlight colour (orange) and of their white text in a picture.
struct Colours {
    long highlight = 0;
    long white = 0;
};
inline Colours CountColours(const image::Rgba8Image &picture) {
    Colours c;
    for (size_t i = 0; i + 3 < picture.pixels.size(); i += 4) {
        const int r = picture.pixels[i], g = picture.pixels[i + 1], b = picture.pixels[i + 2];
        c.highlight += r > 200 && g > 110 && g < 200 && b < 90;
        c.white += r > 220 && g > 220 && b > 220;
    }
    return c;
}

} // namespace play_test
