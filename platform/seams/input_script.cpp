#include "platform/seams/input_script.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace seams {
namespace {

constexpr int kMouseButtons = 8;   // the buttons an extended mouse state reports
constexpr int kPadButtons = 128;   // the buttons an extended controller state reports
constexpr int kControllerAxes = 6; // x, y, z and the three rotations

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

// A word of the script as an error message shows it: quoted, cut short when long, and with bytes
// that are not printable text written as \xNN, so that a line of garbage still makes one clear
// line of message.
std::string Quoted(std::string_view word) {
    constexpr size_t kShown = 40;
    std::string text = "\"";
    for (size_t i = 0; i < word.size() && i < kShown; ++i) {
        const auto byte = static_cast<unsigned char>(word[i]);
        if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\') {
            text += static_cast<char>(byte);
        } else {
            static constexpr char kHex[] = "0123456789ABCDEF";
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0xF];
        }
    }
    if (word.size() > kShown)
        text += "...";
    return text + "\"";
}

bool Number(std::string_view word, long low, long high, long &value) {
    long parsed = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), parsed);
    if (ec != std::errc() || end != word.data() + word.size() || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool UpOrDown(std::string_view word, bool &down) {
    if (word != "down" && word != "up")
        return false;
    down = word == "down";
    return true;
}

// One command line (comment removed, not blank); false with the reason.
bool ParseLine(const std::vector<std::string_view> &w, const KeyCodeOfName &keyCode,
               InputScript &script, std::string &reason) {
    ScriptCommand c;
    if (!Number(w[0], 0, std::numeric_limits<long>::max() - 1, c.frame)) {
        const bool tooLarge =
            std::all_of(w[0].begin(), w[0].end(), [](char ch) { return ch >= '0' && ch <= '9'; });
        reason = "the frame " + Quoted(w[0]) +
                 (tooLarge ? " is too large" : " is not a whole number 0 or above");
        return false;
    }
    if (w.size() < 2) {
        reason = "a command is missing after the frame";
        return false;
    }
    const std::string_view verb = w[1];
    auto expect = [&](size_t words) {
        if (w.size() == words)
            return true;
        reason = Quoted(verb) + " takes " + std::to_string(words - 2) +
                 (words == 3 ? " argument" : " arguments");
        return false;
    };
    long n = 0;
    if (verb == "down" || verb == "up" || verb == "tap") {
        if (!expect(3))
            return false;
        const std::uint8_t code = keyCode(w[2]);
        if (code == 0) {
            reason = "unknown key " + Quoted(w[2]);
            return false;
        }
        c.kind = ScriptCommand::Kind::Key;
        c.code = code;
        c.down = verb != "up";
        script.commands.push_back(c);
        if (verb == "tap") {
            c.frame += 1;
            c.down = false;
            script.commands.push_back(c);
        }
        return true;
    }
    if (verb == "mouse") {
        if (!expect(4))
            return false;
        constexpr long kLimit = 1'000'000;
        if (!Number(w[2], -kLimit, kLimit, c.x) || !Number(w[3], -kLimit, kLimit, c.y)) {
            reason = "mouse motion takes two whole numbers";
            return false;
        }
        c.kind = ScriptCommand::Kind::Mouse;
    } else if (verb == "button" || verb == "pad") {
        if (!expect(4))
            return false;
        const bool mouse = verb == "button";
        const long count = mouse ? kMouseButtons : kPadButtons;
        if (!Number(w[2], 0, count - 1, n)) {
            reason = "the button number must be 0 to " + std::to_string(count - 1);
            return false;
        }
        if (!UpOrDown(w[3], c.down)) {
            reason = "a button is \"down\" or \"up\"";
            return false;
        }
        c.kind = mouse ? ScriptCommand::Kind::MouseButton : ScriptCommand::Kind::PadButton;
        c.code = static_cast<int>(n);
        if (!mouse)
            script.padButtonsUsed = std::max(script.padButtonsUsed, c.code + 1);
    } else if (verb == "axis") {
        if (!expect(4))
            return false;
        if (!Number(w[2], 0, kControllerAxes - 1, n)) {
            reason = "the axis number must be 0 to " + std::to_string(kControllerAxes - 1);
            return false;
        }
        if (!Number(w[3], -32768, 32767, c.x)) {
            reason = "an axis position is a whole number from -32768 to 32767";
            return false;
        }
        c.kind = ScriptCommand::Kind::Axis;
        c.code = static_cast<int>(n);
        script.axesUsed = std::max(script.axesUsed, c.code + 1);
    } else if (verb == "quit") {
        if (!expect(2))
            return false;
        c.kind = ScriptCommand::Kind::Quit;
    } else {
        reason = "unknown command " + Quoted(verb);
        return false;
    }
    script.commands.push_back(c);
    return true;
}

} // namespace

bool ParseInputScript(std::string_view text, const KeyCodeOfName &keyCode, InputScript &script,
                      std::string &error) {
    script = {};
    size_t lineNumber = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        ++lineNumber;
        std::string_view line = text.substr(start, end - start);
        if (const size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        const std::vector<std::string_view> words = Words(line);
        std::string reason;
        if (!words.empty() && !ParseLine(words, keyCode, script, reason)) {
            error = "line " + std::to_string(lineNumber) + ": " + reason;
            script = {};
            return false;
        }
        start = end + 1;
    }
    std::stable_sort(
        script.commands.begin(), script.commands.end(),
        [](const ScriptCommand &a, const ScriptCommand &b) { return a.frame < b.frame; });
    return true;
}

} // namespace seams
