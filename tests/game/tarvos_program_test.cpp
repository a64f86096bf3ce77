// The real program, started the way a player starts it: in its media folder, with its own settings
// folder, headless. It must come up, draw the attract fly-by and end cleanly when the desktop
// closes its window (a termination request closes the main window).
#include "tests/game/device_fixture.h"

#include <chrono>
#include <csignal>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

TEST(TarvosProgram, StartsDrawsTheFlyByAndEndsCleanlyWhenClosed) {
    namespace fs = std::filesystem;
    const fs::path binary = game_test::BinaryDir(), frames = binary / "test-frames";
    const fs::path config =
        fs::temp_directory_path() / ("tarvos-program-" + std::to_string(getpid()));
    fs::create_directories(config);
    fs::create_directories(frames);
    fs::remove(frames / "frame-30.png");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setenv("TARVOS_CAPTURE_DIR", frames.c_str(), 1);
        setenv("TARVOS_CAPTURE_FRAMES", "30", 1);
        if (chdir((binary / "media").c_str()) == 0)
            execl((binary / "game" / "tarvos").c_str(), "tarvos", static_cast<char *>(nullptr));
        _exit(90);
    }
    // The thirtieth frame presented means the game runs its loop.
    int status = 0;
    for (int wait = 0; wait < 3000 && !fs::exists(frames / "frame-30.png"); ++wait) {
        ASSERT_EQ(waitpid(child, &status, WNOHANG), 0) << "ended by itself, status " << status;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(child, SIGTERM);
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_FALSE(fs::is_empty(config)) << "the settings are saved on the way out";
    fs::remove_all(config);

    // The fly-by starts under the starry sky.
    std::vector<std::uint8_t> bytes;
    image::Rgba8Image frame;
    std::string error;
    ASSERT_TRUE(image::ReadFileBytes((frames / "frame-30.png").string(), bytes, error) &&
                image::DecodePng(bytes, frame, error))
        << error;
    EXPECT_GT(*std::max_element(frame.pixels.begin(), frame.pixels.end()), 200);
    fs::rename(frames / "frame-30.png", frames / "tarvos-frame-30.png");
}
