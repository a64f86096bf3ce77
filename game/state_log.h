// A line of game state after every frame, for whole-program tests: with TARVOS_STATE_LOG=FILE the
// program writes FILE as JSON lines, the first for the state right after start-up (frame -1),
// then one as each frame ends (frames as in platform/seams/frame_clock.h).
#pragma once

#include <string>

class CMyD3DApplication;

// Starts the log when TARVOS_STATE_LOG names a file; nothing happens when it is unset. False,
// with a message on standard error, when the file cannot be written.
bool InstallStateLog(CMyD3DApplication &app);

// One line of the log (without its newline) for the state as it stands.
std::string StateLogLine(const CMyD3DApplication &app, long frame);
