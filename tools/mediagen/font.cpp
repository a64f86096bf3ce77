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
constexpr int kSliderWidth = 11; // "=" and "?" share it so the knob replaces a step exactly
// The slider track: rows 7 and 8, through the middle of the capitals.
constexpr float kTrackTop = 7, kTrackBottom = 9;

const Color kNormal = hex(0xe8f6ff);
const Color kHighlight = hex(0xffb530);

// The device samples each glyph pixel between two texels, so a glyph's first pixel takes half of
// the last column of the cell to its left in the atlas. Glyphs that must join the one before them
// on screen (slider steps and the right end cap) therefore get their track continued into
// that column, which nothing else ever samples.
bool joinsLeft(char c) {
    return c == '=' || c == '>';
}
bool joinsRight(char c) {
    return c == '=' || c == '<';
}

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
// nothing past the advance, where the next glyph starts, except where a slider part joins its
// neighbour.
void clearOutside(Mask &m, int width, char c) {
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) {
            bool border = y == 0 || y == kCell - 1 || (x == 0 && !joinsLeft(c));
            bool beyond = x >= (joinsRight(c) ? width : width - 1);
            if (border || beyond) {
                m.at(x, y) = 0;
            }
        }
    }
}

void track(Mask &m, float x0, float x1) {
    m.fillPolygon({{x0, kTrackTop}, {x1, kTrackTop}, {x1, kTrackBottom}, {x0, kTrackBottom}});
}

// One cell's ink, its colour and its advance.
struct Glyph {
    Mask ink{kCell, kCell};
    Color colour = kNormal;
    int width = 8;
};

// Option boxes the height of the capitals: empty when off, ticked when on, with clear space
// before the option's name.
Glyph optionBox(bool ticked) {
    Glyph g;
    g.ink.fillPolygon({{1, 3}, {11, 3}, {11, 13}, {1, 13}});
    Mask hole(kCell, kCell);
    hole.fillPolygon({{2.5f, 4.5f}, {9.5f, 4.5f}, {9.5f, 11.5f}, {2.5f, 11.5f}});
    for (int i = 0; i < kCell * kCell; ++i) {
        g.ink.values[i] = std::max(0.0f, g.ink.values[i] - hole.values[i]);
    }
    if (ticked) {
        g.ink.fillPolygon(
            {{3.3f, 7.8f}, {5.0f, 7.8f}, {5.9f, 9.2f}, {8.6f, 4.8f}, {10.0f, 5.3f}, {5.9f, 11.8f}});
    }
    g.width = 15;
    return g;
}

// The marks either side of the highlighted value, pointing at it.
Glyph selectionMark(bool before) {
    Glyph g;
    if (before) {
        g.ink.fillPolygon({{2, 3.5f}, {9, 8}, {2, 12.5f}});
    } else {
        g.ink.fillPolygon({{9, 3.5f}, {2, 8}, {9, 12.5f}});
    }
    g.colour = kHighlight;
    g.width = 11;
    return g;
}

// The slider's end posts and its steps, whose track runs across the whole advance so that the
// parts join on screen.
Glyph sliderPart(char ch) {
    Glyph g;
    switch (ch) {
    case '<':
        // The left end: a post with the track leaving it to the right.
        g.ink.fillPolygon({{2, 3}, {4, 3}, {4, 13}, {2, 13}});
        g.width = 9;
        track(g.ink, 4, static_cast<float>(g.width));
        break;
    case '>':
        g.width = 9;
        track(g.ink, 0, 5);
        g.ink.fillPolygon({{5, 3}, {7, 3}, {7, 13}, {5, 13}});
        break;
    default:
        // One step: track across the whole advance.
        g.width = kSliderWidth;
        track(g.ink, 0, static_cast<float>(g.width));
        break;
    }
    return g;
}

// A question mark in amber, as wide as a slider step and centred in it: a fresh hall-of-fame
// row's "???" reads as three unknowns, and on the slider the track stops either side of it, so it
// stands out as the knob at the value. A size up from the letters so it stands taller than the
// capitals beside the track.
Glyph knob(const TextRenderer &text, FontFace face) {
    Glyph g;
    g.width = kSliderWidth;
    const float size = kGlyphSize + 2;
    auto box = text.glyph(face, '?', size);
    text.draw(g.ink, face, "?", size, (g.width - box.width) / 2.0f - box.left, kBaseline + 1);
    g.colour = kHighlight;
    return g;
}

