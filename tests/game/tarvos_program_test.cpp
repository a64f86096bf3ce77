// The real program, started the way a player starts it: in its media folder, with its own settings
// folder, headless. It must come up, draw the attract fly-by and end cleanly when its window is
// closed by the desktop (a termination request closes the main window).
#include "tests/game/device_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

TEST(TarvosProgram, StartsDrawsTheFlyByAndEndsCleanlyWhenClosed) {
    const fs::path binary = game_test::BinaryDir();
    const fs::path program = binary / "game" / "tarvos";
    ASSERT_TRUE(fs::exists(program));
    const fs::path work = fs::temp_directory_path() / ("tarvos-program-" + std::to_string(getpid()));
    fs::create_directories(work / "config");
    fs::create_directories(work / "frames");

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (chdir((binary / "media").c_str()) != 0)
            _exit(90);
        setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1);
        setenv("TARVOS_CAPTURE_DIR", (work / "frames").c_str(), 1);
        setenv("TARVOS_CAPTURE_FRAMES", "1,30", 1);
        execl(program.c_str(), "tarvos", static_cast<char *>(nullptr));
        _exit(91);
    }

    // The thirtieth frame on screen means the game is running its loop.
    const fs::path last = work / "frames" / "frame-30.png";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    bool exitedEarly = false;
    while (!fs::exists(last) && std::chrono::steady_clock::now() < deadline) {
        if (waitpid(child, &status, WNOHANG) == child) {
            exitedEarly = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_FALSE(exitedEarly) << "the program ended by itself, status " << status;
    kill(child, SIGTERM);
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status)) << "status " << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);

    for (const std::string name : {"frame-1", "frame-30"}) {
        std::vector<std::uint8_t> bytes;
        image::Rgba8Image frame;
        std::string error;
        ASSERT_TRUE(image::ReadFileBytes((work / "frames" / (name + ".png")).string(), bytes, error)) << error;
        ASSERT_TRUE(image::DecodePng(bytes, frame, error)) << error;
        // The fly-by starts under the starry sky: some bright stars, mostly dark space.
        int stars = 0;
        for (size_t i = 0; i < frame.pixels.size(); i += 4)
            stars += std::max({frame.pixels[i], frame.pixels[i + 1], frame.pixels[i + 2]}) > 128;
        EXPECT_GT(stars, 50) << name;
        EXPECT_LT(stars, int(frame.width * frame.height / 4)) << name;
        game_test::KeepFrame(frame, "tarvos-" + name);
    }
    fs::remove_all(work);
}

} // namespace
