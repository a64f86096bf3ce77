// Seams of a whole program run, for end-to-end tests of the real program. Each is off unless its
// environment variable is set, and behaves the same in every build type:
//
//   TARVOS_FIXED_STEP=S       every frame takes exactly S seconds of a virtual clock, whatever the
//                             wall clock; the framework's timer and the sound mixer run on it.
//   TARVOS_INPUT_SCRIPT=FILE  keyboard, mouse, game controller and the close button from a script
//                             (platform/seams/input_script.h), delivered through the same input
//                             devices and window the program reads.
//
// Frames are those of platform/seams/frame_clock.h: a frame's script commands and its time step
// are applied as the frame begins, before its update. The process entry starts the seams before
// the program's own start-up.
#pragma once

#include <string>

namespace seams {

// False, with the message to show, when a variable is malformed or the script cannot be read or
// has a bad line (the message names the line); the program then stops before it starts.
bool StartProgramSeams(std::string &error);

} // namespace seams
