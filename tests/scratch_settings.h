// A settings store of the test process's own, in the temporary folder, so that a test never reads
// or writes the player's store nor that of a test running beside it; the folder goes with it.
#pragma once

#include "platform/test_seams.h"

#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

namespace test_support {

class ScratchSettingsStore {
public:
    ScratchSettingsStore() = default;
    ScratchSettingsStore(const ScratchSettingsStore &) = delete;
    ScratchSettingsStore &operator=(const ScratchSettingsStore &) = delete;
    ~ScratchSettingsStore() { Remove(); }

    // Makes tarvos-TAG-PID the settings store's root.
    void Use(const std::string &tag) {
        Remove();
        m_folder = std::filesystem::temp_directory_path() /
                   ("tarvos-" + tag + "-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
        seams::UseRegistryRoot(m_folder.string());
    }

    // Deletes the folder and everything written in it.
    void Remove() {
        if (m_folder.empty())
            return;
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
        m_folder.clear();
    }

private:
    std::filesystem::path m_folder;
};

} // namespace test_support
