// The one line that tells a player who started the game from the wrong folder what is wrong: a
// screen of "cannot open" lines, one per file, does not say it.
#include "game/media_folder.h"

#include "platform/win32/win32.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

// The kinds of the game's data files: meshes, pictures, the font's width table and sounds.
bool IsDataFileName(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char *kind : {".x", ".png", ".jpg", ".dds", ".dat", ".wav"}) {
        const std::string suffix = kind;
        if (name.size() > suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            return true;
    }
    return false;
}

bool FolderHoldsDataFiles(const std::filesystem::path &folder) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error))
        if (IsDataFileName(it->path().filename().string()))
            return true;
    return false;
}

} // namespace

void TraceWhenMediaFolderIsMissing(const char *firstDataFile) {
    std::error_code error;
    if (std::filesystem::exists(firstDataFile, error) || error)
        return;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    if (error || FolderHoldsDataFiles(folder))
        return;
    OutputDebugStringA(("asteroid game: the media folder is missing: " + folder.string() +
                        " holds none of the game's data files (" + firstDataFile +
                        " and the rest); start the game in its media folder\n")
                           .c_str());
}
