// The generated files loaded the way the game loads them: meshes through the X-file reader and
// the mesh builder, pictures and the cube map through the texture loader, sounds through the WAV
// reader. Each loader hands back its result with the failure reason, so a refused file fails the
// test that reads it.
#pragma once

#include "platform/d3dx/mesh_data.h"
#include "platform/d3dx/texture_image.h"
#include "platform/d3dx/xfile_reader.h"
#include "platform/image/image.h"
#include "platform/mmio/wave_format.h"
#include "sound/wav_file.h"
#include "tests/build_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace mediatest {

// The 144 names the game's code opens (defined with the file checks).
std::vector<std::string> FixedNames();

inline std::string MediaDir() {
    return (test_support::BinaryDir() / "media").string();
}

inline std::string MediaPath(const std::string &name) {
    return MediaDir() + "/" + name;
}

inline std::vector<std::uint8_t> ReadPath(const std::string &path) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(image::ReadFileBytes(path, bytes, error)) << error;
    return bytes;
}

inline std::vector<std::uint8_t> ReadMedia(const std::string &name) {
    return ReadPath(MediaPath(name));
}

// ---- Meshes ----

struct V3 {
    float x, y, z;
};

// A loaded mesh, with the built triangles laid out for geometric checks. Vertices keep the
// file's order unless the builder had to split one, which FilesAreWellFormed rules out.
struct Mesh {
    bool ok = false;
    std::string header;                            // the file's first line
    std::size_t topLevel = 0;                      // top-level data objects
    std::string topLevelType;                      // template of the first one
    std::uint32_t fileVertices = 0, fileFaces = 0; // counts as the Mesh object lists them
    xfile::MeshData data;

    std::vector<V3> positions;
    std::vector<V3> normals;                         // empty without MeshNormals
    std::vector<std::array<float, 2>> uvs;           // empty without MeshTextureCoords
    std::vector<std::array<float, 2>> uvs2;          // empty without the second set
    std::vector<std::array<std::uint32_t, 3>> faces; // sorted by subset
    std::vector<std::uint32_t> faceMaterial;
    std::vector<xfile::MeshMaterial> materials; // a copy, so a loop over a temporary's stays valid
};

inline std::uint32_t MemberDWord(const xfile::DataObject &object, const char *member) {
    xfile::MemberSpan span;
    if (!object.FindMember(member, span) || span.size != 4)
        return 0;
    xfile::DataCursor c(std::span<const std::uint8_t>(object.data).subspan(span.offset, 4));
    return c.DWord();
}

inline Mesh LoadMesh(const std::string &name) {
    Mesh m;
    auto bytes = ReadMedia(name);
    std::string text(bytes.begin(), bytes.end());
    m.header = text.substr(0, text.find('\n'));
    xfile::Document document;
    std::string error;
    if (!xfile::ParseXFile(bytes, document, error)) {
        ADD_FAILURE() << name << " refused by the X-file reader: " << error;
        return m;
    }
    m.topLevel = document.topLevel.size();
    if (m.topLevel > 0) {
        const xfile::DataObject &first = *document.topLevel[0];
        m.topLevelType = first.type->name;
        m.fileVertices = MemberDWord(first, "nVertices");
        m.fileFaces = MemberDWord(first, "nFaces");
    }
    if (!xfile::BuildMeshDataFromDocument(document, m.data, error)) {
        ADD_FAILURE() << name << " refused by the mesh builder: " << error;
        return m;
    }
    m.materials = m.data.materials;
    for (const auto &v : m.data.vertices) {
        m.positions.push_back({v.position.x, v.position.y, v.position.z});
        if (m.data.hasNormals)
            m.normals.push_back({v.normal.x, v.normal.y, v.normal.z});
        if (m.data.hasTexCoords)
            m.uvs.push_back({v.u, v.v});
        if (m.data.hasTexCoords1)
            m.uvs2.push_back({v.u1, v.v1});
    }
    for (std::uint32_t f = 0; f < m.data.FaceCount(); ++f) {
        m.faces.push_back(
            {m.data.indices[f * 3], m.data.indices[f * 3 + 1], m.data.indices[f * 3 + 2]});
        m.faceMaterial.push_back(m.data.attributes[f]);
    }
    m.ok = true;
    return m;
}

