// The X-file reader: templates, objects, children and references in both encodings, and its
// refusal of malformed or hostile input.
#include "platform/d3dx/xfile_reader.h"

#include "binary_xfile.h"
#include "fixture_files.h"

#include <gtest/gtest.h>

namespace {

using namespace testing_xfile;
using xfile::DataCursor;
using xfile::DataObject;
using xfile::Document;
namespace bin = xfile::binary;

const DataObject *ChildOfType(const DataObject &object, const std::string &type) {
    for (const auto &child : object.children)
        if (child.object && child.object->type->name == type)
            return child.object;
    return nullptr;
}

// The quad of the text fixture, token for token in the binary encoding.
std::vector<std::uint8_t> BinaryQuad(bool doubles) {
    BinaryXFile f(doubles);
    f.Open("Mesh", "unitQuad").Integers({4});
    f.Floats({-0.5f, 0.5f, 0, 0.5f, 0.5f, 0, 0.5f, -0.5f, 0, -0.5f, -0.5f, 0});
    f.Integers({2, 3, 0, 1, 2, 3, 0, 2, 3});
    f.Open("MeshNormals").Integers({4}).Floats({0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1});
    f.Integers({2, 3, 0, 1, 2, 3, 0, 2, 3}).Close();
    f.Open("MeshTextureCoords").Integers({4}).Floats({0, 0, 1, 0, 1, 1, 0, 1}).Close();
    f.Open("MeshMaterialList").Integers({1, 2, 0, 0});
    f.Open("Material").Floats({1, 1, 1, 1, 0, 0, 0, 0, 0.25f, 0.25f, 0.25f});
    f.Open("TextureFilename").String("caption.png").Close();
    f.Close().Close().Close();
    return f.Bytes();
}

// Object trees equal in shape, names, types and packed values (strings compared by text).
void ExpectSameTree(const DataObject &a, const DataObject &b) {
    EXPECT_EQ(a.type->name, b.type->name);
    EXPECT_EQ(a.name, b.name);
    if (a.strings.empty()) {
        EXPECT_EQ(a.data, b.data) << "in " << a.type->name;
    }
    ASSERT_EQ(a.strings.size(), b.strings.size());
    for (std::size_t i = 0; i < a.strings.size(); ++i)
        EXPECT_STREQ(a.strings[i].get(), b.strings[i].get());
    ASSERT_EQ(a.children.size(), b.children.size());
    for (std::size_t i = 0; i < a.children.size(); ++i)
        ExpectSameTree(*a.children[i].object, *b.children[i].object);
}

TEST(XFileReader, ReadsTheUnitQuadWithTypedMembers) {
    Document doc;
    std::string error;
    ASSERT_TRUE(xfile::ParseXFile(ReadFixture("xfile/quad.x"), doc, error)) << error;
    ASSERT_EQ(doc.topLevel.size(), 1u);
    const DataObject &mesh = *doc.topLevel[0];
    EXPECT_EQ(mesh.name, "unitQuad");
    EXPECT_EQ(mesh.type->id, TID_D3DRMMesh);
    EXPECT_EQ(mesh.data.size(), 4 + 4 * 12 + 4 + 2 * 16u);

    xfile::MemberSpan span;
    ASSERT_TRUE(mesh.FindMember("nFaces", span));
    EXPECT_EQ(span.offset, 52u);
    EXPECT_EQ(span.size, 4u);
    ASSERT_TRUE(mesh.FindMember("vertices", span));
    EXPECT_EQ(span.size, 48u);
    EXPECT_FALSE(mesh.FindMember("nothing", span));

    DataCursor c(mesh);
    EXPECT_EQ(c.DWord(), 4u);
    EXPECT_FLOAT_EQ(c.Float(), -0.5f);
    EXPECT_FLOAT_EQ(c.Float(), 0.5f);

    ASSERT_EQ(mesh.children.size(), 3u);
    const DataObject *list = ChildOfType(mesh, "MeshMaterialList");
    ASSERT_NE(list, nullptr);
    const DataObject *material = ChildOfType(*list, "Material");
    ASSERT_NE(material, nullptr);
    const DataObject *texture = ChildOfType(*material, "TextureFilename");
    ASSERT_NE(texture, nullptr);
    DataCursor t(*texture);
    EXPECT_STREQ(t.String(), "caption.png");
    EXPECT_TRUE(t.Ok());
    // Reading past the packed values fails instead of reading beyond them.
    t.DWord();
    EXPECT_FALSE(t.Ok());
}

TEST(XFileReader, BinaryEncodingsReadAsTheTextOne) {
    Document text;
    std::string error;
    ASSERT_TRUE(xfile::ParseXFile(ReadFixture("xfile/quad.x"), text, error)) << error;
    for (bool doubles : {false, true}) {
        Document binary;
        ASSERT_TRUE(xfile::ParseXFile(BinaryQuad(doubles), binary, error)) << error;
        ASSERT_EQ(binary.topLevel.size(), 1u);
        ExpectSameTree(*text.topLevel[0], *binary.topLevel[0]);
    }
}

TEST(XFileReader, ResolvesReferencesAndUsesTheFilesTemplates) {
    Document doc;
    std::string error;
    ASSERT_TRUE(xfile::ParseXFile(ReadFixture("xfile/box.x"), doc, error)) << error;
    ASSERT_EQ(doc.topLevel.size(), 3u); // Header, Red, Box
    EXPECT_EQ(doc.topLevel[0]->type->name, "Header");
    const DataObject *red = doc.topLevel[1];
    EXPECT_EQ(red->name, "Red");
    ASSERT_EQ(doc.templates.size(), 1u);
    EXPECT_EQ(doc.FindTemplate("Vector"), doc.templates[0].get());

    const DataObject *list = ChildOfType(*doc.topLevel[2], "MeshMaterialList");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->children.size(), 2u);
    EXPECT_TRUE(list->children[0].reference);
    EXPECT_EQ(list->children[0].object, red);
    EXPECT_FALSE(list->children[1].reference);
    EXPECT_EQ(list->children[1].object->name, "Blue");

