// A settings store of the test process's own, in the temporary folder, so that a test never reads
// or writes the player's store nor that of a test running beside it.
#pragma once

#include "platform/test_seams.h"

#include <filesystem>
#include <string>

#include <unistd.h>

namespace test_support {

// Makes tarvos-TAG-PID the settings store's root and returns it.
inline std::filesystem::path UseScratchSettingsStore(const std::string &tag) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("tarvos-" + tag + "-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    seams::UseRegistryRoot(folder.string());
    return folder;
}

} // namespace test_support
