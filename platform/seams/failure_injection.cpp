// Named failure injection and the common reset of every seam.
#include "platform/seams/failure_injection.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <iterator>
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

// Every point the layer asks at: its calls by name, and the input devices' calls as
// "<kind>.<call>". A name outside this list is a misspelling that would arm nothing.
constexpr std::string_view kPoints[] = {
    "BeginScene",
    "CoCreateInstance",
    "CompileProgram",
    "Controller.Acquire",
    "Controller.GetDeviceState",
    "Controller.SetCooperativeLevel",
    "Controller.SetDataFormat",
    "CreateCompatibleDC",
    "CreateDevice",
    "CreateFileA",
    "CreateFontA",
    "CreateSoundBuffer",
    "DeviceRelease",
    "Direct3DCreate8",
    "DirectInput.CreateDevice",
    "DirectInput8Create",
    "DirectSoundCreate8",
    "DirectXFileCreate",
    "DuplicateSoundBuffer",
    "GetDIBits",
    "GetIconInfo",
    "GetStatus",
    "Keyboard.Acquire",
    "Keyboard.GetDeviceState",
    "Keyboard.SetCooperativeLevel",
    "Keyboard.SetDataFormat",
    "LoadObjectFromFile",
    "LoadResource",
    "LockResource",
    "MakeContextCurrent",
    "mmioAdvance",
    "mmioAscend",
    "mmioCreateChunk",
    "mmioDescend",
    "mmioGetInfo",
    "mmioOpen",
    "mmioRead",
    "mmioSeek",
    "mmioSetInfo",
    "mmioWrite",
    "Mouse.Acquire",
    "Mouse.GetDeviceState",
    "Mouse.SetCooperativeLevel",
    "Mouse.SetDataFormat",
    "QueryPerformanceFrequency",
    "RegCreateKeyExA",
    "RegistryCopy",
    "RegistryLink",
    "RegistrySave",
    "Reset",
    "Restore",
    "SetCooperativeLevel",
    "SetFormat",
    "SizeofResource",
    "TestCooperativeLevel",
};

// An unknown point ends the test program at once, naming it, rather than letting a test pass with
// nothing armed.
void requireKnown(std::string_view point) {
    if (std::find(std::begin(kPoints), std::end(kPoints), point) != std::end(kPoints))
        return;
    std::fprintf(stderr, "failure injection: no point is named \"%.*s\"\n",
                 static_cast<int>(point.size()), point.data());
    std::abort();
}

// Set while any test has touched injection; the real program never does.
std::atomic<bool> g_inUse{false};

} // namespace

void InjectFailure(std::string_view point, int count, HRESULT code) {
    requireKnown(point);
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
    requireKnown(point);
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
    requireKnown(point);
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