    // A name used twice: references mean the first object of that name; a GUID alone also
    // refers to an object.
    Document twice;
    ASSERT_TRUE(
        Parse("xof 0303txt 0032 Frame A { } Frame A { <11111111-2222-3333-4444-"
              "555555555555> } Frame R { { A } { <11111111-2222-3333-4444-555555555555> } }",
              twice, error))
        << error;
    EXPECT_EQ(twice.topLevel[2]->children[0].object, twice.topLevel[0]);
    EXPECT_EQ(twice.topLevel[2]->children[1].object, twice.topLevel[1]);

    // Binary references resolve the same way, forward ones included.
    BinaryXFile f;
    f.Open("Frame", "A").Reference("B").Close();
    f.Open("Frame", "B").Close();
    Document bin;
    ASSERT_TRUE(xfile::ParseXFile(f.Bytes(), bin, error)) << error;
    EXPECT_EQ(bin.topLevel[0]->children[0].object, bin.topLevel[1]);
}

TEST(XFileReader, DeclaredTemplatesSizeArraysFromEarlierMembers) {
    Document doc;
    std::string error;
    ASSERT_TRUE(Parse(R"(xof 0303txt 0032
template Grid { <11111111-2222-3333-4444-555555555555>
  WORD rows; CHAR cols; array FLOAT cells[rows][cols]; array STRING labels[2]; SDWORD offset; }
Grid g { <AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE> 2; 3; 1,2,3,4,5,6; "a";"b"; -7; }
Frame Array { }
)",
                      doc, error))
        << error;
    const DataObject &g = *doc.topLevel[0];
    EXPECT_EQ(g.type->id.Data1, 0x11111111u);
    EXPECT_EQ(g.id.Data1, 0xAAAAAAAAu);
    EXPECT_EQ(g.id.Data4[7], 0xEE);
    DataCursor c(g);
    EXPECT_EQ(c.Word(), 2);
    EXPECT_EQ(c.Byte(), 3);
    for (int i = 1; i <= 6; ++i)
        EXPECT_FLOAT_EQ(c.Float(), static_cast<float>(i));
    EXPECT_STREQ(c.String(), "a");
    EXPECT_STREQ(c.String(), "b");
    EXPECT_EQ(static_cast<std::int32_t>(c.DWord()), -7);
    EXPECT_EQ(c.Remaining(), 0u);
    EXPECT_EQ(doc.topLevel[1]->name, "Array"); // a keyword is still a name after a type
}

TEST(XFileReader, FramesCarryTheirIdentifiersAndMatrices) {
    Document doc;
    std::string error;
    ASSERT_TRUE(xfile::ParseXFile(ReadFixture("xfile/frames.x"), doc, error)) << error;
    ASSERT_EQ(doc.topLevel.size(), 2u);
    const DataObject &root = *doc.topLevel[0];
    EXPECT_EQ(root.type->id, TID_D3DRMFrame);
    const DataObject *matrix = ChildOfType(root, "FrameTransformMatrix");
    ASSERT_NE(matrix, nullptr);
    EXPECT_EQ(matrix->type->id, TID_D3DRMFrameTransformMatrix);
    ASSERT_EQ(matrix->data.size(), 64u);
    DataCursor c(*matrix);
    for (int i = 0; i < 12; ++i)
        c.Float();
    EXPECT_FLOAT_EQ(c.Float(), 10.0f);
}

struct BadCase {
    const char *what;
    std::string text;
    const char *reason; // a part of the expected error text
};

