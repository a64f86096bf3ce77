// The program's start-up and memory as a benchmark of the whole process sees them: with
// TARVOS_PROCESS_LOG=FILE set, one line is appended to FILE at the program's first present and
// one when its frames end, each "<event> <monotonic clock in ns> rss <kB> peak <kB>" (events
// "first-present" and "frames-end"; the clock is CLOCK_MONOTONIC, shared by every process, so a
// parent that noted the time of its exec can subtract). Off, and free, unless the variable is set.
#pragma once

namespace d3d8 {

// Called by every successful present.
void NotePresentForProcessLog();

} // namespace d3d8