// A character of the typeface; lower case is the highlighted form of the capitals, and digits
// share one width (`digitInk`) so scores and timers do not jiggle.
Glyph letter(char ch, const TextRenderer &text, FontFace face, int digitInk) {
    Glyph g;
    char shape = ch;
    if (ch >= 'a' && ch <= 'z') {
        shape = static_cast<char>(ch - 'a' + 'A');
        g.colour = kHighlight;
    }
    auto box = text.glyph(face, shape, kGlyphSize);
    bool digit = ch >= '0' && ch <= '9';
    int inkWidth = digit ? digitInk : box.width;
    // Pen placed so the ink starts at column 1 (digits centred in their shared width).
    float pen = 1.0f - box.left + (digit ? (digitInk - box.width) / 2 : 0);
    text.draw(g.ink, face, std::string(1, shape), kGlyphSize, pen, kBaseline);
    g.width = std::min(15, inkWidth + 2);
    return g;
}

Glyph makeGlyph(char ch, const TextRenderer &text, FontFace face, int digitInk) {
    switch (ch) {
    case ' ': {
        Glyph space;
        space.width = 6;
        return space;
    }
    case '(':
    case ')':
        return optionBox(ch == ')');
    case '{':
    case '}':
        return selectionMark(ch == '{');
    case '<':
    case '>':
    case '=':
        return sliderPart(ch);
    case '?':
        return knob(text, face);
    case '|': {
        // The text cursor.
        Glyph bar;
        bar.ink.fillPolygon({{2, 1}, {4, 1}, {4, 14}, {2, 14}});
        bar.width = 6;
        return bar;
    }
    default:
        return letter(ch, text, face, digitInk);
    }
}

// The glyph in its cell, cut to the cell's rules, over a thin dark rim unless it is a slider part
// (those join up on screen with no rim between them).
void placeGlyph(Canvas &atlas, Glyph &g, char ch) {
    const int code = static_cast<unsigned char>(ch);
    clearOutside(g.ink, g.width, ch);
    bool slider = joinsLeft(ch) || joinsRight(ch);
    Mask rim = slider ? Mask(kCell, kCell) : g.ink.dilated(1.0f);
    clearOutside(rim, g.width, ch);
    stamp(atlas, g.ink, rim, (code % 16) * kCell, (code / 16) * kCell, g.colour);
}

// The lead-in of every glyph that joins the one before it, in the last column of the cell to its
// left.
void addLeadIns(Canvas &atlas, const std::array<Color, 256> &colours) {
    for (int code = 33; code < 127; ++code) {
        if (joinsLeft(static_cast<char>(code))) {
            int x = ((code - 1) % 16) * kCell + kCell - 1, y = ((code - 1) / 16) * kCell;
            atlas.fillRect(x, y + kTrackTop, x + 1, y + kTrackBottom, colours[code]);
        }
    }
}

} // namespace

void MakeFont(Output &out, const TextRenderer &text) {
    Canvas atlas(256, 256);
    std::array<std::uint8_t, 256> widths;
    widths.fill(8);
    std::array<Color, 256> colours;
    colours.fill(kNormal);
    const FontFace face = FontFace::CondensedBold;
    int digitInk = 0;
    for (char d = '0'; d <= '9'; ++d) {
        digitInk = std::max(digitInk, text.glyph(face, d, kGlyphSize).width);
    }
    for (int code = 32; code < 127; ++code) {
        const char ch = static_cast<char>(code);
        Glyph g = makeGlyph(ch, text, face, digitInk);
        placeGlyph(atlas, g, ch);
        widths[code] = static_cast<std::uint8_t>(g.width);
        colours[code] = g.colour;
    }
    addLeadIns(atlas, colours);
    out.png("font.png", atlas);
    out.bytes("font.dat", widths);
}

} // namespace mediagen
