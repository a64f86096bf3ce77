// Decoding throughput of the texture and mesh readers, in bytes of input per second, over data
// the benchmark makes itself: a 512 x 512 picture as PNG, JPEG and a DDS cube map with mips, and
// an X text mesh of a 100 x 100 vertex grid.
#include "platform/d3dx/dds_reader.h"
#include "platform/d3dx/mesh_data.h"
#include "platform/image/image.h"
#include "tests/platform/d3dx/dds_writer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

image::Rgba8Image Picture() {
    image::Rgba8Image img;
    img.width = img.height = 512;
    img.hasAlpha = true;
    img.pixels.resize(512 * 512 * 4);
    for (std::uint32_t y = 0; y < 512; ++y)
        for (std::uint32_t x = 0; x < 512; ++x) {
            std::uint8_t *p = &img.pixels[(y * 512 + x) * 4];
            p[0] = static_cast<std::uint8_t>(x ^ y);
            p[1] = static_cast<std::uint8_t>(x * 3 + y);
            p[2] = static_cast<std::uint8_t>((x * y) >> 4);
            p[3] = static_cast<std::uint8_t>(255 - (x >> 1));
        }
    return img;
}

std::string GridMesh(int n) {
    std::string text = "xof 0303txt 0032\nMesh grid {\n" + std::to_string(n * n) + ";\n";
    char line[96];
    for (int i = 0; i < n * n; ++i) {
        std::snprintf(line, sizeof line, "%f;%f;%f;%c\n", (i % n) * 0.5, (i / n) * 0.5,
                      ((i * 7) % 13) * 0.01, i + 1 < n * n ? ',' : ';');
        text += line;
    }
    const int quads = (n - 1) * (n - 1);
    text += std::to_string(quads) + ";\n";
    for (int q = 0, k = 0; q < quads; ++q, ++k) {
        const int x = q % (n - 1), y = q / (n - 1), v = y * n + x;
        std::snprintf(line, sizeof line, "4;%d,%d,%d,%d;%c\n", v, v + n, v + n + 1, v + 1,
                      q + 1 < quads ? ',' : ';');
        text += line;
    }
    text += "MeshTextureCoords {\n" + std::to_string(n * n) + ";\n";
    for (int i = 0; i < n * n; ++i) {
        std::snprintf(line, sizeof line, "%f;%f;%c\n", (i % n) / double(n), (i / n) / double(n),
                      i + 1 < n * n ? ',' : ';');
        text += line;
    }
    return text + "}\n}\n";
}

void BM_DecodePng(benchmark::State &state) {
    std::vector<std::uint8_t> file;
    std::string error;
    image::EncodePng(Picture(), true, file, error);
    for (auto _ : state) {
        image::Rgba8Image out;
        benchmark::DoNotOptimize(image::DecodePng(file, out, error));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_DecodePng);

void BM_DecodeJpeg(benchmark::State &state) {
    std::vector<std::uint8_t> file;
    std::string error;
    image::EncodeJpeg(Picture(), 90, file, error);
    for (auto _ : state) {
        image::Rgba8Image out;
        benchmark::DoNotOptimize(image::DecodeJpeg(file, out, error));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_DecodeJpeg);

void BM_DecodeDdsCube(benchmark::State &state) {
    // The cube map's own layout: 128 x 128 faces, eight levels, 32 bits per texel.
    const auto file = testing_dds::DdsWriter::Write(
        128, 128, 8, true, testing_dds::Format{}, [](int face, int level, int x, int y) {
            return 0xFF000000u | (face << 16) | (level << 8) | (x ^ y);
        });
    std::string error;
    for (auto _ : state) {
        dds::Image out;
        benchmark::DoNotOptimize(dds::Decode(file, out, error));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_DecodeDdsCube);

void BM_ReadXTextMesh(benchmark::State &state) {
    const std::string text = GridMesh(100);
    const std::vector<std::uint8_t> file(text.begin(), text.end());
    std::string error;
    for (auto _ : state) {
        xfile::Document doc;
        xfile::MeshData mesh;
        benchmark::DoNotOptimize(xfile::ParseXFile(file, doc, error) &&
                                 xfile::BuildMeshDataFromDocument(doc, mesh, error));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_ReadXTextMesh);

} // namespace
