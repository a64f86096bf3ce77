// The registry's keys and values in memory, and their text form on disk. Parsing keeps every
// line that is intact and counts the rest, so a damaged file loses only what was damaged.
#pragma once

#include "platform/win32/types.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace win32::registry {

// Bounds that keep a hostile or corrupted file from exhausting memory.
constexpr std::size_t kMaxValueBytes = 1u << 20;
constexpr std::size_t kMaxNameLength = 16383;
constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::size_t kMaxFileBytes = 64u << 20;

struct Value {
    std::string name;
    DWORD type = 0;
    std::vector<BYTE> data;
};

struct Key {
    std::string path; // components joined with '\', as first created
    std::vector<Value> values;

    const Value *Find(std::string_view name) const;
    // Returns false when the value already held exactly this type and these bytes.
    bool Set(std::string_view name, DWORD type, std::vector<BYTE> data);
};

// The keys of one root, found without regard to letter case.
class Hive {
public:
    Key *Find(std::string_view path);
    // Creates the key and every key above it; `created` tells whether the key itself was new.
    Key &Create(std::string_view path, bool *created);
    bool Empty() const { return m_keys.empty(); }
    const std::map<std::string, Key> &Keys() const { return m_keys; }

private:
    std::map<std::string, Key> m_keys; // by lower-case path
};

// `subKey` of the key at `parentPath` as a normalised path (empty components dropped), or nothing
// when a component is too long.
std::optional<std::string> JoinKeyPath(std::string_view parentPath, const char *subKey);

struct ParseResult {
    Hive hive;
    std::size_t valuesKept = 0;
    std::size_t problems = 0; // lines dropped, duplicates, missing header or end
    std::string firstProblem; // what was wrong first, for the one trace line
};

ParseResult ParseHive(std::string_view text);
std::string FormatHive(const Hive &hive);

} // namespace win32::registry
