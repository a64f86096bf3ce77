// The menu list, the hall of fame, the initials screen, the darkening quads and the menu texts.
#include "game/asteroid_game.h"

#include "game/dh_fast_font.h"
#include "game/meshobj.h"
#include "game/screen_texts.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr D3DCOLOR kOpaqueWhite = 0xFFFFFFFF;
// Texts built for the menus hold at most this many characters and their terminating zero.
constexpr int kMenuTextLength = 79;

void DrawWhite(dhFastFont *font, const char *text, INT x, INT y) {
    if (font)
        font->drawText(text, static_cast<float>(x), static_cast<float>(y), kOpaqueWhite);
}

} // namespace

void FormatHallOfFameScore(char (&out)[16], DWORD score) {
    std::snprintf(out, sizeof(out), "%8d", static_cast<INT>(score));
}

bool MakeInitialsLine(char (&out)[8], const char *initials, INT count, float stateTimer) {
    out[0] = '\0';
    if (count < 1)
        return false;
    const INT letters = count < 3 ? count : 3;
    std::memcpy(out, initials, static_cast<size_t>(letters));
    // The bar shows for the first half of every second in the state.
    const bool barShows = static_cast<INT>(stateTimer * 2.0f) % 2 == 0;
    out[letters] = barShows ? '|' : ' ';
    out[letters + 1] = '\0';
    return true;
}

char *ToLowerCopy(const char *text) {
    char *copy = new char[kMenuTextLength + 1];
    int i = 0;
    for (; text && text[i] != '\0' && i < kMenuTextLength; ++i) {
        const char c = text[i];
        copy[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    copy[i] = '\0';
    return copy;
}

void CMyD3DApplication::DrawMenu(INT cursor, INT x) {
    // The item list holds at most seven texts; a larger count shows those.
    const INT count = m_nItemCount < kMaxMenuItems ? m_nItemCount : kMaxMenuItems;
    const INT firstRow = (static_cast<INT>(m_backBufferDesc.Height) - 30 * count) / 2;
    if (cursor < 0 || cursor > count - 1)
        cursor = 0;
    for (INT i = 0; i < count; ++i) {
        const char *item = m_menuItems[i];
        if (!item)
            continue;
        const INT y = firstRow + 30 * i;
        if (i == cursor) {
            // The lower-case glyphs are the font's highlighted capitals.
            char *selected = ToLowerCopy(item);
            DrawWhite(m_pBitmapFont, selected, x, y);
            delete[] selected;
        } else {
            DrawWhite(m_pBitmapFont, item, x, y);
        }
    }
}

void CMyD3DApplication::DrawHallOfFame() {
    const INT x = static_cast<INT>(m_backBufferDesc.Width / 2) - 260;
    const INT firstRow = (static_cast<INT>(m_backBufferDesc.Height) - 144) / 2;
    for (int row = 0; row < kHallOfFameRows; ++row) {
        const INT y = firstRow + 24 * row;
        char initials[4];
        std::memcpy(initials, m_hallOfFame[row].initials, sizeof(initials));
        initials[3] = '\0';
        DrawWhite(m_pBitmapFont, initials, x, y);
        char score[16];
        FormatHallOfFameScore(score, m_hallOfFame[row].score);
        DrawWhite(m_pBitmapFont, score, x + 260, y);
    }
}

void CMyD3DApplication::DrawInitialsEntry() {
    const INT x = static_cast<INT>(m_backBufferDesc.Width / 2) - 260;
    const INT middle = static_cast<INT>(m_backBufferDesc.Height / 2);
    DrawWhite(m_pBitmapFont, "congratulations", x, middle - 64);
    DrawWhite(m_pBitmapFont, "TYPE YOUR INITIALS", x, middle - 32);
    char line[8];
    if (MakeInitialsLine(line, m_initials, m_nInitialsCount, m_fStateTimer))
        DrawWhite(m_pBitmapFont, line, x, middle + 32);
}

char *CMyD3DApplication::MakeSliderText(INT value, INT minimum, INT maximum) {
    char *text = new char[kMenuTextLength + 1];
    int length = 0;
    text[length++] = '<';
    // A range too wide for the text keeps its first steps, so the closing mark always fits.
    for (INT step = minimum; step <= maximum && length < kMenuTextLength - 1; ++step)
        text[length++] = step == value ? '?' : '=';
    text[length++] = '>';
    text[length] = '\0';
    return text;
}

void CMyD3DApplication::DrawFullScreenBlack(DWORD which) {
    D3DXMATRIX scaling;
    D3DXMatrixScaling(&scaling, static_cast<float>(m_backBufferDesc.Width),
                      static_cast<float>(m_backBufferDesc.Height), 1.0f);
    m_pDevice->SetTransform(D3DTS_WORLD, &scaling);
    if (which == 0)
        m_pBlack->Render();
    else if (which == 1)
        m_pBlack2->Render();
}

void CMyD3DApplication::DrawOutlinedText(const char *text, INT x, INT y, INT width, INT,
                                         DWORD format) {
    if (!m_pLargeFont)
        return;
    m_pLargeFont->Begin();
    RECT rect = {x - width / 2, y - 10, x + width / 2, y + 10};
    m_pLargeFont->DrawTextA(text, -1, &rect, format, D3DCOLOR_ARGB(255, 0, 0, 0));
    rect.left -= 1;
    rect.top -= 1;
    rect.right -= 1;
    rect.bottom -= 1;
    m_pLargeFont->DrawTextA(text, -1, &rect, format, D3DCOLOR_ARGB(128, 255, 255, 255));
    m_pLargeFont->End();
}

HRESULT CMyD3DApplication::DrawFrameStats() {
    char text[260] = {};
    std::memcpy(text, m_strFrameRateText, strnlen(m_strFrameRateText, 89));
    if (m_pBitmapFont)
        m_pBitmapFont->drawText(text, m_backBufferDesc.Width / 2.0f - 120.0f, 8.0f, kOpaqueWhite);
    return 0;
}
