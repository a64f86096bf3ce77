// Font records, and reading icon and cursor pictures through device contexts as a cursor loader
// does: bitmaps, selection, 32-bit device-independent rows in both row orders.
#include "platform/test_seams.h"
#include "platform/win32/win32.h"
#include "platform/win32/window_internal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class Gdi : public ::testing::Test {
protected:
    void TearDown() override { seams::ClearFailures(); }
};

BITMAP Describe(HBITMAP bitmap) {
    BITMAP description{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof description, &description),
              static_cast<int>(sizeof description));
    return description;
}

BITMAPINFO Header32(LONG width, LONG height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// Reads the whole bitmap the way the cursor loader does: screen DC, memory DC, select, read,
// select back. Rows come back in DIB order.
std::vector<std::uint32_t> ReadRows(HBITMAP bitmap, LONG height) {
    const BITMAP description = Describe(bitmap);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(description.bmWidth) *
                                      static_cast<std::size_t>(std::abs(height)));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    EXPECT_NE(memory, nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    EXPECT_NE(old, nullptr);
    BITMAPINFO info = Header32(description.bmWidth, height);
    EXPECT_EQ(GetDIBits(memory, bitmap, 0, static_cast<UINT>(std::abs(height)), pixels.data(),
                        &info, DIB_RGB_COLORS),
              std::abs(height));
    EXPECT_EQ(SelectObject(memory, old), bitmap);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    return pixels;
}

TEST_F(Gdi, FontRecordKeepsWhatTheGameAsksFor) {
    HFONT font = CreateFontA(-20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, 0, 0, 0,
                             ANTIALIASED_QUALITY, 0, "Arial");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(GetObjectA(font, 0, nullptr), static_cast<int>(sizeof(LOGFONTA)));
    LOGFONTA record{};
    ASSERT_EQ(GetObjectA(font, sizeof record, &record), static_cast<int>(sizeof record));
    EXPECT_EQ(record.lfHeight, -20);
    EXPECT_EQ(record.lfWeight, 700);
    EXPECT_EQ(record.lfItalic, 0);
    EXPECT_EQ(record.lfQuality, 4);
    EXPECT_STREQ(record.lfFaceName, "Arial");
    EXPECT_EQ(GetObjectA(font, sizeof record - 1, &record), 0) << "buffer too small";
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_EQ(GetObjectA(font, sizeof record, &record), 0) << "deleted";
    EXPECT_FALSE(DeleteObject(font)) << "deleted twice";
}

TEST_F(Gdi, LongFaceNamesAreCutAndTerminated) {
    const std::string longName(80, 'q');
    HFONT font = CreateFontA(12, 0, 0, 0, FW_NORMAL, TRUE, 0, 0, 0, 0, 0, 0, 0, longName.c_str());
    LOGFONTA record{};
    ASSERT_EQ(GetObjectA(font, sizeof record, &record), static_cast<int>(sizeof record));
    EXPECT_EQ(std::strlen(record.lfFaceName), static_cast<std::size_t>(LF_FACESIZE - 1));
    EXPECT_EQ(record.lfItalic, 1);
    HFONT unnamed = CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    ASSERT_EQ(GetObjectA(unnamed, sizeof record, &record), static_cast<int>(sizeof record));
    EXPECT_STREQ(record.lfFaceName, "");
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_TRUE(DeleteObject(unnamed));
}

TEST_F(Gdi, StockObjectsSurviveDeletion) {
    HGDIOBJ brush = GetStockObject(4);
    ASSERT_NE(brush, nullptr);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(GetStockObject(4), brush);
    EXPECT_FALSE(DeleteObject(nullptr));
    int local = 0;
    EXPECT_FALSE(DeleteObject(&local)) << "not ours";
    EXPECT_EQ(GetObjectA(&local, sizeof(BITMAP), &local), 0);
}

TEST_F(Gdi, ArrowCursorIsBlackAndWhiteWithItsMasksStacked) {
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(LoadCursorA(nullptr, IDC_ARROW), &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 0u);
    EXPECT_EQ(info.yHotspot, 0u);
    EXPECT_EQ(info.hbmColor, nullptr);
    const BITMAP mask = Describe(info.hbmMask);
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(mask.bmHeight, 64);
    EXPECT_EQ(mask.bmBitsPixel, 1);
    EXPECT_EQ(mask.bmWidthBytes, 4);

    const std::vector<std::uint32_t> rows = ReadRows(info.hbmMask, 64);
    // Bottom-up: image row y of 64 is DIB row 63 - y.
    auto andMask = [&](int x, int y) { return rows[(63 - y) * 32 + x]; };
    auto xorMask = [&](int x, int y) { return rows[(63 - (32 + y)) * 32 + x]; };
    EXPECT_EQ(andMask(0, 0), 0u) << "the tip is drawn";
    EXPECT_EQ(xorMask(0, 0), 0u) << "in black";
    EXPECT_EQ(andMask(1, 3), 0u);
    EXPECT_EQ(xorMask(1, 3), 0x00FFFFFFu) << "the body is white";
    EXPECT_EQ(andMask(20, 3), 0x00FFFFFFu) << "beside the arrow the screen shows through";
    EXPECT_EQ(xorMask(20, 3), 0u);
    EXPECT_EQ(andMask(31, 31), 0x00FFFFFFu);

    EXPECT_TRUE(DeleteObject(info.hbmMask));
}

TEST_F(Gdi, ProgramIconGivesColourAndMask) {
    ICONINFO info{};
    ASSERT_TRUE(
        GetIconInfo(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kProgramIconId)), &info));
    EXPECT_TRUE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 16u);
    ASSERT_NE(info.hbmColor, nullptr);
    EXPECT_EQ(Describe(info.hbmColor).bmBitsPixel, 32);
    EXPECT_EQ(Describe(info.hbmMask).bmHeight, 32);

    const std::vector<std::uint32_t> colour = ReadRows(info.hbmColor, -32); // top-down
    const std::vector<std::uint32_t> mask = ReadRows(info.hbmMask, -32);
    const std::uint32_t *rgba = win32::detail::ProgramIconPixels();
    int opaque = 0;
    for (std::size_t i = 0; i < colour.size(); ++i) {
        const std::uint32_t p = rgba[i];
        const std::uint32_t expected =
            (p & 0xFF000000u) | ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
        ASSERT_EQ(colour[i], expected) << "pixel " << i;
        ASSERT_EQ(mask[i], (p >> 24) == 0 ? 0x00FFFFFFu : 0u) << "pixel " << i;
        opaque += (p >> 24) != 0;
    }
    EXPECT_GT(opaque, 300) << "the picture is not empty";
    EXPECT_TRUE(DeleteObject(info.hbmColor));
    EXPECT_TRUE(DeleteObject(info.hbmMask));
}

