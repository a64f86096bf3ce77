// The log of device calls, in order, with their arguments: a test seam that records nothing
// until a test starts it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace d3d8 {

struct DeviceCall {
    std::string method;
    std::vector<std::string> arguments;
    // "Method(a, b, c)".
    std::string Text() const;
};

bool CallLogActive();
void AppendCall(DeviceCall call);

inline std::string LogArgument(const std::string &value) {
    return value;
}
inline std::string LogArgument(const char *value) {
    return value ? value : "NULL";
}
inline std::string LogArgument(float value) {
    std::string text = std::to_string(value);
    while (text.size() > 1 && text.back() == '0' && text[text.size() - 2] != '.')
        text.pop_back();
    return text;
}
inline std::string LogArgument(const void *value) {
    if (!value)
        return "NULL";
    char text[32];
    std::snprintf(text, sizeof text, "%p", value);
    return text;
}
template <class T>
std::string LogArgument(T value) requires std::is_integral_v<T> || std::is_enum_v<T> {
    return std::to_string(static_cast<long long>(value));
}

// Records a call when the log is on; costs one test otherwise.
template <class... Args> void LogCall(std::string_view method, const Args &...arguments) {
    if (!CallLogActive())
        return;
    AppendCall(DeviceCall{std::string(method), {LogArgument(arguments)...}});
}

} // namespace d3d8