// ---- Pictures ----

struct Texel {
    int r, g, b, a;
    int Sum() const { return r + g + b; }
};

// A texture file as the texture creator receives it: faces and levels of B, G, R, A texels.
struct Picture {
    bool ok = false;
    std::uint32_t width = 0, height = 0;
    texture_image::Image image;

    Texel At(std::uint32_t x, std::uint32_t y, std::uint32_t face = 0) const {
        const auto &s = image.At(face, 0);
        const std::uint8_t *t = &s.texels[(static_cast<std::size_t>(y) * s.width + x) * 4];
        return {t[2], t[1], t[0], t[3]};
    }
    const std::vector<std::uint8_t> &Texels(std::uint32_t face = 0) const {
        return image.At(face, 0).texels;
    }
};

// `levels` as the game passes it: 0 for the default (the file's own levels for DDS, a full chain
// for pictures), 1 for the font. A default load must come back with its whole chain.
inline Picture LoadPicture(const std::string &name, std::uint32_t levels = 0) {
    Picture p;
    std::string error;
    if (!texture_image::Load(ReadMedia(name), levels, p.image, error)) {
        ADD_FAILURE() << name << " refused by the texture loader: " << error;
        return p;
    }
    p.width = p.image.width;
    p.height = p.image.height;
    const std::uint32_t chain = texture_image::FullChainLength(p.width, p.height);
    EXPECT_EQ(p.image.levels, levels == 0 ? chain : std::min(levels, chain)) << name;
    EXPECT_EQ(p.image.surfaces.size(), std::size_t{p.image.faces} * p.image.levels) << name;
    p.ok = true;
    return p;
}

// ---- The font's width table ----

// The width table read as the font class reads it: 256 items of one byte with fread, and nothing
// after them.
inline std::array<std::uint8_t, 256> ReadWidthTable() {
    std::array<std::uint8_t, 256> widths{};
    std::FILE *file = std::fopen(MediaPath("font.dat").c_str(), "rb");
    if (!file) {
        ADD_FAILURE() << "font.dat does not open";
        return widths;
    }
    EXPECT_EQ(std::fread(widths.data(), 1, 256, file), 256u);
    EXPECT_EQ(std::fgetc(file), EOF) << "font.dat is longer than 256 bytes";
    std::fclose(file);
    return widths;
}

// ---- Sounds ----

struct Sound {
    bool ok = false;
    WAVEFORMATEX format{};
    std::vector<std::int16_t> samples; // interleaved 16-bit frames
    int channels() const { return format.nChannels; }
    double seconds() const {
        return ok ? samples.size() / double(format.nChannels) / format.nSamplesPerSec : 0;
    }
};

// Reads the whole sound through the WAV reader, as the sound manager fills its static buffers.
inline Sound LoadSound(const std::string &name) {
    Sound s;
    WavFile wav;
    const std::string path = MediaPath(name);
    HRESULT hr = wav.Open(path.c_str(), nullptr, WAVEFILE_READ);
    if (FAILED(hr) || !wav.m_pwfx) {
        ADD_FAILURE() << name << " refused by the WAV reader: " << std::hex << hr;
        return s;
    }
    s.format = *wav.m_pwfx;
    const DWORD size = wav.GetSize();
    std::vector<BYTE> data(size);
    DWORD read = 0;
    hr = wav.Read(data.data(), size, &read);
    if (FAILED(hr) || read != size) {
        ADD_FAILURE() << name << ": read " << read << " of " << size << " bytes";
        return s;
    }
    if (s.format.wBitsPerSample != 16 || size % 2 != 0) {
        ADD_FAILURE() << name << " is not 16-bit";
        return s;
    }
    s.samples.resize(size / 2);
    for (std::size_t i = 0; i < s.samples.size(); ++i)
        s.samples[i] = static_cast<std::int16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    s.ok = true;
    return s;
}

} // namespace mediatest