TEST_F(Gdi, RowOrderAndPartialReadsFollowTheHeader) {
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(LoadIconA(nullptr, IDI_APPLICATION), &info));
    const std::vector<std::uint32_t> topDown = ReadRows(info.hbmColor, -32);
    const std::vector<std::uint32_t> bottomUp = ReadRows(info.hbmColor, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(topDown[y * 32 + x], bottomUp[(31 - y) * 32 + x]);

    HDC memory = CreateCompatibleDC(nullptr);
    BITMAPINFO header = Header32(32, 32);
    std::vector<std::uint32_t> two(64, 0xDEADBEEF);
    // Lines 30 and 31 from the bottom are the top two image rows; asking past the end gives what
    // is there.
    EXPECT_EQ(GetDIBits(memory, info.hbmColor, 30, 5, two.data(), &header, DIB_RGB_COLORS), 2);
    EXPECT_EQ(two[0], bottomUp[30 * 32]);
    EXPECT_EQ(two[63], bottomUp[31 * 32 + 31]);
    EXPECT_EQ(GetDIBits(memory, info.hbmColor, 32, 1, two.data(), &header, DIB_RGB_COLORS), 0);

    // A question without a buffer fills in the bitmap's own format.
    BITMAPINFO question{};
    question.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    EXPECT_NE(GetDIBits(memory, info.hbmMask, 0, 32, nullptr, &question, DIB_RGB_COLORS), 0);
    EXPECT_EQ(question.bmiHeader.biBitCount, 1);
    EXPECT_EQ(question.bmiHeader.biSizeImage, 32u * 4u);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_TRUE(DeleteObject(info.hbmColor));
    EXPECT_TRUE(DeleteObject(info.hbmMask));
}

