// The program's frames as the platform sees them, for the seams that drive a whole program run
// (fixed time step, scripted input, state log, frame capture).
//
// A frame is one run of the framework's frame step. Every frame step begins by asking the device
// for its cooperative level, so the device layer reports each such call as the start of the next
// frame. Frames are numbered from 0, the first frame the message loop runs; a frame that the
// framework then skips (device lost, device reset, no time passed) keeps its number. A frame ends
// when the next one begins, or when a window is asked to close (the message loop runs no frame
// after that).
#pragma once

#include <functional>

namespace seams {

// Reported by the platform layer.
void NoteFrameBegins();
void NoteWindowClosing();

// -1 until the first frame begins.
long CurrentFrame();

// Listeners run in the order they were added: at the start of each frame (with its number),
// and once when the frames end (with the last frame's number). Frame-begin listeners run before
// anything of the frame has happened.
void OnFrameBegin(std::function<void(long frame)> listener);
void OnFramesEnd(std::function<void(long lastFrame)> listener);

// While on, captured frames are named by frame number + 1 (frame 0 is frame-1.png) instead of by
// presents counted, so a skipped frame leaves a gap instead of shifting every later number. Only
// the first present of a frame is captured.
void NumberCapturesByFrame(bool on);
bool CapturesNumberedByFrame();

} // namespace seams
