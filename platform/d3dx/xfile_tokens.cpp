// The token stream shared by both X-file encodings: one token of look-ahead, separators, the
// place for messages and the failure that ends the stream. Each encoding's tokeniser has its own
// file.
#include "platform/d3dx/xfile_tokens.h"

#include <algorithm>

namespace xfile {

Token TokenStream::Simple(TokenType type) {
    Token t;
    t.type = type;
    return t;
}

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

} // namespace xfile