TEST_F(Gdi, BadRequestsFailWithoutTouchingTheBuffer) {
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(LoadCursorA(nullptr, IDC_ARROW), &info));
    HDC memory = CreateCompatibleDC(nullptr);
    std::vector<std::uint32_t> pixels(32 * 64, 7);
    BITMAPINFO header = Header32(32, 64);
    header.bmiHeader.biBitCount = 24;
    EXPECT_EQ(GetDIBits(memory, info.hbmMask, 0, 64, pixels.data(), &header, DIB_RGB_COLORS), 0);
    header = Header32(16, 64);
    EXPECT_EQ(GetDIBits(memory, info.hbmMask, 0, 64, pixels.data(), &header, DIB_RGB_COLORS), 0);
    header = Header32(32, 64);
    EXPECT_EQ(GetDIBits(memory, info.hbmMask, 0, 64, pixels.data(), &header, 1), 0);
    EXPECT_EQ(GetDIBits(memory, info.hbmMask, 0, 64, pixels.data(), nullptr, DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetDIBits(nullptr, info.hbmMask, 0, 64, pixels.data(), &header, DIB_RGB_COLORS), 0);
    HFONT font = CreateFontA(12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    EXPECT_EQ(GetDIBits(memory, reinterpret_cast<HBITMAP>(font), 0, 64, pixels.data(), &header,
                        DIB_RGB_COLORS),
              0);
    for (std::uint32_t p : pixels)
        ASSERT_EQ(p, 7u);

    EXPECT_FALSE(GetIconInfo(reinterpret_cast<HICON>(font), &info));
    EXPECT_FALSE(GetIconInfo(nullptr, &info));
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_TRUE(DeleteObject(font));
}

TEST_F(Gdi, SelectedBitmapsBelongToOneContextAndCannotBeDeleted) {
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(LoadCursorA(nullptr, IDC_ARROW), &info));
    HDC screen = GetDC(nullptr);
    HDC first = CreateCompatibleDC(screen);
    HDC second = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(first, info.hbmMask);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(SelectObject(second, info.hbmMask), nullptr) << "already in another context";
    EXPECT_EQ(SelectObject(screen, info.hbmMask), nullptr) << "only memory contexts take bitmaps";
    EXPECT_FALSE(DeleteObject(info.hbmMask)) << "still selected";
    EXPECT_EQ(Describe(info.hbmMask).bmWidth, 32);
    EXPECT_FALSE(DeleteDC(screen)) << "a screen context is released, not deleted";
    EXPECT_EQ(ReleaseDC(nullptr, first), 0) << "a memory context is deleted, not released";
    EXPECT_TRUE(DeleteDC(first));
    EXPECT_FALSE(DeleteDC(first));
    EXPECT_TRUE(DeleteObject(info.hbmMask)) << "its context is gone";
    EXPECT_EQ(SelectObject(second, nullptr), nullptr);
    EXPECT_TRUE(DeleteDC(second));
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
}

TEST_F(Gdi, InjectedFailuresReachTheCaller) {
    seams::InjectFailure("CreateCompatibleDC");
    EXPECT_EQ(CreateCompatibleDC(nullptr), nullptr);
    seams::InjectFailure("GetIconInfo");
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(LoadCursorA(nullptr, IDC_ARROW), &info));
    seams::InjectFailure("CreateFontA");
    EXPECT_EQ(CreateFontA(20, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 4, 0, "Arial"), nullptr);
}

} // namespace
