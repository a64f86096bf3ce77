// Parser of the effect-language subset: a small tokenizer and a recursive-descent parser whose
// state and value vocabularies are the tables below.
#include "platform/d3dx/effect_parser.h"

#include <cctype>
#include <charconv>
#include <span>
#include <string>
#include <string_view>
#include <strings.h>
#include <unordered_map>

namespace effect {

namespace {

struct Named {
    const char *name;
    std::uint32_t value;
};

// Value vocabularies, with the device's numbers for each name.
constexpr Named kBool[] = {{"false", 0}, {"true", 1}};
constexpr Named kCompare[] = {{"Never", 1},        {"Less", 2},    {"Equal", 3},
                              {"LessEqual", 4},    {"Greater", 5}, {"NotEqual", 6},
                              {"GreaterEqual", 7}, {"Always", 8}};
constexpr Named kBlend[] = {{"Zero", 1},          {"One", 2},          {"SrcColor", 3},
                            {"InvSrcColor", 4},   {"SrcAlpha", 5},     {"InvSrcAlpha", 6},
                            {"DestAlpha", 7},     {"InvDestAlpha", 8}, {"DestColor", 9},
                            {"InvDestColor", 10}, {"SrcAlphaSat", 11}};
constexpr Named kCull[] = {{"None", 1}, {"CW", 2}, {"CCW", 3}};
constexpr Named kTextureOp[] = {
    {"Disable", 1},    {"SelectArg1", 2}, {"SelectArg2", 3}, {"Modulate", 4},    {"Modulate2x", 5},
    {"Modulate4x", 6}, {"Add", 7},        {"AddSigned", 8},  {"AddSigned2x", 9}, {"Subtract", 10}};
constexpr Named kTextureArg[] = {
    {"Diffuse", 0}, {"Current", 1}, {"Texture", 2}, {"TFactor", 3}, {"Specular", 4}};
constexpr Named kFilter[] = {{"None", 0}, {"Point", 1}, {"Linear", 2}, {"Anisotropic", 3}};
constexpr Named kAddress[] = {{"Wrap", 1}, {"Mirror", 2}, {"Clamp", 3}, {"Border", 4}};
constexpr Named kTexCoordIndex[] = {{"PassThru", 0},
                                    {"CameraSpaceNormal", 0x10000},
                                    {"CameraSpacePosition", 0x20000},
                                    {"CameraSpaceReflectionVector", 0x30000}};
constexpr Named kTransformFlags[] = {{"Disable", 0}, {"Count1", 1}, {"Count2", 2},
                                     {"Count3", 3},  {"Count4", 4}, {"Projected", 256}};
// Vertex format flags, joined with '|'.
constexpr Named kFvf[] = {{"xyz", 0x002},     {"xyzrhw", 0x004},   {"normal", 0x010},
                          {"diffuse", 0x040}, {"specular", 0x080}, {"tex0", 0x000},
                          {"tex1", 0x100},    {"tex2", 0x200}};

enum class Expect { Values, Flags, Matrix, TextureParam };

struct StateInfo {
    const char *name;
    State state;
    Expect expect;
    std::span<const Named> values;
    std::uint32_t maxIndex; // highest index allowed in brackets
};

const StateInfo kStates[] = {
    {"ZEnable", State::ZEnable, Expect::Values, kBool, 0},
    {"ZWriteEnable", State::ZWriteEnable, Expect::Values, kBool, 0},
    {"ZFunc", State::ZFunc, Expect::Values, kCompare, 0},
    {"AlphaBlendEnable", State::AlphaBlendEnable, Expect::Values, kBool, 0},
    {"SrcBlend", State::SrcBlend, Expect::Values, kBlend, 0},
    {"DestBlend", State::DestBlend, Expect::Values, kBlend, 0},
    {"Lighting", State::Lighting, Expect::Values, kBool, 0},
    {"CullMode", State::CullMode, Expect::Values, kCull, 0},
    {"VertexShader", State::VertexShader, Expect::Flags, kFvf, 0},
    {"WorldTransform", State::WorldTransform, Expect::Matrix, {}, 255},
    {"ViewTransform", State::ViewTransform, Expect::Matrix, {}, 0},
    {"ProjectionTransform", State::ProjectionTransform, Expect::Matrix, {}, 0},
    {"Texture", State::Texture, Expect::TextureParam, {}, 7},
    {"ColorOp", State::ColorOp, Expect::Values, kTextureOp, 7},
    {"ColorArg1", State::ColorArg1, Expect::Values, kTextureArg, 7},
    {"ColorArg2", State::ColorArg2, Expect::Values, kTextureArg, 7},
    {"AlphaOp", State::AlphaOp, Expect::Values, kTextureOp, 7},
    {"AlphaArg1", State::AlphaArg1, Expect::Values, kTextureArg, 7},
    {"AlphaArg2", State::AlphaArg2, Expect::Values, kTextureArg, 7},
    {"MinFilter", State::MinFilter, Expect::Values, kFilter, 7},
    {"MagFilter", State::MagFilter, Expect::Values, kFilter, 7},
    {"MipFilter", State::MipFilter, Expect::Values, kFilter, 7},
    {"AddressU", State::AddressU, Expect::Values, kAddress, 7},
    {"AddressV", State::AddressV, Expect::Values, kAddress, 7},
    {"AddressW", State::AddressW, Expect::Values, kAddress, 7},
    {"TexCoordIndex", State::TexCoordIndex, Expect::Values, kTexCoordIndex, 7},
    {"TextureTransformFlags", State::TextureTransformFlags, Expect::Values, kTransformFlags, 7},
};

struct TypeName {
    const char *name;
    ParameterType type;
};
constexpr TypeName kTypes[] = {
    {"texture", ParameterType::Texture}, {"matrix", ParameterType::Matrix},
    {"vector", ParameterType::Vector},   {"float", ParameterType::Float},
    {"dword", ParameterType::DWord},     {"bool", ParameterType::Bool}};

// A word of the source as messages show it, in single quotes. Built front to back: a literal
// prepended to a temporary string shifts it, and optimised builds warn of overlapping copies.
std::string Quoted(std::string_view word) {
    std::string text(1, '\'');
    text += word;
    text += '\'';
    return text;
}

bool Equal(std::string_view a, const char *b) {
    return a.size() == std::char_traits<char>::length(b) && strncasecmp(a.data(), b, a.size()) == 0;
}

enum class Tok { End, Ident, Number, Punct, Error };

struct Token {
    Tok type = Tok::End;
    std::string_view text;
    std::uint32_t number = 0;
    int line = 1;
};

class Lexer {
public:
    explicit Lexer(std::string_view text) : m_text(text) {}

