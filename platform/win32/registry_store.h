// The registry's keys and values in memory, and their text form on disk. Parsing keeps every
// line that is intact and counts the rest, so a damaged file loses only what was damaged.
#pragma once

#include "platform/win32/types.h"

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace win32::registry {

// Bounds that keep a hostile or corrupted file (or a runaway caller) from exhausting memory. The
// program's own settings are a few dozen short values under one key.
constexpr std::size_t kMaxValueBytes = 1u << 20;
constexpr std::size_t kMaxNameLength = 16383;
constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::size_t kMaxKeyPathLength = 512;
constexpr std::size_t kMaxKeys = 4096;    // per root
constexpr std::size_t kMaxValues = 65536; // per root
constexpr std::size_t kMaxFileBytes = 16u << 20;

struct Value {
    std::string name;
    DWORD type = 0;
    std::vector<BYTE> data;
};

class Key {
public:
    explicit Key(std::string path) : m_path(std::move(path)) {}
    const std::string &Path() const { return m_path; }            // components joined with '\'
    const std::vector<Value> &Values() const { return m_values; } // in the order first set
    const Value *Find(std::string_view name) const;

private:
    friend class Hive;
    enum class Change { None, Replaced, Added };
    Change Set(std::string_view name, DWORD type, std::vector<BYTE> data);

    std::string m_path;
    std::vector<Value> m_values;
    // Positions in m_values by lower-case name, so that a file with many values loads in
    // linear time.
    std::unordered_map<std::string, std::size_t> m_index;
};

// The keys of one root, found without regard to letter case, within the bounds above.
class Hive {
public:
    Key *Find(std::string_view path);
    // Creates the key and every key above it; `created` tells whether the key itself was new.
    // NULL when that would pass the bound on keys.
    Key *Create(std::string_view path, bool *created);

    enum class SetResult { Unchanged, Changed, Refused };
    // Replaces or adds a value of `key`; a new value past the bound on values is refused.
    SetResult SetValue(Key &key, std::string_view name, DWORD type, std::vector<BYTE> data);

    bool Empty() const { return m_keys.empty(); }
    const std::map<std::string, Key> &Keys() const { return m_keys; }
    std::size_t ValueCount() const { return m_valueCount; }

private:
    std::map<std::string, Key> m_keys; // by lower-case path
    std::size_t m_valueCount = 0;
};

// Which keys to keep, by path; an empty filter keeps every key.
using KeyFilter = std::function<bool(std::string_view path)>;
// Keeps each of the keys at `paths` and every key below them, without regard to letter case.
KeyFilter KeysAtOrBelow(std::vector<std::string> paths);
// The keys of `hive` that `keep` keeps, with their values (the keys above them come back empty).
Hive KeptKeys(const Hive &hive, const KeyFilter &keep);

// `subKey` of the key at `parentPath` as a normalised path (empty components dropped), or nothing
// when a component or the whole path is too long.
std::optional<std::string> JoinKeyPath(std::string_view parentPath, const char *subKey);

struct ParseResult {
    Hive hive;
    std::size_t valuesKept = 0;
    std::size_t problems = 0; // lines dropped, duplicates, missing header or end
    std::string firstProblem; // what was wrong first, for the one trace line
    bool overLimits = false;  // more keys or values than a hive may hold
};

// Keys that `keep` refuses, and their values, are skipped without counting as problems.
ParseResult ParseHive(std::string_view text, const KeyFilter &keep = {});
std::string FormatHive(const Hive &hive);

} // namespace win32::registry
