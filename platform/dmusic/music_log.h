// What the music objects were asked to do, and which performances exist, for the test seams.
#pragma once

namespace dmusic {

class Performance;

void LogMusicCall(const char *call);
void RegisterPerformance(Performance *performance, bool alive);

} // namespace dmusic
