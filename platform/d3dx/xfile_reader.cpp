// The X-file parser: one recursive-descent parser over the token streams of both encodings.
// Member values are read in template order; separators are skipped wherever they stand, since the
// template alone says how many values follow and files place ';' and ',' loosely.
#include "platform/d3dx/xfile_reader.h"

#include "platform/d3dx/xfile_tokens.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <unordered_set>

namespace xfile {

bool Template::SameLayoutAs(const Template &other) const {
    if (members.size() != other.members.size())
        return false;
    for (std::size_t i = 0; i < members.size(); ++i) {
        const Member &a = members[i];
        const Member &b = other.members[i];
        if (a.kind != b.kind || a.dimensions.size() != b.dimensions.size())
            return false;
        for (std::size_t d = 0; d < a.dimensions.size(); ++d)
            if (a.dimensions[d].constant != b.dimensions[d].constant ||
                a.dimensions[d].memberIndex != b.dimensions[d].memberIndex)
                return false;
        if (a.kind == ValueKind::Struct && !a.type->SameLayoutAs(*b.type))
            return false;
    }
    return true;
}

bool DataObject::FindMember(std::string_view memberName, MemberSpan &span) const {
    for (std::size_t i = 0; i < type->members.size() && i < members.size(); ++i)
        if (type->members[i].name == memberName) {
            span = members[i];
            return true;
        }
    return false;
}

std::string DataObject::Where(std::size_t dataOffset) const {
    const auto after = std::upper_bound(
        origins.begin(), origins.end(), dataOffset,
        [](std::size_t offset, const ValueOrigin &origin) { return offset < origin.dataOffset; });
    std::size_t position = 0;
    if (after != origins.begin()) {
        const ValueOrigin &o = *(after - 1);
        position = o.position + (dataOffset - o.dataOffset) / o.dataWidth * o.fileWidth;
    }
    return (binarySource ? "byte " : "line ") + std::to_string(position);
}

const Template *Document::FindTemplate(std::string_view name) const {
    // The latest declaration wins; objects parsed earlier keep the one they were read with.
    for (auto it = templates.rbegin(); it != templates.rend(); ++it)
        if ((*it)->name == name)
            return it->get();
    for (auto it = registered.rbegin(); it != registered.rend(); ++it)
        if (const Template *found = (*it)->FindTemplate(name))
            return found;
    return FindStandardTemplate(name);
}

// ---- cursor ----------------------------------------------------------------------------------

bool DataCursor::Take(void *out, std::size_t size) {
    if (!m_ok || m_data.size() - m_pos < size) {
        m_ok = false;
        std::memset(out, 0, size);
        return false;
    }
    std::memcpy(out, m_data.data() + m_pos, size);
    m_pos += size;
    return true;
}

std::uint32_t DataCursor::DWord() {
    std::uint32_t v;
    Take(&v, sizeof v);
    return v;
}
std::uint16_t DataCursor::Word() {
    std::uint16_t v;
    Take(&v, sizeof v);
    return v;
}
float DataCursor::Float() {
    float v;
    Take(&v, sizeof v);
    return v;
}
double DataCursor::Double() {
    double v;
    Take(&v, sizeof v);
    return v;
}
std::uint8_t DataCursor::Byte() {
    std::uint8_t v;
    Take(&v, sizeof v);
    return v;
}
const char *DataCursor::String() {
    const char *v;
    Take(&v, sizeof v);
    return v;
}

// ---- parser ----------------------------------------------------------------------------------

namespace {

bool IsIntegerKind(ValueKind kind) {
    return kind == ValueKind::Word || kind == ValueKind::DWord || kind == ValueKind::SWord ||
           kind == ValueKind::SDWord || kind == ValueKind::Char || kind == ValueKind::UChar;
}

// The 16 bytes of a GUID as a key (views into the GUID itself, which outlives the index).
std::string_view GuidKey(const GUID &id) {
    static_assert(sizeof(GUID) == 16);
    return {reinterpret_cast<const char *>(&id), sizeof id};
}

struct PendingReference {
    DataObject *parent;
    std::size_t childIndex;
    std::string name;
    GUID id;
};

class Parser {
public:
    Parser(TokenStream &tokens, bool binary, Document &doc, std::string &error)
        : m_tokens(tokens), m_binary(binary), m_doc(doc), m_error(error) {}

