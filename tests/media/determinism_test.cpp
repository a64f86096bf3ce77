// The generator is deterministic: two runs write the same bytes. The run time is reported, not
// asserted (tests never depend on the machine's speed).
#include "tests/media/media_loaders.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>

using namespace mediatest;
namespace fs = std::filesystem;

namespace {

fs::path RunGenerator(const std::string &tag, double &seconds) {
    fs::path dir =
        fs::temp_directory_path() / ("tarvos-media-" + tag + "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    std::string command =
        std::string("\"") + TARVOS_MEDIAGEN_PATH + "\" \"" + dir.string() + "\" > /dev/null";
    auto start = std::chrono::steady_clock::now();
    int rc = std::system(command.c_str());
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(rc, 0) << command;
    return dir;
}

} // namespace

TEST(Generator, TwoRunsWriteIdenticalFiles) {
    double first = 0, second = 0;
    fs::path a = RunGenerator("a", first), b = RunGenerator("b", second);
    std::printf("generator run time: %.2f s and %.2f s\n", first, second);
    std::size_t count = 0;
    for (const auto &e : fs::directory_iterator(a)) {
        auto name = e.path().filename();
        ASSERT_TRUE(fs::exists(b / name)) << name;
        EXPECT_TRUE(ReadPath(e.path().string()) == ReadPath((b / name).string())) << name;
        ++count;
    }
    std::size_t countB = std::distance(fs::directory_iterator(b), fs::directory_iterator());
    EXPECT_EQ(count, countB);
    EXPECT_GE(count, 144u);
    // Nothing but the game's files: the fixed names and the textures the meshes name.
    std::set<std::string> expected;
    for (const auto &n : FixedNames()) {
        expected.insert(n);
        if (n.ends_with(".x")) {
            for (const auto &mat : LoadMesh(n).materials) {
                if (mat.hasTexture) {
                    expected.insert(mat.textureFilename);
                }
            }
        }
    }
    EXPECT_EQ(count, expected.size());
    for (const auto &e : fs::directory_iterator(a)) {
        EXPECT_TRUE(expected.count(e.path().filename().string())) << e.path();
    }
    // And they match what the build put in its media folder.
    for (const auto &e : fs::directory_iterator(a)) {
        EXPECT_TRUE(ReadPath(e.path().string()) == ReadMedia(e.path().filename().string()))
            << e.path().filename();
    }
    fs::remove_all(a);
    fs::remove_all(b);
}

TEST(Generator, RefusesAMissingOrUnwritableFolder) {
    std::string usage = std::string("\"") + TARVOS_MEDIAGEN_PATH + "\" > /dev/null 2>&1";
    EXPECT_NE(std::system(usage.c_str()), 0);
    std::string blocked =
        std::string("\"") + TARVOS_MEDIAGEN_PATH + "\" /proc/version/media > /dev/null 2>&1";
    EXPECT_NE(std::system(blocked.c_str()), 0);
}
