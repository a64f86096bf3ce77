// Small readers for checking generated files: text X meshes, DDS headers and WAV files. Enough of
// each format to verify the generator's output, nothing more.
#pragma once

#include "platform/image/image.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace mediatest {

// The 144 names the game's code opens (defined with the file checks).
std::vector<std::string> FixedNames();

inline std::string MediaDir() {
    const char *dir = std::getenv("TARVOS_BINARY_DIR");
    return std::string(dir ? dir : ".") + "/media";
}

inline std::vector<std::uint8_t> ReadBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::uint8_t> ReadMedia(const std::string &name) {
    return ReadBytes(MediaDir() + "/" + name);
}

inline image::Rgba8Image ReadImage(const std::string &name) {
    auto bytes = ReadMedia(name);
    image::Rgba8Image img;
    std::string error;
    bool png = name.size() > 4 && name.substr(name.size() - 4) == ".png";
    bool ok = png ? image::DecodePng(bytes, img, error) : image::DecodeJpeg(bytes, img, error);
    EXPECT_TRUE(ok) << name << ": " << error;
    return img;
}

inline const std::uint8_t *Pixel(const image::Rgba8Image &img, std::uint32_t x, std::uint32_t y) {
    return &img.pixels[(static_cast<std::size_t>(y) * img.width + x) * 4];
}

struct V3 {
    float x, y, z;
};

struct XMesh {
    bool ok = false;
    std::string header;
    std::vector<V3> positions;
    std::vector<std::array<std::uint32_t, 3>> faces;
    std::vector<V3> normals;
    std::vector<std::array<std::uint32_t, 3>> normalFaces;
    std::vector<std::array<float, 2>> uvs;
    std::vector<std::array<float, 2>> uvs2; // from FVFData
    std::vector<std::uint32_t> faceMaterial;
    struct Material {
        float diffuse[4];
        float power;
        float specular[3];
        float emissive[3];
        std::string texture;
    };
    std::vector<Material> materials;
    int topLevelMeshes = 0;
};

// Tokens of the text encoding; ',' and ';' only separate, so they are dropped.
inline std::vector<std::string> Tokens(const std::string &text) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c)) || c == ',' || c == ';') {
            ++i;
        } else if (c == '{' || c == '}') {
            out.emplace_back(1, c);
            ++i;
        } else if (c == '"') {
            std::size_t j = text.find('"', i + 1);
            out.push_back(text.substr(i, j - i + 1));
            i = j + 1;
        } else {
            std::size_t j = i;
            while (j < text.size() && !std::isspace(static_cast<unsigned char>(text[j])) &&
                   text[j] != ',' && text[j] != ';' && text[j] != '{' && text[j] != '}') {
                ++j;
            }
            out.push_back(text.substr(i, j - i));
            i = j;
        }
    }
    return out;
}