    bool ParseFile() {
        for (;;) {
            m_tokens.SkipSeparators();
            const Token &t = m_tokens.Peek();
            if (t.type == TokenType::End)
                break;
            if (t.type == TokenType::Template) {
                if (!ParseTemplate())
                    return false;
            } else if (t.type == TokenType::Name && !FindTemplate(t.text)) {
                if (!SkipObject())
                    return false;
            } else if (t.type == TokenType::Name) {
                DataObject *object = ParseObject(0);
                if (!object)
                    return false;
                m_doc.topLevel.push_back(object);
            } else {
                return Fail("expected a template or a data object");
            }
        }
        return ResolveReferences();
    }

private:
    bool Fail(std::string reason) {
        if (m_error.empty())
            m_error = m_tokens.Failed() ? m_tokens.Error() : m_tokens.Where() + ": " + reason;
        return false;
    }

    bool Expect(TokenType type, const char *what) {
        if (m_tokens.Next().type != type)
            return Fail(std::string("expected ") + what);
        return true;
    }

    // template Name { <guid> members [restrictions] }
    bool ParseTemplate() {
        m_tokens.Next();
        Token name = m_tokens.Next();
        if (name.type != TokenType::Name)
            return Fail("template without a name");
        if (!Expect(TokenType::OpenBrace, "'{' after template name"))
            return false;
        auto tmpl = std::make_unique<Template>();
        tmpl->name = name.text;
        m_memberIndex.clear();
        if (m_tokens.Peek().type == TokenType::Guid)
            tmpl->id = m_tokens.Next().guid;

        for (;;) {
            const Token &t = m_tokens.Peek();
            if (t.type == TokenType::CloseBrace || t.type == TokenType::OpenBracket)
                break;
            if (!ParseMember(*tmpl))
                return false;
        }
        if (m_tokens.Peek().type == TokenType::OpenBracket && !ParseRestriction(*tmpl))
            return false;
        if (!Expect(TokenType::CloseBrace, "'}' at the end of a template"))
            return false;
        m_templates[tmpl->name] = tmpl.get();
        m_doc.templates.push_back(std::move(tmpl));
        return true;
    }

    bool ParseMember(Template &tmpl) {
        Member member;
        const bool isArray = m_tokens.Peek().type == TokenType::Array;
        if (isArray)
            m_tokens.Next();
        Token type = m_tokens.Next();
        switch (type.type) {
        case TokenType::TypeWord:
            member.kind = ValueKind::Word;
            break;
        case TokenType::TypeDWord:
            member.kind = ValueKind::DWord;
            break;
        case TokenType::TypeSWord:
            member.kind = ValueKind::SWord;
            break;
        case TokenType::TypeSDWord:
            member.kind = ValueKind::SDWord;
            break;
        case TokenType::TypeFloat:
            member.kind = ValueKind::Float;
            break;
        case TokenType::TypeDouble:
            member.kind = ValueKind::Double;
            break;
        case TokenType::TypeChar:
            member.kind = ValueKind::Char;
            break;
        case TokenType::TypeUChar:
            member.kind = ValueKind::UChar;
            break;
        case TokenType::TypeString:
        case TokenType::TypeCString:
            member.kind = ValueKind::String;
            break;
        case TokenType::Name: {
            member.kind = ValueKind::Struct;
            member.type = FindTemplate(type.text);
            if (!member.type)
                return Fail("unknown member type '" + type.text + "'");
            // Every element must consume input, or a huge count would spin without reading.
            if (member.type->members.empty())
                return Fail("template '" + type.text + "' has no members to hold");
            break;
        }
        default:
            return Fail("unsupported member type in template '" + tmpl.name + "'");
        }
        Token name = m_tokens.Next();
        if (name.type != TokenType::Name)
            return Fail("member without a name in template '" + tmpl.name + "'");
        member.name = name.text;

        while (isArray && m_tokens.Peek().type == TokenType::OpenBracket) {
            m_tokens.Next();
            Token size = m_tokens.Next();
            Dimension dim;
            if (size.type == TokenType::Integer) {
                dim.constant = static_cast<std::uint32_t>(size.integer);
            } else if (size.type == TokenType::Name) {
                if (const auto found = m_memberIndex.find(size.text); found != m_memberIndex.end())
                    dim.memberIndex = found->second;
                if (dim.memberIndex < 0 || !IsIntegerKind(tmpl.members[dim.memberIndex].kind) ||
                    !tmpl.members[dim.memberIndex].dimensions.empty())
                    return Fail("array size '" + size.text + "' is not an earlier count member");
            } else {
                return Fail("malformed array size");
            }
            member.dimensions.push_back(dim);
            if (!Expect(TokenType::CloseBracket, "']' after an array size"))
                return false;
        }
        if (isArray && member.dimensions.empty())
            return Fail("array member without a size");
        if (!Expect(TokenType::Semicolon, "';' after a template member"))
            return false;
        m_memberIndex.emplace(member.name, static_cast<int>(tmpl.members.size()));
        tmpl.members.push_back(std::move(member));
        return true;
    }

