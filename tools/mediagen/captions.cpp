// The 28 caption pictures: light text with a soft dark rim so it reads over the sky and the scene,
// centred in pictures exactly the size they are drawn; two full pages for credits and briefing.
#include "tools/mediagen/assets.h"
#include "tools/mediagen/canvas.h"

#include <cmath>
#include <string>

namespace mediagen {

namespace {

struct TextStyle {
    FontFace face = FontFace::SansBold;
    float size = 22;
    Color top = hex(0xffffff), bottom = hex(0xbfe8ff); // vertical gradient over the letters
    float rim = 1.5f;                                  // dark outline width, 0 for none
    float rimAlpha = 0.75f;
    float tracking = 1.0f;
};

// Draws one line of text with its pen at x and the given baseline.
void drawText(Canvas &c, const TextRenderer &text, const std::string &s, float x, float baseline,
              const TextStyle &st) {
    Mask ink(c.width(), c.height());
    text.draw(ink, st.face, s, st.size, x, baseline, st.tracking);
    float cap = text.capHeight(st.face, st.size);
    if (st.rim > 0) {
        Mask rim = ink.dilated(st.rim).blurred(1.2f);
        c.drawMask(rim, 0, 0, {0.02f, 0.03f, 0.06f, st.rimAlpha});
    }
    c.drawMask(ink, 0, 0, [&](float, float y) {
        float t = clamp01((y - (baseline - cap)) / std::max(1.0f, cap));
        return mix(st.top, st.bottom, t);
    });
}

// Centred line; `centreY` is where the capitals' middle should sit.
void centred(Canvas &c, const TextRenderer &text, const std::string &s, float centreX,
             float centreY, const TextStyle &st) {
    float w = text.measure(st.face, s, st.size, st.tracking);
    float cap = text.capHeight(st.face, st.size);
    drawText(c, text, s, std::round(centreX - w / 2), std::round(centreY + cap / 2), st);
}

Canvas header(const TextRenderer &text, const std::string &s, float centreY = 16, float size = 22) {
    Canvas c(256, 32);
    TextStyle st;
    st.size = size;
    // Shrink long texts until they fit with a margin.
    while (text.measure(st.face, s, st.size, st.tracking) > 240 && st.size > 12) {
        st.size -= 1;
    }
    centred(c, text, s, 128, centreY, st);
    return c;
}

Canvas small(const TextRenderer &text, int w, const std::string &s, float centreX,
             float size = 12) {
    Canvas c(w, 16);
    TextStyle st;
    st.size = size;
    st.rim = 1.0f;
    st.tracking = 0.5f;
    centred(c, text, s, centreX, 8, st);
    return c;
}

Canvas title(const TextRenderer &text) {
    Canvas c(512, 64);
    TextStyle st;
    st.size = 52;
    st.tracking = 6;
    st.rim = 2.5f;
    st.rimAlpha = 0.85f;
    // Metallic: bright top, dark band just below the middle, bright again at the foot.
    Mask ink(512, 64);
    float w = text.measure(st.face, "TARVOS", st.size, st.tracking);
    float cap = text.capHeight(st.face, st.size);
    float baseline = std::round(32 + cap / 2);
    text.draw(ink, st.face, "TARVOS", st.size, std::round(256 - w / 2), baseline, st.tracking);
    Mask glow = ink.dilated(3).blurred(6);
    c.drawMask(glow, 0, 0, {0.25f, 0.6f, 1.0f, 0.45f});
    c.drawMask(ink.dilated(st.rim), 0, 0, {0.02f, 0.03f, 0.08f, 0.9f});
    c.drawMask(ink, 0, 0, [&](float, float y) {
        float t = clamp01((y - (baseline - cap)) / cap);
        Color top = hex(0xffffff), mid = hex(0x6d8196), low = hex(0xd8e6f2);
        return t < 0.55f ? mix(top, mid, t / 0.55f) : mix(mid, low, (t - 0.55f) / 0.45f);
    });
    return c;
}

// Word-wrapped paragraphs on a transparent full page.
class Page {
public:
    Page(const TextRenderer &text) : m_text(text), m_canvas(640, 480) {}

