// Test helper: writes X files in the binary encoding token by token, so that tests can encode the
// same mesh in both encodings and compare what the reader makes of them.
#pragma once

#include "platform/d3dx/xfile_tokens.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace testing_xfile {

class BinaryXFile {
public:
    explicit BinaryXFile(bool doubles = false) : m_doubles(doubles) {
        const char *header = doubles ? "xof 0303bin 0064" : "xof 0303bin 0032";
        m_bytes.assign(header, header + 16);
    }

    BinaryXFile &Token(std::uint16_t code) {
        Put16(code);
        return *this;
    }
    BinaryXFile &Name(const std::string &text) {
        Put16(xfile::binary::kName);
        Put32(static_cast<std::uint32_t>(text.size()));
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        return *this;
    }
    BinaryXFile &String(const std::string &text) {
        Put16(xfile::binary::kString);
        Put32(static_cast<std::uint32_t>(text.size()));
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        Put32(xfile::binary::kSemicolon);
        return *this;
    }
    BinaryXFile &Integers(std::initializer_list<std::uint32_t> values) {
        return Integers(std::vector<std::uint32_t>(values));
    }
    BinaryXFile &Integers(const std::vector<std::uint32_t> &values) {
        Put16(xfile::binary::kIntegerList);
        Put32(static_cast<std::uint32_t>(values.size()));
        for (std::uint32_t v : values)
            Put32(v);
        return *this;
    }
    BinaryXFile &Floats(std::initializer_list<float> values) {
        Put16(xfile::binary::kFloatList);
        Put32(static_cast<std::uint32_t>(values.size()));
        for (float v : values) {
            if (m_doubles) {
                const double d = v;
                std::uint8_t raw[8];
                std::memcpy(raw, &d, 8);
                m_bytes.insert(m_bytes.end(), raw, raw + 8);
            } else {
                std::uint32_t bits;
                std::memcpy(&bits, &v, 4);
                Put32(bits);
            }
        }
        return *this;
    }
    BinaryXFile &Open(const std::string &templateName, const std::string &objectName = {}) {
        Name(templateName);
        if (!objectName.empty())
            Name(objectName);
        return Token(xfile::binary::kOpenBrace);
    }
    BinaryXFile &Close() { return Token(xfile::binary::kCloseBrace); }
    BinaryXFile &Reference(const std::string &objectName) {
        Token(xfile::binary::kOpenBrace);
        Name(objectName);
        return Close();
    }

    const std::vector<std::uint8_t> &Bytes() const { return m_bytes; }

private:
    void Put16(std::uint16_t v) {
        m_bytes.push_back(static_cast<std::uint8_t>(v));
        m_bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void Put32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            m_bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }

    bool m_doubles;
    std::vector<std::uint8_t> m_bytes;
};

} // namespace testing_xfile