    // [...] or [Name <guid>, Name, ...]
    bool ParseRestriction(Template &tmpl) {
        m_tokens.Next();
        if (m_tokens.Peek().type == TokenType::Dot) {
            for (int i = 0; i < 3; ++i)
                if (!Expect(TokenType::Dot, "'...' in an open template"))
                    return false;
            tmpl.open = true;
            return Expect(TokenType::CloseBracket, "']' after '...'");
        }
        for (;;) {
            Token name = m_tokens.Next();
            if (name.type != TokenType::Name)
                return Fail("malformed template restriction");
            tmpl.restricted.push_back(name.text);
            if (m_tokens.Peek().type == TokenType::Guid)
                m_tokens.Next();
            Token t = m_tokens.Next();
            if (t.type == TokenType::CloseBracket)
                return true;
            if (t.type != TokenType::Comma)
                return Fail("malformed template restriction");
        }
    }

    // TemplateName [objectName] { [<guid>] members children }
    DataObject *ParseObject(int depth) {
        if (depth >= kMaxNesting) {
            Fail("data objects nested too deeply");
            return nullptr;
        }
        const Template *type = FindTemplate(m_tokens.Next().text); // known: the callers checked
        auto owned = std::make_unique<DataObject>();
        DataObject *object = owned.get();
        m_doc.objects.push_back(std::move(owned));
        object->type = type;
        object->binarySource = m_binary;
        if (ObjectNameFollows())
            object->name = m_tokens.Next().text;
        if (!Expect(TokenType::OpenBrace, "'{' to open a data object"))
            return nullptr;
        if (m_tokens.Peek().type == TokenType::Guid)
            object->id = m_tokens.Next().guid;

        if (!ParseMembers(*type, *object, true, 0))
            return nullptr;

        for (;;) {
            m_tokens.SkipSeparators();
            const Token &t = m_tokens.Peek();
            if (t.type == TokenType::CloseBrace) {
                m_tokens.Next();
                return object;
            }
            if (t.type == TokenType::OpenBrace) {
                if (!ParseReference(*object))
                    return nullptr;
            } else if (t.type == TokenType::Name && !FindTemplate(t.text)) {
                if (!SkipObject())
                    return nullptr;
            } else if (t.type == TokenType::Name) {
                DataObject *child = ParseObject(depth + 1);
                if (!child)
                    return nullptr;
                object->children.push_back({child, false});
            } else {
                Fail("unexpected data in object '" + object->name + "' of template '" + type->name +
                     "'");
                return nullptr;
            }
        }
    }

    // Text files may name an object with a word that is also a keyword ("Material Array").
    bool ObjectNameFollows() {
        const Token &t = m_tokens.Peek();
        return t.type == TokenType::Name || (t.type >= TokenType::Template && !t.text.empty());
    }

    // An object of a template neither the file nor we declare cannot be read, but the format
    // lets a reader pass over it: whatever it holds, its braces balance. Its name and identifier
    // are noted, so that references to it are passed over too.
    bool SkipObject() {
        m_tokens.Next();
        std::string name;
        if (ObjectNameFollows())
            name = m_tokens.Next().text;
        if (!Expect(TokenType::OpenBrace, "'{' to open a data object"))
            return false;
        if (m_tokens.Peek().type == TokenType::Guid)
            m_skippedIds.emplace(GuidKey(m_tokens.Next().guid));
        if (!name.empty())
            m_skippedNames.insert(std::move(name));
        for (std::size_t open = 1; open > 0;) {
            const TokenType type = m_tokens.Next().type;
            if (type == TokenType::End || type == TokenType::Error)
                return Fail("expected '}' to close a data object of an unknown template");
            if (type == TokenType::OpenBrace)
                ++open;
            else if (type == TokenType::CloseBrace)
                --open;
        }
        return true;
    }

