// Writes a mesh in the text X encoding: one top-level Mesh, normals, texture coordinates, an
// optional second UV set as an FVFData block, and the material list in subset order.
#include "tools/mediagen/output.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace mediagen {

namespace {

void number(std::string &s, float v) {
    char buf[32];
    if (v > -0.0000005f && v < 0.0000005f) {
        v = 0; // never print "-0.000000"
    }
    std::snprintf(buf, sizeof buf, "%.6f", static_cast<double>(v));
    s += buf;
}

// `prefix`, then a count and its ";" line end, appended in place.
void countLine(std::string &s, std::string_view prefix, std::size_t count) {
    s += prefix;
    s += std::to_string(count);
    s += ";\n";
}

void faceList(std::string &s, const Mesh &m) {
    countLine(s, " ", m.faces.size());
    for (std::size_t i = 0; i < m.faces.size(); ++i) {
        const auto &f = m.faces[i];
        s += " 3;" + std::to_string(f[0]) + "," + std::to_string(f[1]) + "," +
             std::to_string(f[2]) + ";";
        s += i + 1 < m.faces.size() ? ",\n" : ";\n";
    }
}

// One three-number line per vertex, taking the position or the normal.
void vectorList(std::string &s, const Mesh &m, Vec3 Vertex::*member) {
    for (std::size_t i = 0; i < m.vertices.size(); ++i) {
        const Vec3 &v = m.vertices[i].*member;
        s += " ";
        number(s, v.x);
        s += ";";
        number(s, v.y);
        s += ";";
        number(s, v.z);
        s += i + 1 < m.vertices.size() ? ";,\n" : ";;\n";
    }
}

} // namespace

std::string WriteXText(const Mesh &source, const std::string &name) {
    Mesh m = source;
    m.sortByMaterial();
    std::string s = "xof 0303txt 0032\nMesh " + name + " {\n";
    countLine(s, " ", m.vertices.size());
    vectorList(s, m, &Vertex::p);
    faceList(s, m);
    if (m.hasNormals) {
        countLine(s, " MeshNormals {\n ", m.vertices.size());
        vectorList(s, m, &Vertex::n);
        faceList(s, m);
        s += " }\n";
    }
    if (m.hasUv) {
        countLine(s, " MeshTextureCoords {\n  ", m.vertices.size());
        for (std::size_t i = 0; i < m.vertices.size(); ++i) {
            s += "  ";
            number(s, m.vertices[i].u);
            s += ";";
            number(s, m.vertices[i].v);
            s += i + 1 < m.vertices.size() ? ";,\n" : ";;\n";
        }
        s += " }\n";
    }
    if (m.hasUv2) {
        // The second set travels as raw float bit patterns, two per vertex.
        countLine(s, " FVFData {\n  256;\n  ", m.vertices.size() * 2);
        s += "  ";
        for (std::size_t i = 0; i < m.vertices.size(); ++i) {
            float uv[2] = {m.vertices[i].u2, m.vertices[i].v2};
            for (int k = 0; k < 2; ++k) {
                std::uint32_t bits;
                std::memcpy(&bits, &uv[k], 4);
                s += std::to_string(bits);
                bool last = i + 1 == m.vertices.size() && k == 1;
                s += last ? ";\n" : ",";
                if (!last && k == 1 && i % 4 == 3) {
                    s += "\n  ";
                }
            }
        }
        s += " }\n";
    }
    countLine(s, " MeshMaterialList {\n  ", m.materials.size());
    countLine(s, "  ", m.faces.size());
    for (std::size_t i = 0; i < m.faceMaterial.size(); ++i) {
        s += "  " + std::to_string(m.faceMaterial[i]);
        s += i + 1 < m.faceMaterial.size() ? ",\n" : ";\n";
    }
    for (const auto &mat : m.materials) {
        s += "  Material {\n   1.000000;1.000000;1.000000;";
        number(s, mat.alpha);
        s += ";;\n   0.000000;\n   0.000000;0.000000;0.000000;;\n   ";
        for (int k = 0; k < 3; ++k) {
            number(s, mat.emissive);
            s += k < 2 ? ";" : ";;\n";
        }
        if (!mat.texture.empty()) {
            s += "   TextureFilename {\n    \"" + mat.texture + "\";\n   }\n";
        }
        s += "  }\n";
    }
    s += " }\n}\n";
    return s;
}

} // namespace mediagen
