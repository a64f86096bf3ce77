// Our standard templates: the member lists of the mesh, material and frame templates, written once
// as X-file text and parsed by the same reader on first use. The frame loader dispatches on the
// identifiers of Mesh, Frame and FrameTransformMatrix; the other templates carry identifiers of our
// own, and the reader matches templates by name.
#include "platform/d3dx/xfile_reader.h"

#include "platform/d3dx/dxfile.h"

#include <array>
#include <mutex>

namespace xfile {

namespace {

constexpr char kStandardTemplates[] = R"(xof 0303txt 0032
template Header { <54415256-0001-4f53-8000-000000000001>
 WORD major; WORD minor; DWORD flags; }
template Vector { <54415256-0001-4f53-8000-000000000002>
 FLOAT x; FLOAT y; FLOAT z; }
template Coords2d { <54415256-0001-4f53-8000-000000000003>
 FLOAT u; FLOAT v; }
template Matrix4x4 { <54415256-0001-4f53-8000-000000000004>
 array FLOAT matrix[16]; }
template ColorRGBA { <54415256-0001-4f53-8000-000000000005>
 FLOAT red; FLOAT green; FLOAT blue; FLOAT alpha; }
template ColorRGB { <54415256-0001-4f53-8000-000000000006>
 FLOAT red; FLOAT green; FLOAT blue; }
template IndexedColor { <54415256-0001-4f53-8000-000000000007>
 DWORD index; ColorRGBA indexColor; }
template Material { <54415256-0001-4f53-8000-000000000008>
 ColorRGBA faceColor; FLOAT power; ColorRGB specularColor; ColorRGB emissiveColor; [...] }
template TextureFilename { <54415256-0001-4f53-8000-000000000009>
 STRING filename; }
template MeshFace { <54415256-0001-4f53-8000-00000000000a>
 DWORD nFaceVertexIndices; array DWORD faceVertexIndices[nFaceVertexIndices]; }
template MeshTextureCoords { <54415256-0001-4f53-8000-00000000000b>
 DWORD nTextureCoords; array Coords2d textureCoords[nTextureCoords]; }
template MeshNormals { <54415256-0001-4f53-8000-00000000000c>
 DWORD nNormals; array Vector normals[nNormals];
 DWORD nFaceNormals; array MeshFace faceNormals[nFaceNormals]; }
template MeshVertexColors { <54415256-0001-4f53-8000-00000000000d>
 DWORD nVertexColors; array IndexedColor vertexColors[nVertexColors]; }
template MeshMaterialList { <54415256-0001-4f53-8000-00000000000e>
 DWORD nMaterials; DWORD nFaceIndexes; array DWORD faceIndexes[nFaceIndexes]; [Material] }
template FVFData { <54415256-0001-4f53-8000-00000000000f>
 DWORD dwFVF; DWORD nDWords; array DWORD data[nDWords]; }
template Mesh { <3D82AB44-62DA-11CF-AB39-0020AF71E433>
 DWORD nVertices; array Vector vertices[nVertices];
 DWORD nFaces; array MeshFace faces[nFaces]; [...] }
template FrameTransformMatrix { <F6F23F41-7686-11CF-8F52-0040333594A3>
 Matrix4x4 frameMatrix; }
template Frame { <3D82AB46-62DA-11CF-AB39-0020AF71E433>
 [...] }
)";

// The template block handed to RegisterTemplates: the same text, then zero bytes, where the text
// reader stops.
constexpr std::array<unsigned char, D3DRM_XTEMPLATE_BYTES> MakeTemplateBlock() {
    static_assert(sizeof kStandardTemplates <= D3DRM_XTEMPLATE_BYTES);
    std::array<unsigned char, D3DRM_XTEMPLATE_BYTES> block{};
    for (std::size_t i = 0; i + 1 < sizeof kStandardTemplates; ++i)
        block[i] = static_cast<unsigned char>(kStandardTemplates[i]);
    return block;
}
constexpr auto kTemplateBlock = MakeTemplateBlock();

// Every member type in the text above is declared before its use, so parsing it never asks for a
// standard template (which would re-enter this initialisation).
const Document &StandardDocument() {
    static Document document;
    static std::once_flag once;
    std::call_once(once, [] {
        std::string error;
        const auto *bytes = reinterpret_cast<const std::uint8_t *>(kStandardTemplates);
        ParseXFile({bytes, sizeof kStandardTemplates - 1}, document, error);
    });
    return document;
}

} // namespace

const Template *FindStandardTemplate(std::string_view name) {
    for (const auto &tmpl : StandardDocument().templates)
        if (tmpl->name == name)
            return tmpl.get();
    return nullptr;
}

} // namespace xfile

const unsigned char *const D3DRM_XTEMPLATES = xfile::kTemplateBlock.data();
