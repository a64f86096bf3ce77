// The build folder the tests read the generated media from and keep their pictures in. ctest names
// it; a test program run by hand finds it above itself, so that a test that works inside the media
// folder never leaves its pictures there.
#pragma once

#include "platform/image/image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace test_support {

inline std::filesystem::path BinaryDir() {
    if (const char *binary = std::getenv("TARVOS_BINARY_DIR"))
        return binary;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        for (std::filesystem::path folder = program.parent_path(); folder.has_relative_path();
             folder = folder.parent_path()) {
            if (std::filesystem::exists(folder / "CMakeCache.txt", error))
                return folder;
        }
    }
    return std::filesystem::current_path();
}

// Keeps `frame` as test-frames/<name>.png under the build folder.
inline void KeepFrame(const image::Rgba8Image &frame, const std::string &name) {
    const std::filesystem::path folder = BinaryDir() / "test-frames";
    std::filesystem::create_directories(folder);
    std::vector<std::uint8_t> png;
    std::string error;
    ASSERT_TRUE(image::EncodePng(frame, false, png, error)) << error;
    ASSERT_TRUE(image::WriteFileBytes((folder / (name + ".png")).string(), png, error)) << error;
}

} // namespace test_support
