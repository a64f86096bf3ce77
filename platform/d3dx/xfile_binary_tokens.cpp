// The tokeniser of the X-file binary encoding: 16-bit token codes with their payloads, integer
// and float lists handed out one value at a time. It never reads past the end of its input: a
// token that would run off the end is an error token with a reason.
#include "platform/d3dx/xfile_tokens.h"

#include <array>
#include <cstring>
#include <string>

namespace xfile {

namespace {

// The token of each code that carries no payload (punctuation and keywords); Error for every
// other code.
constexpr std::array<TokenType, 53> kPlainCodes = [] {
    std::array<TokenType, 53> types{};
    types.fill(TokenType::Error);
    const std::pair<std::uint16_t, TokenType> plain[] = {
        {binary::kOpenBrace, TokenType::OpenBrace},
        {binary::kCloseBrace, TokenType::CloseBrace},
        {binary::kOpenParen, TokenType::OpenParen},
        {binary::kCloseParen, TokenType::CloseParen},
        {binary::kOpenBracket, TokenType::OpenBracket},
        {binary::kCloseBracket, TokenType::CloseBracket},
        {binary::kOpenAngle, TokenType::OpenAngle},
        {binary::kCloseAngle, TokenType::CloseAngle},
        {binary::kDot, TokenType::Dot},
        {binary::kComma, TokenType::Comma},
        {binary::kSemicolon, TokenType::Semicolon},
        {binary::kTemplate, TokenType::Template},
        {binary::kWord, TokenType::TypeWord},
        {binary::kDWord, TokenType::TypeDWord},
        {binary::kFloat, TokenType::TypeFloat},
        {binary::kDouble, TokenType::TypeDouble},
        {binary::kChar, TokenType::TypeChar},
        {binary::kUChar, TokenType::TypeUChar},
        {binary::kSWord, TokenType::TypeSWord},
        {binary::kSDWord, TokenType::TypeSDWord},
        {binary::kVoid, TokenType::TypeVoid},
        {binary::kLpstr, TokenType::TypeString},
        {binary::kUnicode, TokenType::TypeUnicode},
        {binary::kCString, TokenType::TypeCString},
        {binary::kArray, TokenType::Array},
    };
    for (const auto &[code, type] : plain)
        types[code] = type;
    return types;
}();

TokenType PlainCode(std::uint16_t code) {
    return code < kPlainCodes.size() ? kPlainCodes[code] : TokenType::Error;
}

} // namespace

bool TokenStream::ReadU16(std::uint16_t &v) {
    if (m_data.size() - m_pos < 2)
        return false;
    v = static_cast<std::uint16_t>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
    m_pos += 2;
    return true;
}

bool TokenStream::ReadU32(std::uint32_t &v) {
    if (m_data.size() - m_pos < 4)
        return false;
    v = static_cast<std::uint32_t>(m_data[m_pos]) |
        (static_cast<std::uint32_t>(m_data[m_pos + 1]) << 8) |
        (static_cast<std::uint32_t>(m_data[m_pos + 2]) << 16) |
        (static_cast<std::uint32_t>(m_data[m_pos + 3]) << 24);
    m_pos += 4;
    return true;
}

Token TokenStream::ReadBinary() {
    Token t = ReadBinaryToken();
    t.at = static_cast<std::uint32_t>(m_tokenStart + 16);
    return t;
}

Token TokenStream::ReadBinaryToken() {
    if (Failed())
        return Simple(TokenType::Error);
    for (;;) {
        m_tokenStart = m_pos;
        if (m_listLeft > 0)
            return ReadListValue();
        if (m_pos >= m_data.size())
            return Simple(TokenType::End);
        std::uint16_t code;
        if (!ReadU16(code))
            return Fail("truncated binary token");
        if (const TokenType plain = PlainCode(code); plain != TokenType::Error)
            return Simple(plain);
        switch (code) {
        case binary::kName:
        case binary::kString:
            return ReadBinaryText(code);
        case binary::kInteger:
            return ReadBinaryInteger();
        case binary::kGuid:
            return ReadBinaryGuid();
        case binary::kIntegerList:
        case binary::kFloatList:
            if (!OpenBinaryList(code))
                return Simple(TokenType::Error);
            continue; // an empty list yields nothing
        default:
            return Fail("unknown binary token " + std::to_string(code));
        }
    }
}

// The next value of the open list.
Token TokenStream::ReadListValue() {
    --m_listLeft;
    Token t;
    t.width = static_cast<std::uint8_t>(m_listFloats ? m_floatBits / 8 : 4);
    if (!m_listFloats) {
        std::uint32_t v;
        if (!ReadU32(v))
            return Fail("integer list runs past the end");
        t.type = TokenType::Integer;
        t.integer = v;
        t.real = static_cast<double>(v);
        return t;
    }
    t.type = TokenType::Float;
    if (m_floatBits == 64) {
        if (m_data.size() - m_pos < 8)
            return Fail("float list runs past the end");
        std::memcpy(&t.real, m_data.data() + m_pos, 8);
        m_pos += 8;
    } else {
        std::uint32_t bits;
        if (!ReadU32(bits))
            return Fail("float list runs past the end");
        float f;
        std::memcpy(&f, &bits, 4);
        t.real = f;
    }
    return t;
}

// A name, or a string and its terminator token.
Token TokenStream::ReadBinaryText(std::uint16_t code) {
    std::uint32_t length;
    if (!ReadU32(length) || length > m_data.size() - m_pos)
        return Fail("name or string runs past the end");
    Token t = Simple(code == binary::kName ? TokenType::Name : TokenType::String);
    t.text.assign(reinterpret_cast<const char *>(m_data.data() + m_pos), length);
    m_pos += length;
    // Names and strings may carry their terminator inside; keep the text before it.
    if (const auto zero = t.text.find('\0'); zero != std::string::npos)
        t.text.resize(zero);
    if (code == binary::kString) {
        std::uint32_t terminator;
        if (!ReadU32(terminator))
            return Fail("string terminator missing");
    }
    return t;
}

Token TokenStream::ReadBinaryInteger() {
    Token t = Simple(TokenType::Integer);
    std::uint32_t v;
    if (!ReadU32(v))
        return Fail("truncated integer");
    t.integer = v;
    t.real = static_cast<double>(v);
    return t;
}

Token TokenStream::ReadBinaryGuid() {
    Token t = Simple(TokenType::Guid);
    std::uint16_t d2, d3;
    if (!ReadU32(t.guid.Data1) || !ReadU16(d2) || !ReadU16(d3) || m_data.size() - m_pos < 8)
        return Fail("truncated GUID");
    t.guid.Data2 = d2;
    t.guid.Data3 = d3;
    std::memcpy(t.guid.Data4, m_data.data() + m_pos, 8);
    m_pos += 8;
    return t;
}

// Opens an integer or float list whose values the following reads hand out; false (the stream
// failed) when the list cannot be in the data.
bool TokenStream::OpenBinaryList(std::uint16_t code) {
    std::uint32_t count;
    if (!ReadU32(count)) {
        Fail("truncated list");
        return false;
    }
    const std::size_t width =
        code == binary::kIntegerList ? 4 : static_cast<std::size_t>(m_floatBits / 8);
    if (count > (m_data.size() - m_pos) / width) {
        Fail("list runs past the end");
        return false;
    }
    m_listLeft = count;
    m_listFloats = code == binary::kFloatList;
    return true;
}

} // namespace xfile