    // { name [<guid>] } or { <guid> }
    bool ParseReference(DataObject &parent) {
        m_tokens.Next();
        PendingReference ref{&parent, parent.children.size(), {}, GUID_NULL};
        if (m_tokens.Peek().type == TokenType::Name)
            ref.name = m_tokens.Next().text;
        if (m_tokens.Peek().type == TokenType::Guid)
            ref.id = m_tokens.Next().guid;
        if (ref.name.empty() && ref.id == GUID_NULL)
            return Fail("empty reference");
        if (!Expect(TokenType::CloseBrace, "'}' to close a reference"))
            return false;
        parent.children.push_back({nullptr, true});
        m_references.push_back(std::move(ref));
        return true;
    }

    // Indexes the objects once, so that many references cost no more than a lookup each; the
    // first object of a name (or identifier) in file order is the one referred to.
    bool ResolveReferences() {
        if (m_references.empty())
            return true;
        std::unordered_map<std::string_view, DataObject *> byName;
        std::unordered_map<std::string_view, DataObject *> byId;
        for (const auto &object : m_doc.objects) {
            if (!object->name.empty())
                byName.emplace(object->name, object.get());
            byId.emplace(GuidKey(object->id), object.get());
        }
        bool passedOver = false;
        for (const PendingReference &ref : m_references) {
            const auto &index = ref.name.empty() ? byId : byName;
            const auto found = index.find(ref.name.empty() ? GuidKey(ref.id) : ref.name);
            DataObject *target = found == index.end() ? nullptr : found->second;
            if (!target && (ref.name.empty() ? m_skippedIds.contains(std::string(GuidKey(ref.id)))
                                             : m_skippedNames.contains(ref.name))) {
                passedOver = true;
                continue;
            }
            if (!target)
                return Fail("reference to unknown object '" + ref.name + "'");
            ref.parent->children[ref.childIndex].object = target;
        }
        // A reference to an object that was passed over is passed over as well.
        if (passedOver)
            for (const auto &object : m_doc.objects)
                std::erase_if(object->children, [](const Child &c) { return !c.object; });
        return true;
    }

    bool ParseMembers(const Template &type, DataObject &object, bool topLevel, int depth) {
        if (depth >= kMaxNesting)
            return Fail("templates nested too deeply");
        std::vector<std::uint32_t> counts(type.members.size(), 0);
        for (std::size_t i = 0; i < type.members.size(); ++i) {
            const Member &member = type.members[i];
            const std::size_t start = object.data.size();
            std::uint64_t count = 1;
            for (const Dimension &dim : member.dimensions) {
                const std::uint64_t size =
                    dim.memberIndex >= 0 ? counts[dim.memberIndex] : dim.constant;
                count *= size;
                if (count > std::numeric_limits<std::uint32_t>::max())
                    return Fail("array '" + member.name + "' is too large");
            }
            for (std::uint64_t k = 0; k < count; ++k) {
                if (member.kind == ValueKind::Struct) {
                    if (!ParseMembers(*member.type, object, false, depth + 1))
                        return false;
                } else if (!ParseValue(member, object, counts[i])) {
                    return false;
                }
            }
            if (topLevel)
                object.members.push_back({start, object.data.size() - start});
        }
        return true;
    }

    // Notes where the value about to be appended came from, unless it continues the last run.
    static void NoteOrigin(DataObject &object, const Token &t, std::uint8_t dataWidth) {
        const auto offset = static_cast<std::uint32_t>(object.data.size());
        if (!object.origins.empty()) {
            const ValueOrigin &last = object.origins.back();
            if (last.dataWidth == dataWidth && last.fileWidth == t.width &&
                t.at == last.position + (offset - last.dataOffset) / dataWidth * t.width)
                return;
        }
        object.origins.push_back({offset, t.at, dataWidth, t.width});
    }

    template <class T> void Append(DataObject &object, const Token &t, T value) {
        NoteOrigin(object, t, sizeof(T));
        const std::size_t at = object.data.size();
        object.data.resize(at + sizeof(T));
        std::memcpy(object.data.data() + at, &value, sizeof(T));
    }

