// Tokenisers of the X-file text and binary encodings. Both never read past the end of their
// input: a token that would runs off the end is an error token with a reason.
#include "platform/d3dx/xfile_tokens.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <limits>
#include <strings.h>

namespace xfile {

namespace {

struct Keyword {
    const char *text;
    TokenType type;
};

constexpr Keyword kKeywords[] = {
    {"template", TokenType::Template},   {"array", TokenType::Array},
    {"WORD", TokenType::TypeWord},       {"DWORD", TokenType::TypeDWord},
    {"FLOAT", TokenType::TypeFloat},     {"DOUBLE", TokenType::TypeDouble},
    {"CHAR", TokenType::TypeChar},       {"UCHAR", TokenType::TypeUChar},
    {"BYTE", TokenType::TypeUChar},      {"SWORD", TokenType::TypeSWord},
    {"SDWORD", TokenType::TypeSDWord},   {"VOID", TokenType::TypeVoid},
    {"STRING", TokenType::TypeString},   {"LPSTR", TokenType::TypeString},
    {"UNICODE", TokenType::TypeUnicode}, {"CSTRING", TokenType::TypeCString},
};

bool IsNameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.';
}
bool IsNumberChar(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' ||
           c == 'e' || c == 'E';
}

bool ParseHex(std::string_view text, std::uint64_t &out) {
    if (text.empty())
        return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), out, 16);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

// "3D82AB44-62DA-11CF-AB39-0020AF71E433"
bool ParseGuidText(std::string_view text, GUID &guid) {
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
        text[23] != '-')
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] != '-' && !std::isxdigit(static_cast<unsigned char>(text[i])))
            return false;
    std::uint64_t a, b, c, d, e;
    if (!ParseHex(text.substr(0, 8), a) || !ParseHex(text.substr(9, 4), b) ||
        !ParseHex(text.substr(14, 4), c) || !ParseHex(text.substr(19, 4), d) ||
        !ParseHex(text.substr(24, 12), e))
        return false;
    guid.Data1 = static_cast<DWORD>(a);
    guid.Data2 = static_cast<WORD>(b);
    guid.Data3 = static_cast<WORD>(c);
    guid.Data4[0] = static_cast<BYTE>(d >> 8);
    guid.Data4[1] = static_cast<BYTE>(d);
    for (int i = 0; i < 6; ++i)
        guid.Data4[2 + i] = static_cast<BYTE>(e >> (8 * (5 - i)));
    return true;
}

Token Simple(TokenType type) {
    Token t;
    t.type = type;
    return t;
}

} // namespace

TokenStream::TokenStream(std::span<const std::uint8_t> body, bool binary, int floatBits)
    : m_data(body), m_binary(binary), m_floatBits(floatBits) {}

const Token &TokenStream::Peek() {
    if (!m_peeked) {
        m_next = m_binary ? ReadBinary() : ReadText();
        m_peeked = true;
    }
    return m_next;
}

std::uint32_t TokenStream::LineAt(std::size_t pos) {
    const auto *p = m_data.data();
    m_line += static_cast<std::uint32_t>(std::count(p + m_lineCounted, p + pos, '\n'));
    m_lineCounted = pos;
    return m_line;
}

Token TokenStream::Next() {
    Peek();
    m_peeked = false;
    return std::move(m_next);
}

void TokenStream::SkipSeparators() {
    while (Peek().type == TokenType::Comma || Peek().type == TokenType::Semicolon)
        Next();
}

std::string TokenStream::Where() const {
    if (m_binary)
        return "byte " + std::to_string(m_pos + 16);
    const auto *p = m_data.data();
    return "line " + std::to_string(1 + std::count(p, p + m_pos, '\n'));
}

Token TokenStream::Fail(std::string reason) {
    if (m_error.empty())
        m_error = Where() + ": " + std::move(reason);
    // Once failed, the stream stays at its end.
    m_pos = m_data.size();
    m_listLeft = 0;
    return Simple(TokenType::Error);
}