    Token Next() {
        SkipSpaceAndComments();
        Token t;
        t.line = m_line;
        if (m_error) {
            t.type = Tok::Error;
            return t;
        }
        if (m_pos >= m_text.size())
            return t;
        const char c = m_text[m_pos];
        const std::size_t start = m_pos;
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            while (
                m_pos < m_text.size() &&
                (std::isalnum(static_cast<unsigned char>(m_text[m_pos])) || m_text[m_pos] == '_'))
                ++m_pos;
            t.type = Tok::Ident;
            t.text = m_text.substr(start, m_pos - start);
            return t;
        }
        if (std::isdigit(static_cast<unsigned char>(c))) {
            while (m_pos < m_text.size() && std::isalnum(static_cast<unsigned char>(m_text[m_pos])))
                ++m_pos;
            t.text = m_text.substr(start, m_pos - start);
            std::string_view digits = t.text;
            int base = 10;
            if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
                digits.remove_prefix(2);
                base = 16;
            }
            const auto r =
                std::from_chars(digits.data(), digits.data() + digits.size(), t.number, base);
            t.type = (r.ec == std::errc() && r.ptr == digits.data() + digits.size()) ? Tok::Number
                                                                                     : Tok::Error;
            return t;
        }
        if (std::string_view("{}[]<>=;|()").find(c) != std::string_view::npos) {
            ++m_pos;
            t.type = Tok::Punct;
            t.text = m_text.substr(start, 1);
            return t;
        }
        t.type = Tok::Error;
        t.text = m_text.substr(start, 1);
        return t;
    }

