// The tokeniser of the X-file text encoding: punctuation, GUIDs, strings, numbers, names and
// keywords, with '#' and '//' comments. It never reads past the end of its input: a token that
// would run off the end is an error token with a reason.
#include "platform/d3dx/xfile_tokens.h"

#include <cctype>
#include <charconv>
#include <cstring>
#include <limits>
#include <string_view>
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

// The one-character tokens of text files; false for any other character.
bool TextPunctuation(char c, TokenType &type) {
    switch (c) {
    case '{':
        type = TokenType::OpenBrace;
        return true;
    case '}':
        type = TokenType::CloseBrace;
        return true;
    case '(':
        type = TokenType::OpenParen;
        return true;
    case ')':
        type = TokenType::CloseParen;
        return true;
    case '[':
        type = TokenType::OpenBracket;
        return true;
    case ']':
        type = TokenType::CloseBracket;
        return true;
    case ',':
        type = TokenType::Comma;
        return true;
    case ';':
        type = TokenType::Semicolon;
        return true;
    default:
        return false;
    }
}

} // namespace

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
    if (TokenType type; TextPunctuation(c, type)) {
        ++m_pos;
        return Simple(type);
    }
    if (c == '<')
        return ReadTextGuid();
    if (c == '"')
        return ReadTextString();
    const bool dotStartsNumber =
        c == '.' && m_pos + 1 < n && std::isdigit(static_cast<unsigned char>(p[m_pos + 1]));
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || dotStartsNumber)
        return ReadTextNumber();
    if (c == '.') {
        ++m_pos;
        return Simple(TokenType::Dot);
    }
    if (IsNameStart(c))
        return ReadTextName();
    return Fail("unexpected character in text X file");
}

// <3D82AB44-62DA-11CF-AB39-0020AF71E433>, spaces allowed inside the angle brackets.
Token TokenStream::ReadTextGuid() {
    const char *p = reinterpret_cast<const char *>(m_data.data());
    const std::size_t n = m_data.size();
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

// "text": everything up to the next quote, with no escapes.
Token TokenStream::ReadTextString() {
    const char *p = reinterpret_cast<const char *>(m_data.data());
    const std::size_t start = m_pos + 1;
    const void *close = std::memchr(p + start, '"', m_data.size() - start);
    if (!close)
        return Fail("unterminated string");
    const std::size_t end = static_cast<const char *>(close) - p;
    Token t = Simple(TokenType::String);
    t.text.assign(p + start, end - start);
    m_pos = end + 1;
    return t;
}

// A float when it has a point or an exponent, else a 32-bit integer (signed or not).
Token TokenStream::ReadTextNumber() {
    const char *p = reinterpret_cast<const char *>(m_data.data());
    std::size_t end = m_pos;
    while (end < m_data.size() && IsNumberChar(p[end]))
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

// A name, or a keyword in any letter case.
Token TokenStream::ReadTextName() {
    const char *p = reinterpret_cast<const char *>(m_data.data());
    std::size_t end = m_pos;
    while (end < m_data.size() && IsNameChar(p[end]))
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

} // namespace xfile