TEST(XFileReader, RefusesMalformedAndHostileInputWithAReason) {
    const BadCase cases[] = {
        {"empty", "", "header"},
        {"other magic", "xyz 0303txt 0032 Frame {}", "header"},
        {"compressed", "xof 0303tzip0032 ....", "compressed"},
        {"odd float size", "xof 0303txt 0016 ", "float size"},
        {"unclosed object of an unknown template", "xof 0303txt 0032 Nothing { 1; { 2; }",
         "unknown template"},
        {"unclosed object", "xof 0303txt 0032 Header { 1; 2; 3;", "expected"},
        {"count beyond the data", "xof 0303txt 0032 Mesh { 4000000000; 1;2;3;; }", "number"},
        {"string for a number", "xof 0303txt 0032 Header { \"1\"; 2; 3; }", "number"},
        {"fraction for a count", "xof 0303txt 0032 Header { 1.5; 2; 3; }", "integer"},
        {"unterminated string", "xof 0303txt 0032 TextureFilename { \"abc }", "unterminated"},
        {"bad GUID", "xof 0303txt 0032 Frame { <1234> }", "GUID"},
        {"unresolved reference", "xof 0303txt 0032 Frame { { Missing } }", "unknown object"},
        {"empty member type",
         "xof 0303txt 0032 template E { <11111111-2222-3333-4444-555555555555> [...] }\n"
         "template L { <11111111-2222-3333-4444-555555555556> DWORD n; array E e[n]; }",
         "no members"},
        {"size from a later member",
         "xof 0303txt 0032 template T { <11111111-2222-3333-4444-555555555555> "
         "array DWORD a[n]; DWORD n; }",
         "count member"},
        {"huge product of sizes",
         "xof 0303txt 0032 template T { <11111111-2222-3333-4444-555555555555> "
         "DWORD n; array DWORD a[n][n][n]; } T { 65536; 1; }",
         "too large"},
        {"junk character", "xof 0303txt 0032 Frame { @ }", "unexpected character"},
        {"line of the fault", "xof 0303txt 0032\nHeader {\n 1;\n \"2\"; 3; }", "line 4:"},
    };
    for (const BadCase &bad : cases) {
        Document doc;
        std::string error;
        EXPECT_FALSE(Parse(bad.text, doc, error)) << bad.what;
        EXPECT_NE(error.find(bad.reason), std::string::npos) << bad.what << ": " << error;
        EXPECT_TRUE(doc.topLevel.empty() && doc.objects.empty()) << bad.what;
    }

    // Deep nesting is refused before it can exhaust the stack.
    std::string deep = "xof 0303txt 0032 ";
    for (int i = 0; i < 10000; ++i)
        deep += "Frame {";
    Document doc;
    std::string error;
    EXPECT_FALSE(Parse(deep, doc, error));
    EXPECT_NE(error.find("nested too deeply"), std::string::npos) << error;
}

TEST(XFileReader, EveryTruncationInsideAnObjectFailsCleanly) {
    // Cuts anywhere inside the last top-level object (whose end is the file's last '}'); cuts
    // between whole objects leave a shorter but valid file.
    const auto text = ReadFixture("xfile/box.x");
    const std::string asText(text.begin(), text.end());
    const auto binary = BinaryQuad(false);
    struct Range {
        const std::vector<std::uint8_t> *bytes;
        std::size_t first, end;
    };
    const Range ranges[] = {{&text, asText.find("Mesh Box") + 1, asText.rfind('}')},
                            {&binary, 17, binary.size()}};
    for (const Range &r : ranges)
        for (std::size_t n = r.first; n < r.end; ++n) {
            const std::vector<std::uint8_t> cut(r.bytes->begin(), r.bytes->begin() + n);
            Document doc;
            std::string error;
            EXPECT_FALSE(xfile::ParseXFile(cut, doc, error)) << "prefix of " << n << " bytes";
        }
}

TEST(XFileReader, BinaryListsThatOverrunTheFileAreRefused) {
    BinaryXFile f;
    f.Open("Header").Token(bin::kIntegerList);
    const std::vector<std::uint8_t> header = f.Bytes();
    std::vector<std::uint8_t> bytes = header;
    // A list that claims a billion entries with none following.
    for (std::uint8_t b : {0x00, 0xCA, 0x9A, 0x3B})
        bytes.push_back(b);
    Document doc;
    std::string error;
    EXPECT_FALSE(xfile::ParseXFile(bytes, doc, error));
    EXPECT_NE(error.find("past the end"), std::string::npos) << error;

    BinaryXFile unknown;
    unknown.Token(999);
    EXPECT_FALSE(xfile::ParseXFile(unknown.Bytes(), doc, error));
    EXPECT_NE(error.find("unknown binary token"), std::string::npos) << error;
}

} // namespace
