// Frame capture to PNG files, configured from the environment on first use or by a test.
#include "platform/d3d8/frame_capture.h"

#include "platform/d3d8/process_log.h"
#include "platform/d3d8/seams.h"
#include "platform/d3d8/trace.h"
#include "platform/image/image.h"
#include "platform/seams/frame_clock.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>

namespace d3d8 {
namespace {

struct CaptureState {
    std::mutex lock;
    bool configured = false;
    std::string folder;
    std::vector<unsigned> frames;
    unsigned presents = 0;
    long lastFrameCaptured = -1; // numbering by frame: the frame whose present was looked at
};

// The picture number of this present, or 0 when it is not one to number (a second present in
// the same program frame, or one before the first frame, while numbering by frame).
unsigned pictureNumber(CaptureState &s) {
    if (!seams::CapturesNumberedByFrame())
        return s.presents;
    const long frame = seams::CurrentFrame();
    if (frame < 0 || frame == s.lastFrameCaptured)
        return 0;
    s.lastFrameCaptured = frame;
    return static_cast<unsigned>(frame + 1);
}

// "3,10,200": numbers separated by commas; anything else is skipped with one trace line.
std::vector<unsigned> parseFrames(const char *text) {
    std::vector<unsigned> frames;
    std::string item;
    const std::string all = text ? text : "";
    for (size_t i = 0; i <= all.size(); ++i) {
        if (i < all.size() && all[i] != ',') {
            item += all[i];
            continue;
        }
        char *end = nullptr;
        const unsigned long n = std::strtoul(item.c_str(), &end, 10);
        if (!item.empty() && end && *end == '\0' && n > 0 && n <= 0xFFFFFFFFul)
            frames.push_back(static_cast<unsigned>(n));
        else if (!item.empty())
            Trace("TARVOS_CAPTURE_FRAMES: ignoring \"" + item + "\"");
        item.clear();
    }
    return frames;
}

// A seams reset captures nothing more and counts presents afresh.
void stopCapture();

CaptureState &state() {
    static CaptureState s;
    static const bool registered = [] {
        seams::RegisterReset(stopCapture);
        return true;
    }();
    (void)registered;
    return s;
}

void stopCapture() {
    CaptureState &s = state();
    std::lock_guard guard(s.lock);
    s.configured = true;
    s.folder.clear();
    s.frames.clear();
    s.presents = 0;
}

void configureFromEnvironment(CaptureState &s) {
    if (s.configured)
        return;
    s.configured = true;
    const char *folder = std::getenv("TARVOS_CAPTURE_DIR");
    if (!folder || !*folder)
        return;
    s.folder = folder;
    s.frames = parseFrames(std::getenv("TARVOS_CAPTURE_FRAMES"));
}

} // namespace

void OnPresent(const BackBufferReader &readBack) {
    NotePresentForProcessLog();
    CaptureState &s = state();
    std::string path;
    unsigned frame = 0;
    {
        std::lock_guard guard(s.lock);
        configureFromEnvironment(s);
        ++s.presents;
        frame = pictureNumber(s);
        if (frame == 0 || s.folder.empty() ||
            std::find(s.frames.begin(), s.frames.end(), frame) == s.frames.end())
            return;
        path = s.folder + "/frame-" + std::to_string(frame) + ".png";
    }
    image::Rgba8Image picture;
    if (!readBack(picture.width, picture.height, picture.pixels)) {
        Trace("frame capture: cannot read the back buffer");
        return;
    }
    // A folder named for the pictures that does not exist yet is made, as a user naming it expects.
    std::error_code made;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), made);
    std::vector<std::uint8_t> png;
    std::string error;
    if (!image::EncodePng(picture, false, png, error) || !image::WriteFileBytes(path, png, error))
        Trace("frame capture: " + path + ": " + error);
}

} // namespace d3d8

namespace seams {

void CaptureFrames(const std::string &folder, std::vector<unsigned> frames) {
    auto &s = d3d8::state();
    std::lock_guard guard(s.lock);
    s.configured = true;
    s.folder = folder;
    s.frames = std::move(frames);
    s.presents = 0;
    s.lastFrameCaptured = -1;
}

unsigned PresentCount() {
    auto &s = d3d8::state();
    std::lock_guard guard(s.lock);
    return s.presents;
}

} // namespace seams
