// The device call log behind the test seam.
#include "platform/d3d8/call_log.h"

#include "platform/d3d8/seams.h"
#include "platform/seams/failure_injection.h"

#include <mutex>

namespace d3d8 {
namespace {

struct CallLog {
    bool active = false;
    std::vector<DeviceCall> calls;
};

CallLog &log() {
    static CallLog instance;
    static std::once_flag registered;
    std::call_once(registered, [] {
        seams::RegisterReset([] {
            log().active = false;
            log().calls.clear();
        });
    });
    return instance;
}

} // namespace

std::string DeviceCall::Text() const {
    std::string text = method + "(";
    for (size_t i = 0; i < arguments.size(); ++i)
        text += (i ? ", " : "") + arguments[i];
    return text + ")";
}

bool CallLogActive() {
    return log().active;
}

void AppendCall(DeviceCall call) {
    log().calls.push_back(std::move(call));
}

} // namespace d3d8

void seams::StartDeviceCallLog() {
    d3d8::log().calls.clear();
    d3d8::log().active = true;
}

void seams::StopDeviceCallLog() {
    d3d8::log().active = false;
}

const std::vector<d3d8::DeviceCall> &seams::DeviceCalls() {
    return d3d8::log().calls;
}

std::vector<std::string> seams::DeviceCallTexts() {
    std::vector<std::string> texts;
    for (const d3d8::DeviceCall &call : d3d8::log().calls)
        texts.push_back(call.Text());
    return texts;
}
