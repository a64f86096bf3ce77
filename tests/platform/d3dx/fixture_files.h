// Test helper: reads the checked-in fixture files and parses X text given inline.
#pragma once

#include "platform/d3dx/xfile_reader.h"
#include "platform/image/image.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace testing_xfile {

inline std::string FixturePath(const std::string &relative) {
    const char *root = std::getenv("TARVOS_SOURCE_DIR");
    return std::string(root ? root : ".") + "/tests/fixtures/" + relative;
}

inline std::vector<std::uint8_t> ReadFixture(const std::string &relative) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    image::ReadFileBytes(FixturePath(relative), bytes, error);
    return bytes;
}

inline std::vector<std::uint8_t> Bytes(const std::string &text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

inline bool Parse(const std::string &text, xfile::Document &doc, std::string &error) {
    const auto bytes = Bytes(text);
    return xfile::ParseXFile(bytes, doc, error);
}

} // namespace testing_xfile
