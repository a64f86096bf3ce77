// Text conversion in the ANSI code page: counts, truncation and the characters outside ASCII.
#include "platform/win32/win32.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextConversion, WholeStringsConvertWithTheirTerminator) {
    WCHAR wide[16];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "ship.x", -1, wide, 16), 7);
    EXPECT_EQ(std::u16string(wide), u"ship.x");
    char narrow[16];
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, 16, nullptr, nullptr), 7);
    EXPECT_STREQ(narrow, "ship.x");
    // A given length converts exactly that many units, terminator or not.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcdef", 3, wide, 16), 3);
    EXPECT_EQ(wide[2], u'c');
}

TEST(TextConversion, ZeroDestinationAsksForTheCount) {
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"abcde", -1, nullptr, 0, nullptr, nullptr), 6);
}

TEST(TextConversion, ShortDestinationIsFilledAndReportsFailure) {
    WCHAR wide[4] = {u'#', u'#', u'#', u'#'};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcdef", -1, wide, 3), 0);
    EXPECT_EQ(wide[0], u'a');
    EXPECT_EQ(wide[2], u'c');
    EXPECT_EQ(wide[3], u'#') << "nothing beyond the given length is written";
    char narrow[4] = "###";
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"wxyz", -1, narrow, 2, nullptr, nullptr), 0);
    EXPECT_EQ(std::string(narrow, 3), "wx#");
}

TEST(TextConversion, HighBytesFollowTheWesternCodePageBothWays) {
    const char text[] = "\x80\x81\x9F\xA0\xE9\xFF";
    WCHAR wide[8];
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 8), 7);
    EXPECT_EQ(wide[0], 0x20AC); // euro sign
    EXPECT_EQ(wide[1], 0x0081); // undefined byte keeps its number
    EXPECT_EQ(wide[2], 0x0178);
    EXPECT_EQ(wide[3], 0x00A0);
    EXPECT_EQ(wide[4], 0x00E9);
    EXPECT_EQ(wide[5], 0x00FF);
    char back[8];
    BOOL usedDefault = TRUE;
    ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, back, 8, nullptr, &usedDefault), 7);
    EXPECT_STREQ(back, text);
    EXPECT_FALSE(usedDefault);

    // Every byte survives the round trip.
    for (int byte = 1; byte < 256; ++byte) {
        const char one[2] = {static_cast<char>(byte), 0};
        WCHAR unit[2];
        char again[2];
        ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, one, -1, unit, 2), 2);
        ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, unit, -1, again, 2, nullptr, nullptr), 2);
        ASSERT_EQ(again[0], one[0]) << byte;
    }
}

TEST(TextConversion, UnmappableCharactersBecomeTheDefault) {
    char narrow[8];
    BOOL usedDefault = FALSE;
    EXPECT_EQ(
        WideCharToMultiByte(CP_ACP, 0, u"a\u4E2Db\u0100", -1, narrow, 8, nullptr, &usedDefault), 5);
    EXPECT_STREQ(narrow, "a?b?");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u4E2D", -1, narrow, 8, "*", nullptr), 2);
    EXPECT_STREQ(narrow, "*");
}

TEST(TextConversion, BadArgumentsFailWithoutWriting) {
    WCHAR wide[4] = {u'#'};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, -1, wide, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a", 0, wide, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a", -2, wide, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a", -1, wide, -1), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a", -1, nullptr, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(437, 0, "a", -1, wide, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 8, "a", -1, wide, 4), 0);
    EXPECT_EQ(wide[0], u'#');
    char narrow[4] = "#";
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, nullptr, -1, narrow, 4, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 1, u"a", -1, narrow, 4, nullptr, nullptr), 0);
    EXPECT_EQ(narrow[0], '#');
}

} // namespace
