// The game's data files are read from the working folder; a game started anywhere else finds
// none of them, and says so once beside the trace of each file it cannot open.
#pragma once

// When `firstDataFile` (the first data file the game opens) is missing and the working folder
// holds no data file of any of the game's kinds, writes one trace line that says the media folder
// is missing and names the working folder.
void TraceWhenMediaFolderIsMissing(const char *firstDataFile);
