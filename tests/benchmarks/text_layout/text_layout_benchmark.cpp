// Cost of laying out a line of text once its characters are in the atlas, and of filling a fresh
// atlas with the printable characters.
#include "platform/d3dx/text_layout.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

std::unique_ptr<fonts::FontFace> OpenArial() {
    LOGFONTA font{};
    font.lfHeight = 20;
    font.lfWeight = FW_BOLD;
    std::strcpy(font.lfFaceName, "Arial");
    return fonts::FontFace::Open(font, nullptr);
}

void LayoutLine(benchmark::State &state) {
    auto face = OpenArial();
    if (!face) {
        state.SkipWithError("no font");
        return;
    }
    fonts::GlyphAtlas atlas(*face);
    std::vector<fonts::GlyphQuad> quads;
    const char *line = "Score 00012345   Time 3:07   42.17 fps";
    for (auto _ : state) {
        RECT box = {0, 0, 640, 40};
        benchmark::DoNotOptimize(fonts::LayoutText(atlas, line, -1, &box,
                                                   DT_CENTER | DT_VCENTER | DT_SINGLELINE, &quads));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(std::strlen(line)));
}
BENCHMARK(LayoutLine);

void FillAtlas(benchmark::State &state) {
    auto face = OpenArial();
    if (!face) {
        state.SkipWithError("no font");
        return;
    }
    for (auto _ : state) {
        fonts::GlyphAtlas atlas(*face);
        for (char32_t c = 0x20; c < 0x7F; ++c)
            benchmark::DoNotOptimize(atlas.Glyph(c));
    }
    state.SetItemsProcessed(state.iterations() * (0x7F - 0x20));
}
BENCHMARK(FillAtlas);

} // namespace