Token TokenStream::ReadText() {
    if (Failed())
        return Simple(TokenType::Error);
    const char *p = reinterpret_cast<const char *>(m_data.data());
    const std::size_t n = m_data.size();
    for (;;) {
        while (m_pos < n && std::isspace(static_cast<unsigned char>(p[m_pos])))
            ++m_pos;
        if (m_pos < n &&
            (p[m_pos] == '#' || (p[m_pos] == '/' && m_pos + 1 < n && p[m_pos + 1] == '/'))) {
            while (m_pos < n && p[m_pos] != '\n')
                ++m_pos;
            continue;
        }
        break;
    }
    if (m_pos >= n)
        return Simple(TokenType::End);
    const std::uint32_t line = LineAt(m_pos);
    Token t = ReadTextToken();
    t.at = line;
    return t;
}

Token TokenStream::ReadTextToken() {
    const char *p = reinterpret_cast<const char *>(m_data.data());
    const std::size_t n = m_data.size();
    // A zero byte ends some hand-written files; nothing after it is data.
    if (p[m_pos] == '\0') {
        m_pos = n;
        return Simple(TokenType::End);
    }

    const char c = p[m_pos];
    switch (c) {
    case '{':
        ++m_pos;
        return Simple(TokenType::OpenBrace);
    case '}':
        ++m_pos;
        return Simple(TokenType::CloseBrace);
    case '(':
        ++m_pos;
        return Simple(TokenType::OpenParen);
    case ')':
        ++m_pos;
        return Simple(TokenType::CloseParen);
    case '[':
        ++m_pos;
        return Simple(TokenType::OpenBracket);
    case ']':
        ++m_pos;
        return Simple(TokenType::CloseBracket);
    case ',':
        ++m_pos;
        return Simple(TokenType::Comma);
    case ';':
        ++m_pos;
        return Simple(TokenType::Semicolon);
    default:
        break;
    }

    if (c == '<') {
        const std::size_t start = m_pos + 1;
        std::size_t end = start;
        while (end < n && p[end] != '>' && end - start <= 40)
            ++end;
        if (end >= n || p[end] != '>')
            return Fail("unterminated GUID");
        Token t = Simple(TokenType::Guid);
        std::string_view text(p + start, end - start);
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
            text.remove_prefix(1);
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
            text.remove_suffix(1);
        if (!ParseGuidText(text, t.guid))
            return Fail("malformed GUID");
        m_pos = end + 1;
        return t;
    }

    if (c == '"') {
        const std::size_t start = m_pos + 1;
        const void *close = std::memchr(p + start, '"', n - start);
        if (!close)
            return Fail("unterminated string");
        const std::size_t end = static_cast<const char *>(close) - p;
        Token t = Simple(TokenType::String);
        t.text.assign(p + start, end - start);
        m_pos = end + 1;
        return t;
    }

    const bool dotStartsNumber =
        c == '.' && m_pos + 1 < n && std::isdigit(static_cast<unsigned char>(p[m_pos + 1]));
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || dotStartsNumber) {
        std::size_t end = m_pos;
        while (end < n && IsNumberChar(p[end]))
            ++end;
        std::string_view text(p + m_pos, end - m_pos);
        m_pos = end;
        if (!text.empty() && text.front() == '+')
            text.remove_prefix(1);
        const bool isFloat = text.find_first_of(".eE") != std::string_view::npos;
        Token t;
        if (isFloat) {
            t.type = TokenType::Float;
            const auto r = std::from_chars(text.data(), text.data() + text.size(), t.real);
            if (r.ec != std::errc() || r.ptr != text.data() + text.size())
                return Fail("malformed number '" + std::string(text) + "'");
            return t;
        }
        long long value = 0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
        if (r.ec != std::errc() || r.ptr != text.data() + text.size())
            return Fail("malformed number '" + std::string(text.substr(0, 32)) + "'");
        if (value < std::numeric_limits<std::int32_t>::min() ||
            value > static_cast<long long>(std::numeric_limits<std::uint32_t>::max()))
            return Fail("integer out of range");
        t.type = TokenType::Integer;
        t.integer = static_cast<std::uint32_t>(value);
        t.real = static_cast<double>(value);
        return t;
    }

    if (c == '.') {
        ++m_pos;
        return Simple(TokenType::Dot);
    }

    if (IsNameStart(c)) {
        std::size_t end = m_pos;
        while (end < n && IsNameChar(p[end]))
            ++end;
        Token t = Simple(TokenType::Name);
        t.text.assign(p + m_pos, end - m_pos);
        m_pos = end;
        for (const Keyword &k : kKeywords)
            if (strcasecmp(t.text.c_str(), k.text) == 0) {
                t.type = k.type;
                break;
            }
        return t;
    }

    return Fail("unexpected character in text X file");
}

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
        if (m_listLeft > 0) {
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
        if (m_pos >= m_data.size())
            return Simple(TokenType::End);
        std::uint16_t code;
        if (!ReadU16(code))
            return Fail("truncated binary token");
        switch (code) {
        case binary::kName:
        case binary::kString: {
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
        case binary::kInteger: {
            Token t = Simple(TokenType::Integer);
            std::uint32_t v;
            if (!ReadU32(v))
                return Fail("truncated integer");
            t.integer = v;
            t.real = static_cast<double>(v);
            return t;
        }
        case binary::kGuid: {
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
        case binary::kIntegerList:
        case binary::kFloatList: {
            std::uint32_t count;
            if (!ReadU32(count))
                return Fail("truncated list");
            const std::size_t width =
                code == binary::kIntegerList ? 4 : static_cast<std::size_t>(m_floatBits / 8);
            if (count > (m_data.size() - m_pos) / width)
                return Fail("list runs past the end");
            m_listLeft = count;
            m_listFloats = code == binary::kFloatList;
            continue; // an empty list yields nothing
        }
        case binary::kOpenBrace:
            return Simple(TokenType::OpenBrace);
        case binary::kCloseBrace:
            return Simple(TokenType::CloseBrace);
        case binary::kOpenParen:
            return Simple(TokenType::OpenParen);
        case binary::kCloseParen:
            return Simple(TokenType::CloseParen);
        case binary::kOpenBracket:
            return Simple(TokenType::OpenBracket);
        case binary::kCloseBracket:
            return Simple(TokenType::CloseBracket);
        case binary::kOpenAngle:
            return Simple(TokenType::OpenAngle);
        case binary::kCloseAngle:
            return Simple(TokenType::CloseAngle);
        case binary::kDot:
            return Simple(TokenType::Dot);
        case binary::kComma:
            return Simple(TokenType::Comma);
        case binary::kSemicolon:
            return Simple(TokenType::Semicolon);
        case binary::kTemplate:
            return Simple(TokenType::Template);
        case binary::kWord:
            return Simple(TokenType::TypeWord);
        case binary::kDWord:
            return Simple(TokenType::TypeDWord);
        case binary::kFloat:
            return Simple(TokenType::TypeFloat);
        case binary::kDouble:
            return Simple(TokenType::TypeDouble);
        case binary::kChar:
            return Simple(TokenType::TypeChar);
        case binary::kUChar:
            return Simple(TokenType::TypeUChar);
        case binary::kSWord:
            return Simple(TokenType::TypeSWord);
        case binary::kSDWord:
            return Simple(TokenType::TypeSDWord);
        case binary::kVoid:
            return Simple(TokenType::TypeVoid);
        case binary::kLpstr:
            return Simple(TokenType::TypeString);
        case binary::kUnicode:
            return Simple(TokenType::TypeUnicode);
        case binary::kCString:
            return Simple(TokenType::TypeCString);
        case binary::kArray:
            return Simple(TokenType::Array);
        default:
            return Fail("unknown binary token " + std::to_string(code));
        }
    }
}

} // namespace xfile
