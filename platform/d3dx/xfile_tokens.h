// The token streams under the X-file reader: one for the text encoding and one for the binary
// encoding, both producing the same tokens so that a single parser serves both. Binary integer and
// float lists are handed out one value at a time.
#pragma once

#include "platform/win32/types.h"

#include <cstdint>
#include <span>
#include <string>

namespace xfile {

enum class TokenType : std::uint8_t {
    End,
    Name,
    String,
    Integer,
    Float,
    Guid,
    OpenBrace,
    CloseBrace,
    OpenParen,
    CloseParen,
    OpenBracket,
    CloseBracket,
    OpenAngle,
    CloseAngle,
    Dot,
    Comma,
    Semicolon,
    // Keywords: text files spell them as names, binary files give them their own tokens.
    Template,
    Array,
    TypeWord,
    TypeDWord,
    TypeFloat,
    TypeDouble,
    TypeChar,
    TypeUChar,
    TypeSWord,
    TypeSDWord,
    TypeVoid,
    TypeString, // LPSTR / STRING
    TypeUnicode,
    TypeCString,
    // Keep Error last: keyword tokens are those from Template up to it.
    Error,
};

struct Token {
    TokenType type = TokenType::End;
    std::string text;          // Name, String
    std::uint64_t integer = 0; // Integer (negative text values are kept as their 32-bit pattern)
    double real = 0.0;         // Float, and Integer as a number
    GUID guid{};
    // Where the token stands: its line in text, its byte offset in the file in binary.
    std::uint32_t at = 0;
    // Bytes per value in the file for the values of a binary list (they follow each other at this
    // step); 0 for every other token.
    std::uint8_t width = 0;
};

// Token codes of the binary encoding (16-bit, little-endian), each followed by its payload.
namespace binary {
constexpr std::uint16_t kName = 1;        // DWORD length, characters
constexpr std::uint16_t kString = 2;      // DWORD length, characters, DWORD terminator token
constexpr std::uint16_t kInteger = 3;     // DWORD
constexpr std::uint16_t kGuid = 5;        // DWORD, WORD, WORD, 8 bytes
constexpr std::uint16_t kIntegerList = 6; // DWORD count, count DWORDs
constexpr std::uint16_t kFloatList = 7;   // DWORD count, count floats of the header's width
constexpr std::uint16_t kOpenBrace = 10;
constexpr std::uint16_t kCloseBrace = 11;
constexpr std::uint16_t kOpenParen = 12;
constexpr std::uint16_t kCloseParen = 13;
constexpr std::uint16_t kOpenBracket = 14;
constexpr std::uint16_t kCloseBracket = 15;
constexpr std::uint16_t kOpenAngle = 16;
constexpr std::uint16_t kCloseAngle = 17;
constexpr std::uint16_t kDot = 18;
constexpr std::uint16_t kComma = 19;
constexpr std::uint16_t kSemicolon = 20;
constexpr std::uint16_t kTemplate = 31;
constexpr std::uint16_t kWord = 40;
constexpr std::uint16_t kDWord = 41;
constexpr std::uint16_t kFloat = 42;
constexpr std::uint16_t kDouble = 43;
constexpr std::uint16_t kChar = 44;
constexpr std::uint16_t kUChar = 45;
constexpr std::uint16_t kSWord = 46;
constexpr std::uint16_t kSDWord = 47;
constexpr std::uint16_t kVoid = 48;
constexpr std::uint16_t kLpstr = 49;
constexpr std::uint16_t kUnicode = 50;
constexpr std::uint16_t kCString = 51;
constexpr std::uint16_t kArray = 52;
} // namespace binary

class TokenStream {
public:
    // `body` is the file after its 16-byte header; `binary` selects the encoding and
    // `floatBits` (32 or 64) the width of binary float-list entries.
    TokenStream(std::span<const std::uint8_t> body, bool binary, int floatBits);

    const Token &Peek();
    Token Next();
    // Skips list separators (';' and ','), which the text encoding places loosely.
    void SkipSeparators();
    const std::string &Error() const { return m_error; }
    // Where the stream stands, for messages: "line N" in text, "byte N" in binary (counted from
    // the start of the file).
    std::string Where() const;
    bool Failed() const { return !m_error.empty(); }

private:
    static Token Simple(TokenType type);
    Token Fail(std::string reason);
    std::uint32_t LineAt(std::size_t pos);

    // The text encoding (xfile_text_tokens.cpp).
    Token ReadText();
    Token ReadTextToken();
    Token ReadTextGuid();
    Token ReadTextString();
    Token ReadTextNumber();
    Token ReadTextName();

    // The binary encoding (xfile_binary_tokens.cpp).
    Token ReadBinary();
    Token ReadBinaryToken();
    Token ReadListValue();
    Token ReadBinaryText(std::uint16_t code);
    Token ReadBinaryInteger();
    Token ReadBinaryGuid();
    bool OpenBinaryList(std::uint16_t code);
    bool ReadU16(std::uint16_t &v);
    bool ReadU32(std::uint32_t &v);

    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
    bool m_binary;
    int m_floatBits;
    bool m_peeked = false;
    Token m_next;
    std::string m_error;
    // An open binary list: how many values remain and whether they are floats.
    std::uint32_t m_listLeft = 0;
    bool m_listFloats = false;
    // Lines counted incrementally: the newlines before m_lineCounted make up m_line - 1.
    std::size_t m_lineCounted = 0;
    std::uint32_t m_line = 1;
    std::size_t m_tokenStart = 0; // where the binary token being read began
};

} // namespace xfile
