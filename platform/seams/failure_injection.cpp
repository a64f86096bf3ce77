// Named failure injection and the common reset of every seam.
#include "platform/seams/failure_injection.h"

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace seams {
namespace {

struct Armed {
    int remaining = 0;
    HRESULT code = E_FAIL;
};

struct State {
    std::mutex lock;
    std::map<std::string, Armed, std::less<>> armed;
    std::map<std::string, int, std::less<>> asked;
    std::vector<std::function<void()>> resets;
};

State &state() {
    static State s;
    return s;
}

// Set while any test has touched injection; the real program never does.
std::atomic<bool> g_inUse{false};

} // namespace

void InjectFailure(std::string_view point, int count, HRESULT code) {
    State &s = state();
    std::lock_guard guard(s.lock);
    s.armed[std::string(point)] = Armed{count, code};
    g_inUse.store(true, std::memory_order_relaxed);
}

void ClearFailures() {
    State &s = state();
    std::lock_guard guard(s.lock);
    s.armed.clear();
    s.asked.clear();
}

bool ShouldFail(std::string_view point, HRESULT *code) {
    if (!g_inUse.load(std::memory_order_relaxed))
        return false;
    State &s = state();
    std::lock_guard guard(s.lock);
    ++s.asked[std::string(point)];
    auto it = s.armed.find(point);
    if (it == s.armed.end() || it->second.remaining == 0)
        return false;
    if (it->second.remaining > 0)
        --it->second.remaining;
    if (code)
        *code = it->second.code;
    return true;
}

int TimesAsked(std::string_view point) {
    State &s = state();
    std::lock_guard guard(s.lock);
    auto it = s.asked.find(point);
    return it == s.asked.end() ? 0 : it->second;
}

void RegisterReset(std::function<void()> reset) {
    State &s = state();
    std::lock_guard guard(s.lock);
    s.resets.push_back(std::move(reset));
    g_inUse.store(true, std::memory_order_relaxed);
}

void ResetAll() {
    std::vector<std::function<void()>> resets;
    {
        State &s = state();
        std::lock_guard guard(s.lock);
        resets = s.resets;
    }
    for (auto &reset : resets)
        reset();
    ClearFailures();
}

} // namespace seams
