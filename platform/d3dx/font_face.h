// A text font's face: the font file that stands in for a GDI font record, opened with FreeType at
// the record's height, with its line metrics and glyphs as coverage bitmaps.
#pragma once

#include "platform/win32/gdi.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fonts {

// Where the system's TrueType fonts live.
inline const std::filesystem::path kSystemFontRoot = "/usr/share/fonts/truetype";

// The file for a face name and weight under `root`: "Arial" is served by Liberation Sans (same
// metrics), any other face by DejaVu Sans; bold from weight 600. Falls back to the other family,
// then to the regular weight. Empty, with the reason in `error`, when none is installed.
std::filesystem::path FindFaceFile(const std::string &faceName, LONG weight,
                                   const std::filesystem::path &root, std::string *error);

// One rendered character. Coverage is 8-bit, rows top first; `left` and `top` place the bitmap
// relative to the pen on the baseline (top is upward).
struct GlyphBitmap {
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
    int advance = 0;
    std::vector<std::uint8_t> coverage;
};

class FontFace {
public:
    // Opens the face for `font`; null with the reason in `error` when no file can serve it.
    static std::unique_ptr<FontFace> Open(const LOGFONTA &font, std::string *error,
                                          const std::filesystem::path &root = kSystemFontRoot);
    ~FontFace();
    FontFace(const FontFace &) = delete;
    FontFace &operator=(const FontFace &) = delete;

    const std::filesystem::path &File() const { return m_file; }
    // Pixels per em the glyphs are drawn at.
    double EmPixels() const { return m_emPixels; }
    // Above and below the baseline; together the height of a line (the GDI cell height).
    int Ascent() const { return m_ascent; }
    int LineHeight() const { return m_ascent + m_descent; }

    // Renders a Unicode character; false when FreeType cannot.
    bool Render(char32_t character, GlyphBitmap *glyph);

private:
    struct Library;
    FontFace() = default;

    std::unique_ptr<Library> m_library;
    std::filesystem::path m_file;
    double m_emPixels = 0.0;
    int m_ascent = 0;
    int m_descent = 0;
};

} // namespace fonts
