// The menu font: 256 cells of 16 x 16 in a 256 x 256 picture, ink from column 1 with its baseline
// at row 12, and "font.dat", the 256 advance widths. Lower-case codes are the highlighted capitals;
// a few codes are the menus' own symbols (option boxes, selection marks, slider parts).
#include "tools/mediagen/assets.h"
#include "tools/mediagen/canvas.h"

#include <array>
#include <cmath>

namespace mediagen {

namespace {

constexpr int kCell = 16;
constexpr int kBaseline = 12;
constexpr float kGlyphSize = 13.0f;
constexpr int kSliderWidth = 10; // "=" and "?" share it so the knob replaces a step exactly

const Color kNormal = hex(0xe8f6ff);
const Color kHighlight = hex(0xffb530);

// Draws the ink into its cell over a thin dark rim for contrast.
void stamp(Canvas &c, const Mask &ink, const Mask &rim, int cellX, int cellY, Color colour) {
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) {
            float r = rim.get(x, y), v = ink.get(x, y);
            if (r > 0) {
                c.blend(cellX + x, cellY + y, {0.02f, 0.03f, 0.06f, 0.55f}, r);
            }
            if (v > 0) {
                c.blend(cellX + x, cellY + y, colour, v);
            }
        }
    }
}

// Keeps row 0, row 15 and column 0 empty (linear filtering would pull in the neighbour cell) and
// nothing past the advance, where the next glyph starts. Slider parts join across the advance.
void clearOutside(Mask &m, int width, bool joins) {
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) {
            bool border = y == 0 || y == kCell - 1 || (x == 0 && !joins);
            bool beyond = x >= (joins ? width : width - 1);
            if (border || beyond) {
                m.at(x, y) = 0;
            }
        }
    }
}

} // namespace

void MakeFont(Output &out, const TextRenderer &text) {
    Canvas atlas(256, 256);
    std::array<std::uint8_t, 256> widths;
    widths.fill(8);
    const FontFace face = FontFace::CondensedBold;
    // Digits share one width so scores and timers do not jiggle.
    int digitInk = 0;
    for (char d = '0'; d <= '9'; ++d) {
        digitInk = std::max(digitInk, text.glyph(face, d, kGlyphSize).width);
    }
    for (int code = 32; code < 127; ++code) {
        int cx = (code % 16) * kCell, cy = (code / 16) * kCell;
        Mask ink(kCell, kCell);
        Color colour = kNormal;
        int width = 8;
        char ch = static_cast<char>(code);
        bool keepColumnZero = false;
        switch (ch) {
        case ' ':
            width = 6;
            break;
        case '(':
        case ')': {
            // Option boxes: empty when off, filled with a tick when on.
            ink.fillPolygon({{1, 2}, {12, 2}, {12, 13}, {1, 13}});
            Mask hole(kCell, kCell);
            hole.fillPolygon({{2.6f, 3.6f}, {10.4f, 3.6f}, {10.4f, 11.4f}, {2.6f, 11.4f}});
            for (int i = 0; i < kCell * kCell; ++i) {
                ink.values[i] = std::max(0.0f, ink.values[i] - hole.values[i]);
            }
            if (ch == ')') {
                ink.fillPolygon({{3.5f, 7.5f},
                                 {5.5f, 7.5f},
                                 {6.5f, 9.0f},
                                 {9.5f, 4.0f},
                                 {11.0f, 4.5f},
                                 {6.5f, 12.0f}});
            }
            width = 15;
            break;
        }
        case '{':
            ink.fillPolygon({{2, 3}, {10, 7.5f}, {2, 12}});
            colour = kHighlight;
            width = 12;
            break;
        case '}':
            ink.fillPolygon({{10, 3}, {2, 7.5f}, {10, 12}});
            colour = kHighlight;
            width = 12;
            break;
        case '<':
            ink.fillPolygon({{2, 3}, {4, 3}, {4, 12}, {2, 12}});
            ink.fillPolygon({{4, 7}, {7, 7}, {7, 9}, {4, 9}});
            width = 9;
            break;
        case '>':
            ink.fillPolygon({{5, 3}, {7, 3}, {7, 12}, {5, 12}});
            ink.fillPolygon({{1, 7}, {5, 7}, {5, 9}, {1, 9}});
            width = 9;
            break;
        case '=':
            // One slider step: the track runs across the whole advance so steps join.
            ink.fillPolygon({{0, 7}, {kSliderWidth, 7}, {kSliderWidth, 9}, {0, 9}});
            keepColumnZero = true;
            width = kSliderWidth;
            break;
        case '?':
            // The knob: a filled diamond on the track, which still reads as a placeholder mark
            // in fresh hall-of-fame rows.
            ink.fillPolygon({{0, 7}, {kSliderWidth, 7}, {kSliderWidth, 9}, {0, 9}});
            ink.fillPolygon({{5, 2.5f}, {9.5f, 8}, {5, 13.5f}, {0.5f, 8}});
            colour = kHighlight;
            keepColumnZero = true;
            width = kSliderWidth;
            break;
        case '|':
            ink.fillPolygon({{2, 1}, {4, 1}, {4, 14}, {2, 14}});
            width = 6;
            break;
        default: {
            char shape = ch;
            if (ch >= 'a' && ch <= 'z') {
                shape = static_cast<char>(ch - 'a' + 'A');
                colour = kHighlight;
            }
            auto box = text.glyph(face, shape, kGlyphSize);
            bool digit = ch >= '0' && ch <= '9';
            int inkWidth = digit ? digitInk : box.width;
            // Pen placed so the ink starts at column 1 (digits centred in their shared width).
            float pen = 1.0f - box.left + (digit ? (digitInk - box.width) / 2 : 0);
            text.draw(ink, face, std::string(1, shape), kGlyphSize, pen, kBaseline);
            width = std::min(15, inkWidth + 3);
            break;
        }
        }
        clearOutside(ink, width, keepColumnZero);
        Mask rim = keepColumnZero ? Mask(kCell, kCell) : ink.dilated(1.0f);
        clearOutside(rim, width, keepColumnZero);
        stamp(atlas, ink, rim, cx, cy, colour);
        widths[code] = static_cast<std::uint8_t>(width);
    }
    out.png("font.png", atlas);
    out.bytes("font.dat", widths);
}

} // namespace mediagen
