// The process log of the first present and of the end of the frames (see process_log.h).
#include "platform/d3d8/process_log.h"

#include "platform/seams/frame_clock.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace d3d8 {
namespace {

long statusKilobytes(const char *field) {
    std::FILE *status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    long kilobytes = -1;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
            kilobytes = std::strtol(line + length + 1, nullptr, 10);
            break;
        }
    std::fclose(status);
    return kilobytes;
}

void writeLine(const std::string &path, const char *event) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long nanoseconds =
        static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
    // Memory is read before the file is opened, so the log's own buffer is not counted.
    const long rss = statusKilobytes("VmRSS");
    const long peak = statusKilobytes("VmHWM");
    if (std::FILE *log = std::fopen(path.c_str(), "a")) {
        std::fprintf(log, "%s %lld rss %ld peak %ld\n", event, nanoseconds, rss, peak);
        std::fclose(log);
    }
}

} // namespace

void NotePresentForProcessLog() {
    static bool presented = false;
    if (presented)
        return;
    presented = true;
    const char *path = std::getenv("TARVOS_PROCESS_LOG");
    if (!path || !*path)
        return;
    const std::string file = path;
    writeLine(file, "first-present");
    seams::OnFramesEnd([file](long) { writeLine(file, "frames-end"); });
}

} // namespace d3d8