inline XMesh ReadX(const std::string &name) {
    XMesh m;
    auto bytes = ReadMedia(name);
    std::string text(bytes.begin(), bytes.end());
    std::size_t eol = text.find('\n');
    if (eol == std::string::npos) {
        return m;
    }
    m.header = text.substr(0, eol);
    auto t = Tokens(text.substr(eol + 1));
    std::size_t p = 0;
    auto num = [&]() { return std::strtod(t.at(p++).c_str(), nullptr); };
    auto u32 = [&]() {
        return static_cast<std::uint32_t>(std::strtoul(t.at(p++).c_str(), nullptr, 10));
    };
    auto expect = [&](const char *s) {
        if (t.at(p) != s) {
            throw std::runtime_error(std::string("expected ") + s + " got " + t.at(p));
        }
        ++p;
    };
    auto faceList = [&](std::vector<std::array<std::uint32_t, 3>> &faces) {
        std::uint32_t n = u32();
        for (std::uint32_t i = 0; i < n; ++i) {
            if (u32() != 3) {
                throw std::runtime_error("non-triangle face");
            }
            faces.push_back({u32(), u32(), u32()});
        }
    };
    try {
        while (p < t.size()) {
            expect("Mesh");
            ++m.topLevelMeshes;
            if (t.at(p) != "{") {
                ++p; // name
            }
            expect("{");
            std::uint32_t nv = u32();
            for (std::uint32_t i = 0; i < nv; ++i) {
                float x = static_cast<float>(num()), y = static_cast<float>(num()),
                      z = static_cast<float>(num());
                m.positions.push_back({x, y, z});
            }
            faceList(m.faces);
            while (t.at(p) != "}") {
                std::string block = t.at(p++);
                expect("{");
                if (block == "MeshNormals") {
                    std::uint32_t n = u32();
                    for (std::uint32_t i = 0; i < n; ++i) {
                        float x = static_cast<float>(num()), y = static_cast<float>(num()),
                              z = static_cast<float>(num());
                        m.normals.push_back({x, y, z});
                    }
                    faceList(m.normalFaces);
                } else if (block == "MeshTextureCoords") {
                    std::uint32_t n = u32();
                    for (std::uint32_t i = 0; i < n; ++i) {
                        float u = static_cast<float>(num()), v = static_cast<float>(num());
                        m.uvs.push_back({u, v});
                    }
                } else if (block == "FVFData") {
                    if (u32() != 256) {
                        throw std::runtime_error("unexpected FVF");
                    }
                    std::uint32_t n = u32();
                    std::vector<float> values;
                    for (std::uint32_t i = 0; i < n; ++i) {
                        std::uint32_t bits = u32();
                        float f;
                        std::memcpy(&f, &bits, 4);
                        values.push_back(f);
                    }
                    for (std::size_t i = 0; i + 1 < values.size(); i += 2) {
                        m.uvs2.push_back({values[i], values[i + 1]});
                    }
                } else if (block == "MeshMaterialList") {
                    std::uint32_t nm = u32();
                    std::uint32_t nf = u32();
                    for (std::uint32_t i = 0; i < nf; ++i) {
                        m.faceMaterial.push_back(u32());
                    }
                    for (std::uint32_t i = 0; i < nm; ++i) {
                        expect("Material");
                        expect("{");
                        XMesh::Material mat{};
                        for (float &f : mat.diffuse) {
                            f = static_cast<float>(num());
                        }
                        mat.power = static_cast<float>(num());
                        for (float &f : mat.specular) {
                            f = static_cast<float>(num());
                        }
                        for (float &f : mat.emissive) {
                            f = static_cast<float>(num());
                        }
                        if (t.at(p) == "TextureFilename") {
                            ++p;
                            expect("{");
                            std::string s = t.at(p++);
                            mat.texture = s.substr(1, s.size() - 2);
                            expect("}");
                        }
                        expect("}");
                        m.materials.push_back(mat);
                    }
                } else {
                    throw std::runtime_error("unknown block " + block);
                }
                expect("}");
            }
            expect("}");
        }
        m.ok = true;
    } catch (const std::exception &e) {
        ADD_FAILURE() << name << ": " << e.what();
    }
    return m;
}

inline std::uint32_t Le32(const std::vector<std::uint8_t> &b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
inline std::uint16_t Le16(const std::vector<std::uint8_t> &b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

struct Wav {
    bool ok = false;
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<std::int16_t> samples; // interleaved
    double seconds() const { return ok ? samples.size() / double(channels) / rate : 0; }
};

// Canonical layout only: RIFF, WAVE, "fmt " (16), "data".
inline Wav ReadWav(const std::string &name) {
    Wav w;
    auto b = ReadMedia(name);
    if (b.size() < 44 || std::memcmp(b.data(), "RIFF", 4) || std::memcmp(b.data() + 8, "WAVE", 4) ||
        std::memcmp(b.data() + 12, "fmt ", 4) || Le32(b, 16) != 16 ||
        std::memcmp(b.data() + 36, "data", 4) || Le32(b, 4) != b.size() - 8 ||
        Le32(b, 40) != b.size() - 44) {
        return w;
    }
    w.format = Le16(b, 20);
    w.channels = Le16(b, 22);
    w.rate = static_cast<int>(Le32(b, 24));
    w.bits = Le16(b, 34);
    bool consistent = Le32(b, 28) == static_cast<std::uint32_t>(w.rate * w.channels * 2) &&
                      Le16(b, 32) == w.channels * 2;
    for (std::size_t i = 44; i + 1 < b.size(); i += 2) {
        w.samples.push_back(static_cast<std::int16_t>(Le16(b, i)));
    }
    w.ok = consistent;
    return w;
}

} // namespace mediatest