    bool CommentUnclosed() const { return m_error; }

private:
    void SkipSpaceAndComments() {
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == '\n') {
                ++m_line;
                ++m_pos;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++m_pos;
            } else if (m_text.substr(m_pos, 2) == "//") {
                while (m_pos < m_text.size() && m_text[m_pos] != '\n')
                    ++m_pos;
            } else if (m_text.substr(m_pos, 2) == "/*") {
                const std::size_t end = m_text.find("*/", m_pos + 2);
                if (end == std::string_view::npos) {
                    m_error = true;
                    m_pos = m_text.size();
                    return;
                }
                for (std::size_t i = m_pos; i < end; ++i)
                    m_line += m_text[i] == '\n';
                m_pos = end + 2;
            } else {
                return;
            }
        }
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_line = 1;
    bool m_error = false;
};

class Parser {
public:
    Parser(std::string_view text, Effect &out, std::string &error)
        : m_lexer(text), m_out(out), m_error(error) {
        Advance();
    }

    bool ParseFile() {
        while (m_tok.type != Tok::End) {
            if (m_tok.type != Tok::Ident)
                return Fail("expected a declaration or a technique");
            if (Equal(m_tok.text, "technique")) {
                if (!ParseTechnique())
                    return false;
            } else if (!ParseDeclaration()) {
                return false;
            }
        }
        return true;
    }

private:
    void Advance() { m_tok = m_lexer.Next(); }

    bool Fail(const std::string &reason) {
        if (m_error.empty()) {
            const std::string what =
                m_tok.type == Tok::Error && m_lexer.CommentUnclosed() ? "unclosed comment" : reason;
            m_error = "line " + std::to_string(m_tok.line) + ": " + what;
        }
        return false;
    }

    bool IsPunct(char c) const {
        return m_tok.type == Tok::Punct && m_tok.text.size() == 1 && m_tok.text[0] == c;
    }

    bool Take(char c) {
        if (!IsPunct(c))
            return Fail(std::string("expected '") + c + "'");
        Advance();
        return true;
    }

    bool ParseDeclaration() {
        const TypeName *type = nullptr;
        for (const TypeName &t : kTypes)
            if (Equal(m_tok.text, t.name))
                type = &t;
        if (!type)
            return Fail("unknown type " + Quoted(m_tok.text));
        Advance();
        if (m_tok.type != Tok::Ident)
            return Fail("expected a parameter name");
        const std::string name(m_tok.text);
        if (!m_parameters.emplace(name, static_cast<int>(m_out.parameters.size())).second)
            return Fail("parameter " + Quoted(name) + " declared twice");
        Advance();
        if (!Take(';'))
            return false;
        m_out.parameters.push_back({type->type, name});
        return true;
    }

    bool ParseTechnique() {
        Advance();
        Technique technique;
        if (m_tok.type == Tok::Ident) {
            technique.name = m_tok.text;
            Advance();
        }
        if (!Take('{'))
            return false;
        while (!IsPunct('}')) {
            if (m_tok.type != Tok::Ident || !Equal(m_tok.text, "pass"))
                return Fail("expected a pass");
            Advance();
            Pass pass;
            if (m_tok.type == Tok::Ident) {
                pass.name = m_tok.text;
                Advance();
            }
            if (!Take('{'))
                return false;
            while (!IsPunct('}')) {
                Assignment a;
                if (!ParseAssignment(a))
                    return false;
                pass.assignments.push_back(a);
            }
            Advance();
            technique.passes.push_back(std::move(pass));
        }
        Advance();
        m_out.techniques.push_back(std::move(technique));
        return true;
    }

