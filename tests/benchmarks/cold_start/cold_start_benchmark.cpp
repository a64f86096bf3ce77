// The cost of starting the game as a fresh process: the real `tarvos` started several times with a
// script that closes it at its first frame, timed from its exec to its first present and measured
// for its peak resident memory, each beside two floors run the same way in the same run (a bare
// window that presents once; the same having first loaded every picture and sound of the media
// the leanest way, see cold_start_floor.cpp). Runs are interleaved so that the machine's drift
// reaches every subject alike; the figures are medians. A warm start (a second start inside one
// process, the media already in the page cache and the heap already grown) is shown apart.
//
//   bench_cold_start [--runs N] [--also LABEL=PROGRAM]... [--replay SCRIPT]
//
// --also adds another build of the game to compare side by side (for example the tree before a
// change). --replay also plays SCRIPT (a whole game's input, at the fixed step of the whole-game
// tests) once with each build of the game and reports its resident memory at the first present
// and when the frames end. Every program is run in the media folder with a scratch settings store.
#include "tests/benchmarks/game_process.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace {

struct Subject {
    std::string label;
    std::vector<std::string> command;
    std::vector<double> seconds;  // exec to first present
    std::vector<double> peakMiB;  // the process's peak resident memory
    std::vector<double> firstMiB; // resident memory at the first present
    int failures = 0;
};

long long monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

std::string scratchFolder() {
    char pattern[] = "/tmp/tarvos-cold-start-XXXXXX";
    const char *made = mkdtemp(pattern);
    return made ? made : "";
}

struct Resident {
    long first = -1, end = -1; // kB at the first present and when the frames end
};

