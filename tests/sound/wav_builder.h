// Builds WAV images byte by byte for the reader's tests and the fuzz seeds: chunk by chunk, so
// that a test can damage exactly one field.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdlib.h>
#include <string>
#include <vector>

namespace wavtest {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes &b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put32(Bytes &b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void PutId(Bytes &b, const char *id) {
    b.insert(b.end(), id, id + 4);
}

struct Format {
    std::uint16_t tag = 1;
    std::uint16_t channels = 1;
    std::uint32_t rate = 22050;
    std::uint16_t bits = 16;
    int blockAlign = -1;        // -1: channels * bits / 8
    std::uint32_t avgBytes = 0; // 0: rate * block alignment
    std::uint16_t BlockAlign() const {
        return static_cast<std::uint16_t>(blockAlign >= 0 ? blockAlign : channels * (bits / 8));
    }
};

// The body of a "fmt " chunk: the 16-byte PCM record, then `extra` (count and extra bytes).
inline Bytes FormatBody(const Format &f, const Bytes &extra = {}) {
    Bytes b;
    Put16(b, f.tag);
    Put16(b, f.channels);
    Put32(b, f.rate);
    Put32(b, f.avgBytes ? f.avgBytes : f.rate * f.BlockAlign());
    Put16(b, f.BlockAlign());
    Put16(b, f.bits);
    b.insert(b.end(), extra.begin(), extra.end());
    return b;
}

// The extra bytes of an extensible header (count first): valid bits, channel mask and the
// sub-format, a registered tag in the standard identifier unless `subFormat` gives all 16 bytes.
inline Bytes ExtensibleExtra(std::uint16_t validBits, std::uint16_t subTag = 1,
                             const Bytes &subFormat = {}) {
    Bytes b;
    Put16(b, 22);
    Put16(b, validBits);
    Put32(b, 0x4); // front centre
    if (!subFormat.empty()) {
        b.insert(b.end(), subFormat.begin(), subFormat.end());
        return b;
    }
    Put32(b, subTag);
    b.insert(b.end(), {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71});
    return b;
}

// One chunk; `declaredSize` overrides the size field (to damage it). Odd bodies get a pad byte.
inline Bytes Chunk(const char *id, const Bytes &body, std::int64_t declaredSize = -1) {
    Bytes b;
    PutId(b, id);
    Put32(b, declaredSize >= 0 ? static_cast<std::uint32_t>(declaredSize)
                               : static_cast<std::uint32_t>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1)
        b.push_back(0);
    return b;
}

inline Bytes Riff(const Bytes &chunks, const char *form = "WAVE", std::int64_t declaredSize = -1) {
    Bytes body;
    PutId(body, form);
    body.insert(body.end(), chunks.begin(), chunks.end());
    return Chunk("RIFF", body, declaredSize);
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes &p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Deterministic sample bytes that differ from position to position.
inline Bytes Samples(std::size_t count, std::uint32_t seed = 1) {
    Bytes b(count);
    std::uint32_t s = seed;
    for (auto &v : b) {
        s = s * 1103515245u + 12345u;
        v = static_cast<std::uint8_t>(s >> 16);
    }
    return b;
}

// The canonical file: RIFF WAVE with "fmt " and "data".
inline Bytes Wav(const Format &f, const Bytes &data) {
    return Riff(Join({Chunk("fmt ", FormatBody(f)), Chunk("data", data)}));
}

inline void WriteFile(const std::filesystem::path &path, const Bytes &bytes) {
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return;
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

inline Bytes ReadFile(const std::filesystem::path &path) {
    Bytes bytes;
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    std::uint8_t buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(file);
    return bytes;
}

// A fresh folder for one test's files, removed with the object.
class TempFolder {
public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarvos-wav-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    std::filesystem::path operator/(const std::string &name) const { return m_path / name; }
    const std::filesystem::path &path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace wavtest