    bool ParseValue(const Member &member, DataObject &object, std::uint32_t &integerOut) {
        m_tokens.SkipSeparators();
        Token t = m_tokens.Next();
        if (member.kind == ValueKind::String) {
            if (t.type != TokenType::String)
                return Fail("expected a string for '" + member.name + "'");
            auto text = std::make_unique<char[]>(t.text.size() + 1);
            std::memcpy(text.get(), t.text.c_str(), t.text.size() + 1);
            Append<const char *>(object, t, text.get());
            object.strings.push_back(std::move(text));
            return true;
        }
        if (t.type != TokenType::Integer && t.type != TokenType::Float)
            return Fail("expected a number for '" + member.name + "'");
        if (member.kind == ValueKind::Float) {
            Append(object, t, static_cast<float>(t.real));
            return true;
        }
        if (member.kind == ValueKind::Double) {
            Append(object, t, t.real);
            return true;
        }
        // Integer members: a whole-number float is accepted, anything else is not a count.
        std::uint32_t value;
        if (t.type == TokenType::Integer) {
            value = static_cast<std::uint32_t>(t.integer);
        } else {
            if (!(t.real >= std::numeric_limits<std::int32_t>::min() &&
                  t.real <= std::numeric_limits<std::uint32_t>::max()) ||
                t.real != static_cast<double>(static_cast<long long>(t.real)))
                return Fail("expected an integer for '" + member.name + "'");
            value = static_cast<std::uint32_t>(static_cast<long long>(t.real));
        }
        integerOut = value;
        switch (member.kind) {
        case ValueKind::Word:
        case ValueKind::SWord:
            Append(object, t, static_cast<std::uint16_t>(value));
            break;
        case ValueKind::Char:
        case ValueKind::UChar:
            Append(object, t, static_cast<std::uint8_t>(value));
            break;
        default:
            Append(object, t, value);
            break;
        }
        return true;
    }

    // The file's own templates by name (the latest declaration wins), then the document's
    // registered and standard ones.
    const Template *FindTemplate(const std::string &name) const {
        const auto found = m_templates.find(name);
        if (found != m_templates.end())
            return found->second;
        for (auto it = m_doc.registered.rbegin(); it != m_doc.registered.rend(); ++it)
            if (const Template *inherited = (*it)->FindTemplate(name))
                return inherited;
        return FindStandardTemplate(name);
    }

    TokenStream &m_tokens;
    bool m_binary;
    Document &m_doc;
    std::unordered_map<std::string, const Template *> m_templates;
    std::unordered_map<std::string, int> m_memberIndex; // members of the template being read
    std::string &m_error;
    std::vector<PendingReference> m_references;
    std::unordered_set<std::string> m_skippedNames; // objects of unknown templates
    std::unordered_set<std::string> m_skippedIds;
};

} // namespace

bool ParseXFile(std::span<const std::uint8_t> bytes, Document &out, std::string &error) {
    return ParseXFile(bytes, {}, out, error);
}

bool ParseXFile(std::span<const std::uint8_t> bytes,
                const std::vector<std::shared_ptr<const Document>> &registered, Document &out,
                std::string &error) {
    out = Document{};
    error.clear();
    if (bytes.size() > kMaxFileSize) {
        error = "X file too large";
        return false;
    }
    if (bytes.size() < 16 || std::memcmp(bytes.data(), "xof ", 4) != 0) {
        error = "not an X file (no 'xof ' header)";
        return false;
    }
    const char *header = reinterpret_cast<const char *>(bytes.data());
    if (std::memcmp(header + 4, "03", 2) != 0) {
        error = "unsupported X file version";
        return false;
    }
    bool binaryEncoding;
    if (std::memcmp(header + 8, "txt ", 4) == 0)
        binaryEncoding = false;
    else if (std::memcmp(header + 8, "bin ", 4) == 0)
        binaryEncoding = true;
    else if (std::memcmp(header + 8, "tzip", 4) == 0 || std::memcmp(header + 8, "bzip", 4) == 0) {
        error = "compressed X files are not supported";
        return false;
    } else {
        error = "unknown X file encoding";
        return false;
    }
    int floatBits;
    if (std::memcmp(header + 12, "0032", 4) == 0)
        floatBits = 32;
    else if (std::memcmp(header + 12, "0064", 4) == 0)
        floatBits = 64;
    else {
        error = "unsupported X file float size";
        return false;
    }

    out.registered = registered;
    TokenStream tokens(bytes.subspan(16), binaryEncoding, floatBits);
    Parser parser(tokens, binaryEncoding, out, error);
    if (!parser.ParseFile()) {
        if (error.empty())
            error = "malformed X file";
        out = Document{};
        return false;
    }
    return true;
}

} // namespace xfile
