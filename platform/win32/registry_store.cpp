// Keys and values in memory, and the text form of one root:
//
//   tarvos-registry 1
//   key "Software\Tarvos"
//   value "Width" 4 4 80020000
//   end
//
// A value line holds its name, type code, byte count and bytes in hex; the count lets a cut line
// be told from a short value, and the closing "end" tells a whole file from a truncated one.
// Names are quoted with '"', '%' and bytes outside printable ASCII written as %XX.
#include "platform/win32/registry_store.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace win32::registry {
namespace {

constexpr std::string_view kHeader = "tarvos-registry 1";
constexpr std::string_view kEnd = "end";

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

std::string lowerCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), lowerAscii);
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void appendQuoted(std::string &out, std::string_view text) {
    static const char *const digits = "0123456789ABCDEF";
    out += '"';
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '%') {
            out += '%';
            out += digits[byte >> 4];
            out += digits[byte & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

// Reads a quoted name at the front of `line` and removes it; nothing when it is malformed.
std::optional<std::string> takeQuoted(std::string_view &line, std::size_t maxLength) {
    if (line.empty() || line.front() != '"')
        return std::nullopt;
    std::string text;
    std::size_t i = 1;
    for (; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '%') {
            if (i + 2 >= line.size())
                return std::nullopt;
            const int high = hexDigit(line[i + 1]);
            const int low = hexDigit(line[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            text += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            text += line[i];
        }
        if (text.size() > maxLength)
            return std::nullopt;
    }
    if (i >= line.size())
        return std::nullopt;
    line.remove_prefix(i + 1);
    return text;
}

std::string_view takeToken(std::string_view &line) {
    while (!line.empty() && line.front() == ' ')
        line.remove_prefix(1);
    const std::size_t end = std::min(line.find(' '), line.size());
    std::string_view token = line.substr(0, end);
    line.remove_prefix(end);
    return token;
}

template <class Number> std::optional<Number> parseNumber(std::string_view token) {
    Number number{};
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), number);
    if (error != std::errc() || end != token.data() + token.size() || token.empty())
        return std::nullopt;
    return number;
}

struct ValueLine {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
};

// `value "<name>" <type> <count> <hex>`; the caller has removed "value ".
std::optional<ValueLine> parseValue(std::string_view rest, std::string *problem) {
    auto name = takeQuoted(rest, kMaxNameLength);
    if (!name) {
        *problem = "malformed value name";
        return std::nullopt;
    }
    if (rest.empty() || rest.front() != ' ') {
        *problem = "malformed value line";
        return std::nullopt;
    }
    const auto type = parseNumber<DWORD>(takeToken(rest));
    const auto count = parseNumber<std::size_t>(takeToken(rest));
    if (!type || !count) {
        *problem = "malformed type or size";
        return std::nullopt;
    }
    if (*count > kMaxValueBytes) {
        *problem = "value larger than the limit";
        return std::nullopt;
    }
    const std::string_view hex = takeToken(rest);
    if (!takeToken(rest).empty() || hex.size() != *count * 2) {
        *problem = "value bytes cut short or malformed";
        return std::nullopt;
    }
    std::vector<BYTE> data(*count);
    for (std::size_t i = 0; i < *count; ++i) {
        const int high = hexDigit(hex[2 * i]);
        const int low = hexDigit(hex[2 * i + 1]);
        if (high < 0 || low < 0) {
            *problem = "value bytes malformed";
            return std::nullopt;
        }
        data[i] = static_cast<BYTE>(high * 16 + low);
    }
    return ValueLine{std::move(*name), *type, std::move(data)};
}

} // namespace

const Value *Key::Find(std::string_view name) const {
    auto it = m_index.find(lowerCase(name));
    return it == m_index.end() ? nullptr : &m_values[it->second];
}

Key::Change Key::Set(std::string_view name, DWORD type, std::vector<BYTE> data) {
    auto [it, inserted] = m_index.try_emplace(lowerCase(name), m_values.size());
    if (inserted) {
        m_values.push_back(Value{std::string(name), type, std::move(data)});
        return Change::Added;
    }
    Value &value = m_values[it->second];
    if (value.type == type && value.data == data)
        return Change::None;
    value.type = type;
    value.data = std::move(data);
    return Change::Replaced;
}

Key *Hive::Find(std::string_view path) {
    auto it = m_keys.find(lowerCase(path));
    return it == m_keys.end() ? nullptr : &it->second;
}

Key *Hive::Create(std::string_view path, bool *created) {
    if (created)
        *created = false;
    if (Key *existing = Find(path))
        return existing;
    // Every key above this one exists too, as on a real registry.
    std::vector<std::string_view> missing;
    for (std::size_t cut = path.find('\\'); cut != std::string_view::npos;
         cut = path.find('\\', cut + 1))
        if (!Find(path.substr(0, cut)))
            missing.push_back(path.substr(0, cut));
    missing.push_back(path);
    if (m_keys.size() + missing.size() > kMaxKeys)
        return nullptr;
    Key *key = nullptr;
    for (std::string_view each : missing)
        key = &m_keys.try_emplace(lowerCase(each), std::string(each)).first->second;
    if (created)
        *created = true;
    return key;
}