    bool ParseAssignment(Assignment &a) {
        if (m_tok.type != Tok::Ident)
            return Fail("expected a state name");
        const StateInfo *info = nullptr;
        for (const StateInfo &s : kStates)
            if (Equal(m_tok.text, s.name))
                info = &s;
        if (!info)
            return Fail("unknown state " + Quoted(m_tok.text));
        Advance();
        a.state = info->state;
        if (IsPunct('[')) {
            Advance();
            if (m_tok.type != Tok::Number || m_tok.number > info->maxIndex)
                return Fail(std::string("index out of range for ") + info->name);
            a.index = m_tok.number;
            Advance();
            if (!Take(']'))
                return false;
        }
        if (!Take('='))
            return false;
        int parens = 0;
        while (IsPunct('(')) {
            ++parens;
            Advance();
        }
        if (!ParseValue(*info, a))
            return false;
        for (; parens > 0; --parens)
            if (!Take(')'))
                return false;
        return Take(';');
    }

    bool ParseValue(const StateInfo &info, Assignment &a) {
        if (info.expect == Expect::Matrix || info.expect == Expect::TextureParam) {
            if (!Take('<'))
                return false;
            if (m_tok.type != Tok::Ident)
                return Fail("expected a parameter name");
            const auto found = m_parameters.find(std::string(m_tok.text));
            a.parameter = found == m_parameters.end() ? -1 : found->second;
            const ParameterType wanted =
                info.expect == Expect::Matrix ? ParameterType::Matrix : ParameterType::Texture;
            if (a.parameter < 0 || m_out.parameters[a.parameter].type != wanted)
                return Fail(Quoted(m_tok.text) + " is not a declared " +
                            (wanted == ParameterType::Matrix ? "matrix" : "texture"));
            Advance();
            return Take('>');
        }
        std::uint32_t value = 0;
        for (;;) {
            std::uint32_t term;
            if (m_tok.type == Tok::Number) {
                term = m_tok.number;
            } else if (m_tok.type == Tok::Ident) {
                const Named *found = nullptr;
                for (const Named &n : info.values)
                    if (Equal(m_tok.text, n.name))
                        found = &n;
                if (!found)
                    return Fail(Quoted(m_tok.text) + " is not a value of " + info.name);
                term = found->value;
            } else {
                return Fail(std::string("expected a value for ") + info.name);
            }
            value |= term;
            Advance();
            if (info.expect != Expect::Flags || !IsPunct('|'))
                break;
            Advance();
        }
        a.value = value;
        return true;
    }

    Lexer m_lexer;
    Token m_tok;
    Effect &m_out;
    std::string &m_error;
    std::unordered_map<std::string, int> m_parameters; // so long texts stay linear
};

} // namespace

StateGroup GroupOf(State state) {
    switch (state) {
    case State::ZEnable:
    case State::ZWriteEnable:
    case State::ZFunc:
    case State::AlphaBlendEnable:
    case State::SrcBlend:
    case State::DestBlend:
    case State::Lighting:
    case State::CullMode:
        return StateGroup::Render;
    case State::VertexShader:
        return StateGroup::VertexShader;
    case State::WorldTransform:
    case State::ViewTransform:
    case State::ProjectionTransform:
        return StateGroup::Transform;
    case State::Texture:
        return StateGroup::Texture;
    default:
        return StateGroup::TextureStage;
    }
}

int Effect::FindParameter(std::string_view name) const {
    for (std::size_t i = 0; i < parameters.size(); ++i)
        if (parameters[i].name == name)
            return static_cast<int>(i);
    return -1;
}

bool ParseEffect(std::string_view text, Effect &out, std::string &error) {
    out = Effect{};
    error.clear();
    if (text.size() > kMaxEffectSize) {
        error = "effect text too large";
        return false;
    }
    Parser parser(text, out, error);
    if (!parser.ParseFile()) {
        out = Effect{};
        return false;
    }
    if (out.techniques.empty()) {
        out = Effect{};
        error = "effect has no technique";
        return false;
    }
    return true;
}

} // namespace effect