// One fresh run of `subject`; false when it failed or logged no present. With `replay`, the
// program plays that script at a fixed step instead of closing at its first frame.
bool runOnce(Subject &subject, const std::string &scratch, const std::string &replay = "",
             Resident *resident = nullptr) {
    const std::string log = scratch + "/process.log";
    const std::string settings = scratch + "/settings";
    std::filesystem::remove(log);
    std::filesystem::remove_all(settings);
    std::filesystem::create_directories(settings);
    std::vector<std::string> environment = {
        "SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy", "XDG_CONFIG_HOME=" + settings,
        "TARVOS_INPUT_SCRIPT=" + (replay.empty() ? scratch + "/quit.txt" : replay),
        "TARVOS_PROCESS_LOG=" + log};
    if (!replay.empty())
        environment.push_back("TARVOS_FIXED_STEP=0.02");
    for (char **variable = environ; *variable; ++variable)
        if (!std::strchr(*variable, '=') ||
            std::none_of(environment.begin(), environment.end(), [&](const std::string &own) {
                return own.compare(0, own.find('=') + 1, *variable, own.find('=') + 1) == 0;
            }))
            environment.push_back(*variable);
    std::vector<char *> argv, envp;
    for (auto &word : subject.command)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    for (auto &variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    pid_t child = 0;
    const long long started = monotonicNanoseconds();
    if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
        return false;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    std::ifstream in(log);
    std::string event;
    long long at = 0;
    std::string rssWord, peakWord;
    long rss = 0, peak = 0;
    if (!(in >> event >> at >> rssWord >> rss >> peakWord >> peak) || event != "first-present")
        return false;
    if (resident) {
        resident->first = rss;
        long long endAt = 0;
        long endPeak = 0;
        if (in >> event >> endAt >> rssWord >> resident->end >> peakWord >> endPeak &&
            event == "frames-end")
            return true;
        return false;
    }
    subject.seconds.push_back(static_cast<double>(at - started) / 1e9);
    subject.firstMiB.push_back(static_cast<double>(rss) / 1024.0);
    subject.peakMiB.push_back(static_cast<double>(usage.ru_maxrss) / 1024.0);
    return true;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// A second start of the game inside this process, to its first present.
double warmStartSeconds() {
    game_bench::PrepareProcess();
    double seconds = 0.0;
    for (int start = 0; start < 2; ++start) {
        const long long began = monotonicNanoseconds();
        auto app = game_bench::StartGame(640, 480);
        if (!app)
            return -1.0;
        const unsigned presented = seams::PresentCount();
        while (seams::PresentCount() == presented)
            app->AdvanceFrame();
        seconds = static_cast<double>(monotonicNanoseconds() - began) / 1e9;
        game_bench::CloseGame(app);
    }
    return seconds;
}

} // namespace

int main(int argc, char **argv) {
    int runs = 5;
    std::string replay;
    std::vector<Subject> subjects = {
        {"floor (a) window + first frame", {TARVOS_COLD_START_FLOOR, "window"}, {}, {}, {}, 0},
        {"floor (b) + media decoded, uploaded", {TARVOS_COLD_START_FLOOR, "media"}, {}, {}, {}, 0},
        {"tarvos", {TARVOS_GAME_PROGRAM}, {}, {}, {}, 0},
    };
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (word == "--replay" && i + 1 < argc) {
            replay = std::filesystem::absolute(argv[++i]).string();
        } else if (word == "--also" && i + 1 < argc && std::strchr(argv[i + 1], '=')) {
            const std::string also = argv[++i];
            const std::string program =
                std::filesystem::absolute(also.substr(also.find('=') + 1)).string();
            subjects.push_back({also.substr(0, also.find('=')), {program}, {}, {}, {}, 0});
        } else {
            std::fprintf(stderr,
                         "usage: %s [--runs N] [--also LABEL=PROGRAM]... [--replay SCRIPT]\n",
                         argv[0]);
            return 2;
        }
    }
    std::filesystem::current_path(TARVOS_MEDIA_DIR);
    const std::string scratch = scratchFolder();
    if (scratch.empty())
        return 1;
    std::ofstream(scratch + "/quit.txt") << "0 quit\n";
    for (int run = 0; run < runs; ++run)
        for (auto &subject : subjects)
            if (!runOnce(subject, scratch))
                ++subject.failures;
    std::vector<Resident> replays(subjects.size());
    int replayFailures = 0;
    if (!replay.empty())
        for (std::size_t i = 2; i < subjects.size(); ++i) {
            Subject once = subjects[i];
            if (!runOnce(once, scratch, replay, &replays[i]))
                ++replayFailures;
        }
    std::filesystem::remove_all(scratch);

    const Subject &floorB = subjects[1];
    const Subject &floorA = subjects[0];
    std::printf("cold start: medians of %d fresh processes, exec to first present\n", runs);
    std::printf("%-38s %10s %12s %12s %16s %16s\n", "", "first frame", "RSS then", "peak RSS",
                "frame / floors", "peak / floors");
    int failed = 0;
    for (const auto &s : subjects) {
        const double t = median(s.seconds), peak = median(s.peakMiB);
        std::printf("%-38s %9.3f s %8.1f MiB %8.1f MiB", s.label.c_str(), t, median(s.firstMiB),
                    peak);
        if (&s != &floorA && &s != &floorB)
            std::printf("   %5.2fx  %5.2fx   %5.2fx  %5.2fx", t / median(floorA.seconds),
                        t / median(floorB.seconds), peak / median(floorA.peakMiB),
                        peak / median(floorB.peakMiB));
        if (s.failures)
            std::printf("   (%d runs failed)", s.failures);
        std::printf("\n");
        failed += s.failures;
    }
    std::printf("(ratios: to floor (a), to floor (b))\n");
    if (!replay.empty()) {
        std::printf("replay of %s, resident memory:\n", replay.c_str());
        for (std::size_t i = 2; i < subjects.size(); ++i)
            std::printf("%-38s first frame %8.1f MiB, end %8.1f MiB, growth %+.1f%%\n",
                        subjects[i].label.c_str(), replays[i].first / 1024.0,
                        replays[i].end / 1024.0,
                        replays[i].first > 0 ? 100.0 * (replays[i].end - replays[i].first) /
                                                   static_cast<double>(replays[i].first)
                                             : 0.0);
    }
    failed += replayFailures;
    const double warm = warmStartSeconds();
    std::printf("warm start, a second start inside one process (not a cold start): %.3f s\n", warm);
    return failed ? 1 : 0;
}