Hive::SetResult Hive::SetValue(Key &key, std::string_view name, DWORD type,
                               std::vector<BYTE> data) {
    if (m_valueCount >= kMaxValues && !key.Find(name))
        return SetResult::Refused;
    switch (key.Set(name, type, std::move(data))) {
    case Key::Change::None:
        return SetResult::Unchanged;
    case Key::Change::Added:
        ++m_valueCount;
        return SetResult::Changed;
    case Key::Change::Replaced:
        break;
    }
    return SetResult::Changed;
}

KeyFilter KeysAtOrBelow(std::vector<std::string> paths) {
    for (std::string &path : paths)
        path = lowerCase(path);
    return [paths = std::move(paths)](std::string_view path) {
        const std::string lower = lowerCase(path);
        return std::any_of(paths.begin(), paths.end(), [&](const std::string &kept) {
            return kept.empty() || (lower.starts_with(kept) &&
                                    (lower.size() == kept.size() || lower[kept.size()] == '\\'));
        });
    };
}

Hive KeptKeys(const Hive &hive, const KeyFilter &keep) {
    Hive kept;
    for (const auto &[lower, key] : hive.Keys()) {
        if (keep && !keep(key.Path()))
            continue;
        Key *copy = kept.Create(key.Path(), nullptr);
        if (!copy)
            break;
        for (const Value &value : key.Values())
            kept.SetValue(*copy, value.name, value.type, value.data);
    }
    return kept;
}

std::optional<std::string> JoinKeyPath(std::string_view parentPath, const char *subKey) {
    std::string path(parentPath);
    std::string_view rest = subKey ? subKey : "";
    while (!rest.empty()) {
        const std::size_t cut = std::min(rest.find('\\'), rest.size());
        const std::string_view component = rest.substr(0, cut);
        rest.remove_prefix(std::min(cut + 1, rest.size()));
        if (component.empty())
            continue;
        if (component.size() > kMaxKeyNameLength)
            return std::nullopt;
        if (!path.empty())
            path += '\\';
        path += component;
        if (path.size() > kMaxKeyPathLength)
            return std::nullopt;
    }
    return path;
}

ParseResult ParseHive(std::string_view text, const KeyFilter &keep) {
    ParseResult result;
    auto note = [&](std::size_t line, const std::string &what) {
        if (result.problems++ == 0)
            result.firstProblem = "line " + std::to_string(line) + ": " + what;
    };

    Key *current = nullptr;
    bool skipping = false; // inside a key that `keep` refuses
    bool sawHeader = false;
    bool sawEnd = false;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t cut = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, cut);
        const bool complete = cut < text.size();
        text.remove_prefix(std::min(cut + 1, text.size()));
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        if (!complete) {
            note(lineNumber, "file cut short");
            break;
        }
        if (sawEnd) {
            note(lineNumber, "text after the end mark");
            break;
        }
        if (line == kHeader && lineNumber == 1) {
            sawHeader = true;
        } else if (line == kEnd) {
            sawEnd = true;
        } else if (line.starts_with("key ")) {
            std::string_view rest = line.substr(4);
            auto quoted = takeQuoted(rest, kMaxNameLength);
            const bool wellFormed =
                quoted && rest.empty() && quoted->find('\0') == std::string::npos;
            auto path = wellFormed ? JoinKeyPath("", quoted->c_str()) : std::nullopt;
            skipping = false;
            if (!path || path->empty()) {
                note(lineNumber, "malformed key line");
                current = nullptr;
                continue;
            }
            if (keep && !keep(*path)) {
                skipping = true;
                current = nullptr;
                continue;
            }
            current = result.hive.Create(*path, nullptr);
            if (!current) {
                note(lineNumber, "more keys than the limit");
                result.overLimits = true;
            }
        } else if (line.starts_with("value ")) {
            if (skipping)
                continue;
            std::string problem;
            auto value = parseValue(line.substr(6), &problem);
            if (!value) {
                note(lineNumber, problem);
            } else if (!current) {
                note(lineNumber, "value outside a key");
            } else {
                const bool duplicate = current->Find(value->name) != nullptr;
                if (duplicate)
                    note(lineNumber, "duplicate value \"" + value->name + "\"");
                if (result.hive.SetValue(*current, value->name, value->type,
                                         std::move(value->data)) == Hive::SetResult::Refused) {
                    note(lineNumber, "more values than the limit");
                    result.overLimits = true;
                } else if (!duplicate)
                    ++result.valuesKept;
            }
        } else {
            note(lineNumber, "unrecognised line");
        }
    }
    if (!sawHeader)
        note(1, "missing header");
    else if (!sawEnd && result.problems == 0)
        note(lineNumber, "missing end mark");
    return result;
}

std::string FormatHive(const Hive &hive) {
    static const char *const digits = "0123456789abcdef";
    std::string out(kHeader);
    out += '\n';
    for (const auto &[lower, key] : hive.Keys()) {
        out += "key ";
        appendQuoted(out, key.Path());
        out += '\n';
        for (const Value &value : key.Values()) {
            out += "value ";
            appendQuoted(out, value.name);
            out += ' ' + std::to_string(value.type) + ' ' + std::to_string(value.data.size()) + ' ';
            for (BYTE byte : value.data) {
                out += digits[byte >> 4];
                out += digits[byte & 15];
            }
            out += '\n';
        }
    }
    out += kEnd;
    out += '\n';
    return out;
}

} // namespace win32::registry