    void heading(const std::string &s) {
        TextStyle st;
        st.size = 22;
        m_y += 30;
        centred(m_canvas, m_text, s, 320, m_y - 8, st);
        m_y += 8;
    }
    void paragraph(const std::string &s, float size = 15, Color colour = hex(0xe6f2ff)) {
        TextStyle st;
        st.face = FontFace::SansBold;
        st.size = size;
        st.top = st.bottom = colour;
        st.rim = 1.2f;
        st.tracking = 0;
        std::string line, word;
        auto flush = [&] {
            if (line.empty()) {
                return;
            }
            m_y += size + 5;
            centred(m_canvas, m_text, line, 320, m_y - size * 0.35f, st);
            line.clear();
        };
        for (std::size_t i = 0; i <= s.size(); ++i) {
            if (i == s.size() || s[i] == ' ') {
                std::string trial = line.empty() ? word : line + " " + word;
                if (m_text.measure(st.face, trial, size) > 560) {
                    flush();
                    line = word;
                } else {
                    line = trial;
                }
                word.clear();
            } else {
                word += s[i];
            }
        }
        flush();
        m_y += 6;
    }
    void gap(float pixels) { m_y += pixels; }
    Canvas &canvas() { return m_canvas; }

private:
    const TextRenderer &m_text;
    Canvas m_canvas;
    float m_y = 0;
};

Canvas credits(const TextRenderer &text) {
    Page p(text);
    p.gap(20);
    p.heading("CREDITS");
    p.gap(10);
    p.paragraph("TARVOS", 20, hex(0xffffff));
    p.paragraph("Programming, design and testing by the Tarvos team.");
    p.gap(10);
    p.heading("MEDIA");
    p.paragraph("Every model, texture, caption, sound and tune in this game was generated "
                "procedurally when the game was built.");
    p.gap(10);
    p.heading("FONTS");
    p.paragraph("Captions and the menu font are drawn from the DejaVu fonts, released under the "
                "Bitstream Vera licence and public-domain changes.");
    p.gap(10);
    p.heading("THANK YOU");
    p.paragraph("for playing. Keep the satellites safe.");
    return p.canvas();
}

Canvas briefing(const TextRenderer &text) {
    Page p(text);
    p.gap(40);
    p.heading("MISSION BRIEFING");
    p.paragraph("Pilot, the asteroid fields are drifting into the shipping lanes. Clear each field "
                "of rock, destroy or evade the Mars ships sent to stop you, and protect our "
                "satellites: losing one fails the wave. Some waves have a time limit.");
    p.paragraph("Eight waves stand between you and a safe sector. Good hunting.");
    p.heading("CONTROLS");
    const char *lines[] = {
        "ARROWS  steer          Z / X  roll",
        "LEFT CTRL or LEFT BUTTON  fire",
        "LEFT SHIFT or RIGHT BUTTON  thrust      SPACE  brake",
        "NUMPAD 0 or MIDDLE BUTTON  fine control",
        "F1  change view      PAUSE  pause      F12  self-destruct",
        "ESC  menu",
    };
    for (const char *l : lines) {
        p.paragraph(l, 14, hex(0xcfe6ff));
    }
    p.gap(12);
    p.paragraph("PRESS ENTER", 22, hex(0xffd070));
    return p.canvas();
}

} // namespace

void MakeCaptions(Output &out, const TextRenderer &text) {
    out.png("title.png", title(text));
    out.png("paused.png", header(text, "PAUSED"));
    out.png("halloffame.png", header(text, "HALL OF FAME"));
    out.png("options.png", header(text, "OPTIONS"));
    out.png("credits.png", credits(text));
    // Wave cards keep their text in the upper 24 rows: the lives card overlaps the lowest 8.
    for (int i = 1; i <= 8; ++i) {
        out.png("wave" + std::to_string(i) + ".png", header(text, "WAVE " + std::to_string(i), 12));
    }
    for (int i = 0; i <= 3; ++i) {
        out.png("lives" + std::to_string(i) + ".png",
                small(text, 128, "SHIPS " + std::to_string(i), 64));
    }
    out.png("gameover.png", header(text, "GAME OVER"));
    out.png("wavecleared.png", header(text, "WAVE CLEARED", 12));
    {
        // Two short lines keep the mocking label within 70 pixels of the centre.
        Canvas c(256, 32);
        TextStyle st;
        st.size = 12;
        st.rim = 1.0f;
        st.top = hex(0xffb0b0);
        st.bottom = hex(0xff6060);
        centred(c, text, "CHEATER!", 128, 8, st);
        centred(c, text, "INVULNERABLE", 128, 23, st);
        out.png("tehsuck.png", c);
    }
    out.png("spacejunk.png", header(text, "YOU ARE SPACE JUNK"));
    out.png("briefing.png", briefing(text));
    {
        Canvas c(512, 32);
        TextStyle st;
        st.size = 18;
        st.tracking = 3;
        centred(c, text, "A TARVOS TEAM PRODUCTION", 256, 16, st);
        out.png("zelgame.png", c);
    }
    // The score label sits in the left 96 pixels (the right 28 are off screen).
    out.png("score.png", small(text, 128, "SCORE", 48));
    out.png("intermission.png", header(text, "DOCKING AT STATION"));
    out.png("nodamage.png", small(text, 256,
                                  "NO DAMAGE BONUS \xD7"
                                  "1.5",
                                  128));
    out.png("wavefailed.png", header(text, "WAVE FAILED"));
    // Right of column 130, so the label sits beside the timer digits rather than under them.
    out.png("timeremaining.png", small(text, 256, "TIME REMAINING", 192, 11));
}

} // namespace mediagen
