// One reader for X files in both the text and the binary encoding: templates (our standard set
// plus any the file declares), data objects with names and GUIDs, nested children and references.
// Each object keeps its member values packed in template order, which serves both typed access
// (DataCursor) and the raw view that the DirectX file interfaces hand out.
#pragma once

#include "platform/win32/types.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace xfile {

enum class ValueKind : std::uint8_t {
    Word,   // 2 bytes
    DWord,  // 4 bytes
    SWord,  // 2 bytes, signed
    SDWord, // 4 bytes, signed
    Float,  // 4 bytes
    Double, // 8 bytes
    Char,   // 1 byte
    UChar,  // 1 byte (also BYTE)
    String, // a pointer to a zero-terminated string owned by the object
    Struct, // an instance of another template
};

struct Template;

// An array dimension: a constant, or the value of an earlier member of the same template.
struct Dimension {
    std::uint32_t constant = 0;
    int memberIndex = -1;
};

struct Member {
    ValueKind kind = ValueKind::DWord;
    const Template *type = nullptr; // for Struct
    std::string name;
    std::vector<Dimension> dimensions; // empty for a single value
};

struct Template {
    std::string name;
    GUID id{};
    std::vector<Member> members;
    bool open = false;                   // any child object is allowed
    std::vector<std::string> restricted; // names of the allowed children when not open

    // Same members with the same types and dimensions (names of members may differ).
    bool SameLayoutAs(const Template &other) const;
};

struct DataObject;

struct Child {
    DataObject *object = nullptr;
    bool reference = false; // written as { name } rather than as a nested object
};

// Where one top-level member's values lie in the packed data.
struct MemberSpan {
    std::size_t offset = 0;
    std::size_t size = 0;
};

// Where a run of packed values came from, so that a consumer finding fault with a value can name
// its place in the file. A run shares one line (text) or steps through one binary list.
struct ValueOrigin {
    std::uint32_t dataOffset = 0; // the first value of the run in `DataObject::data`
    std::uint32_t position = 0;   // its line (text) or byte offset in the file (binary)
    std::uint8_t dataWidth = 0;   // bytes per value in `data`
    std::uint8_t fileWidth = 0;   // bytes per value in the file; 0 when they share a line
};

struct DataObject {
    const Template *type = nullptr;
    std::string name; // may be empty
    GUID id{};        // GUID_NULL when the file gives none
    std::vector<std::uint8_t> data;
    std::vector<MemberSpan> members; // one per member of `type`
    std::vector<Child> children;
    std::vector<std::unique_ptr<char[]>> strings; // what String values point to
    std::vector<ValueOrigin> origins;             // in data order
    bool binarySource = false;

    // The packed values of one member by name, or an empty span when there is no such member.
    bool FindMember(std::string_view memberName, MemberSpan &span) const;
    // The place in the file of the value at `dataOffset`: "line N" or "byte N".
    std::string Where(std::size_t dataOffset) const;
};

// A parsed file: its own templates, every data object (owned here) and the top-level ones.
struct Document {
    std::vector<std::unique_ptr<Template>> templates;
    // Template blocks registered ahead of this file (their templates come before ours).
    std::vector<std::shared_ptr<const Document>> registered;
    std::vector<std::unique_ptr<DataObject>> objects;
    std::vector<DataObject *> topLevel;

    // The file's template of that name, else a registered one, else ours; null when none exists.
    const Template *FindTemplate(std::string_view name) const;
};

// Limits that keep hostile input from exhausting the stack or memory.
constexpr int kMaxNesting = 64;
constexpr std::size_t kMaxFileSize = 256u << 20;

// Parses a whole file. On failure returns false, leaves `out` empty and says why in `error`.
bool ParseXFile(std::span<const std::uint8_t> bytes, Document &out, std::string &error);
// The same, with template blocks registered earlier visible to the file.
bool ParseXFile(std::span<const std::uint8_t> bytes,
                const std::vector<std::shared_ptr<const Document>> &registered, Document &out,
                std::string &error);

// Our standard templates, matched by name (case-sensitive, as in the files).
const Template *FindStandardTemplate(std::string_view name);

// Reads packed values in order; every read is bounds-checked and a failed read leaves the cursor
// failed, so callers may read a run of values and test `Ok()` once.
class DataCursor {
public:
    explicit DataCursor(std::span<const std::uint8_t> data) : m_data(data) {}
    explicit DataCursor(const DataObject &object) : m_data(object.data) {}

    std::uint32_t DWord();
    std::uint16_t Word();
    float Float();
    double Double();
    std::uint8_t Byte();
    const char *String();
    bool Ok() const { return m_ok; }
    std::size_t Remaining() const { return m_ok ? m_data.size() - m_pos : 0; }
    // The offset of the next value in the packed data.
    std::size_t Offset() const { return m_pos; }

private:
    bool Take(void *out, std::size_t size);

    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

} // namespace xfile

// Identifiers of the three templates the frame loader dispatches on.
inline constexpr GUID TID_D3DRMMesh = {
    0x3D82AB44, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
inline constexpr GUID TID_D3DRMFrame = {
    0x3D82AB46, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
inline constexpr GUID TID_D3DRMFrameTransformMatrix = {
    0xF6F23F41, 0x7686, 0x11CF, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};
