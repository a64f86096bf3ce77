// Text fonts on a device: the program's two bold Arial fonts are created, DrawTextA draws lit
// pixels inside its rectangle in the call's colour, and every state it touches is put back.
#include "platform/win32/gdi.h"
#include "tests/platform/d3dx/device_fixture.h"

#include <algorithm>

namespace {

class TextFontDevice : public d3dx_test::DeviceTest {
protected:
    static HFONT Arial(int height) {
        return CreateFontA(height, 0, 0, 0, 700, FALSE, FALSE, FALSE, 0, 0, 0, 4, 0, "Arial");
    }
};

TEST_F(TextFontDevice, BothProgramFontsAreCreatedAndReleased) {
    for (int height : {20, 12}) {
        HFONT gdiFont = Arial(height);
        ASSERT_NE(gdiFont, nullptr);
        ID3DXFont *font = nullptr;
        ASSERT_EQ(D3DXCreateFont(m_device, gdiFont, &font), S_OK) << height;
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->Release(), 0u);
        DeleteObject(gdiFont);
    }
    ID3DXFont *font = reinterpret_cast<ID3DXFont *>(0x1);
    EXPECT_LT(D3DXCreateFont(nullptr, Arial(12), &font), 0);
    EXPECT_EQ(font, nullptr);
}

TEST_F(TextFontDevice, DrawTextPaintsInsideItsRectangleAndRestoresStates) {
    HFONT gdiFont = Arial(20);
    ID3DXFont *font = nullptr;
    ASSERT_EQ(D3DXCreateFont(m_device, gdiFont, &font), S_OK);

    RECT measure = {0, 0, 0, 0};
    EXPECT_GT(font->DrawTextA("Hi", -1, &measure, DT_CALCRECT, 0xFFFFFFFF), 0);
    EXPECT_GT(measure.right, 0);

    m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    Begin();
    RECT rect = {4, 4, 60, 40};
    const INT height = font->DrawTextA("Hi", -1, &rect, DT_LEFT | DT_TOP, 0xFFFFFF00);
    End("d3dx-text-font");
    EXPECT_GE(height, 18);
    EXPECT_LE(height, 26);

    int lit = 0, outside = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const pipeline_test::Rgb c = At(x, y);
            const bool bright = c.r > 128;
            if (bright && x >= 4 && x < 60 && y >= 4 && y < 40) {
                ++lit;
                EXPECT_LT(c.b, 64) << "yellow text has no blue";
            } else if (bright) {
                ++outside;
            }
        }
    EXPECT_GT(lit, 20);
    EXPECT_EQ(outside, 0);

    DWORD value = 0;
    m_device->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DZB_TRUE));
    m_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(FALSE));
    m_device->GetTextureStageState(0, D3DTSS_COLOROP, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTOP_SELECTARG2));

    // Inside Begin/End the states stay set between calls and come back at End.
    ASSERT_EQ(font->Begin(), S_OK);
    font->DrawTextA("a", -1, &rect, 0, 0xFFFFFFFF);
    m_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(TRUE));
    ASSERT_EQ(font->End(), S_OK);
    m_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(FALSE));
    EXPECT_LT(font->End(), 0);
    EXPECT_EQ(font->DrawTextA(nullptr, -1, &rect, 0, 0xFFFFFFFF), 0);
    font->Release();
    DeleteObject(gdiFont);
}

// The texel transfers of the calls logged since the log started.
std::vector<d3d8::DeviceCall> Transfers() {
    std::vector<d3d8::DeviceCall> transfers;
    for (const d3d8::DeviceCall &call : seams::DeviceCalls())
        if (call.method == "ReadTexels" || call.method == "SendTexels")
            transfers.push_back(call);
    return transfers;
}

// A character met after the atlas texture exists reads back and sends only its own rectangle,
// never the atlas, and still draws; characters met before move nothing.
TEST_F(TextFontDevice, ANewCharacterMovesOnlyItsOwnRectangle) {
    HFONT gdiFont = Arial(20);
    ID3DXFont *font = nullptr;
    ASSERT_EQ(D3DXCreateFont(m_device, gdiFont, &font), S_OK);
    Begin();
    RECT rect = {0, 0, 32, 32};
    font->DrawTextA("I", -1, &rect, DT_LEFT | DT_TOP, 0xFFFFFFFF);
    seams::StartDeviceCallLog();
    font->DrawTextA("II", -1, &rect, DT_LEFT | DT_TOP, 0xFFFFFFFF);
    EXPECT_TRUE(Transfers().empty());
    seams::StartDeviceCallLog();
    rect = {32, 32, 64, 64};
    font->DrawTextA("W", -1, &rect, DT_LEFT | DT_TOP, 0xFFFFFFFF);
    End("d3dx-text-font-new-character");
    const std::vector<d3d8::DeviceCall> transfers = Transfers();
    EXPECT_GE(transfers.size(), 1u);
    EXPECT_LE(transfers.size(), 2u);
    for (const d3d8::DeviceCall &call : transfers) {
        EXPECT_LE(std::stoi(call.arguments[4]) - std::stoi(call.arguments[2]), 24) << call.Text();
        EXPECT_LE(std::stoi(call.arguments[5]) - std::stoi(call.arguments[3]), 24) << call.Text();
    }
    int lit = 0;
    for (int y = 32; y < 64; ++y)
        for (int x = 32; x < 64; ++x)
            lit += At(x, y).r > 128;
    EXPECT_GT(lit, 20) << "the new character is drawn";
    font->Release();
    DeleteObject(gdiFont);
}

} // namespace
