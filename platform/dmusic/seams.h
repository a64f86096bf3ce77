// Test seams of the music objects. Failure injection: "CoCreateInstance" (the classes are made
// through it) and "LoadObjectFromFile".
#pragma once

#include <string>
#include <vector>

namespace seams {

// The performance calls made since the last take, in order: "InitAudio", "PlaySegmentEx",
// "Stop", "CloseDown".
std::vector<std::string> TakeMusicCalls();
// Whether any performance's music is sounding now (at the virtual clock's time when it is on).
bool MusicPlaying();

} // namespace seams
