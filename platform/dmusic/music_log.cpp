// The record of music calls and the set of live performances behind the test seams.
#include "platform/dmusic/music_log.h"

#include "platform/dmusic/performance.h"
#include "platform/dmusic/seams.h"
#include "platform/seams/failure_injection.h"

#include <algorithm>
#include <mutex>

namespace dmusic {

namespace {

struct MusicLog {
    std::mutex lock;
    std::vector<std::string> calls;
    std::vector<Performance *> performances;
};

MusicLog &musicLog() {
    static MusicLog *log = [] {
        auto *created = new MusicLog();
        seams::RegisterReset([created] {
            std::lock_guard guard(created->lock);
            created->calls.clear();
        });
        return created;
    }();
    return *log;
}

} // namespace

void LogMusicCall(const char *call) {
    MusicLog &log = musicLog();
    std::lock_guard guard(log.lock);
    log.calls.emplace_back(call);
}

void RegisterPerformance(Performance *performance, bool alive) {
    MusicLog &log = musicLog();
    std::lock_guard guard(log.lock);
    if (alive)
        log.performances.push_back(performance);
    else
        std::erase(log.performances, performance);
}

} // namespace dmusic

namespace seams {

std::vector<std::string> TakeMusicCalls() {
    dmusic::MusicLog &log = dmusic::musicLog();
    std::lock_guard guard(log.lock);
    std::vector<std::string> taken;
    taken.swap(log.calls);
    return taken;
}

bool MusicPlaying() {
    dmusic::MusicLog &log = dmusic::musicLog();
    std::vector<dmusic::Performance *> performances;
    {
        std::lock_guard guard(log.lock);
        performances = log.performances;
    }
    return std::any_of(performances.begin(), performances.end(),
                       [](dmusic::Performance *p) { return p->Playing(); });
}

} // namespace seams
