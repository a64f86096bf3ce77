// The texts the menus, the hall of fame, the initials screen and the HUD put on screen.
#include "game/asteroid_game.h"
#include "game/screen_texts.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::string Taken(char *text) {
    std::unique_ptr<char[]> owned(text);
    return owned.get();
}

TEST(ScreenTexts, LowerCaseCopyMarksOnlyLettersAndKeepsSeventyNine) {
    EXPECT_EQ(Taken(ToLowerCopy("NEW GAME")), "new game");
    EXPECT_EQ(Taken(ToLowerCopy("MODE{640X480X16}")), "mode{640x480x16}");
    EXPECT_EQ(Taken(ToLowerCopy(")INVERT PITCH (@[`")), ")invert pitch (@[`");
    EXPECT_EQ(Taken(ToLowerCopy(std::string(100, 'Q').c_str())), std::string(79, 'q'));
    EXPECT_EQ(Taken(ToLowerCopy("")), "");
}

TEST(ScreenTexts, SliderShowsTheKnobAtTheValueBetweenItsCaps) {
    CMyD3DApplication app;
    EXPECT_EQ(Taken(app.MakeSliderText(5, 0, 10)), "<=====?=====>");
    EXPECT_EQ(Taken(app.MakeSliderText(0, 0, 10)), "<?==========>");
    EXPECT_EQ(Taken(app.MakeSliderText(10, 0, 10)), "<==========?>");
    EXPECT_EQ(Taken(app.MakeSliderText(11, 0, 10)), "<===========>");
    EXPECT_EQ(Taken(app.MakeSliderText(0, 0, 76)).size(), 79u);
    // A range too wide for the text is cut, never written past its end.
    const std::string wide = Taken(app.MakeSliderText(200, 0, 1000));
    EXPECT_EQ(wide.size(), 79u);
    EXPECT_EQ(wide.back(), '>');
}

TEST(ScreenTexts, HudScoreAndTimeLeft) {
    char text[16];
    FormatScoreText(text, 1200, 34);
    EXPECT_STREQ(text, "00001234");
    FormatScoreText(text, 99999999, 1);
    EXPECT_STREQ(text, "100000000");
    FormatTimeLeftText(text, 75.9f);
    EXPECT_STREQ(text, "1:15");
    FormatTimeLeftText(text, 150.0f);
    EXPECT_STREQ(text, "2:30");
    FormatTimeLeftText(text, 9.99f);
    EXPECT_STREQ(text, "0:09");
}

TEST(ScreenTexts, HallOfFameScoresAreRightAligned) {
    char text[16];
    FormatHallOfFameScore(text, 100000);
    EXPECT_STREQ(text, "  100000");
    FormatHallOfFameScore(text, 7);
    EXPECT_STREQ(text, "       7");
}

TEST(ScreenTexts, InitialsLineBlinksItsBarEveryHalfSecond) {
    char line[8];
    EXPECT_FALSE(MakeInitialsLine(line, "", 0, 0.0f));
    EXPECT_STREQ(line, "");
    EXPECT_TRUE(MakeInitialsLine(line, "AB", 2, 0.2f));
    EXPECT_STREQ(line, "AB|");
    EXPECT_TRUE(MakeInitialsLine(line, "AB", 2, 0.7f));
    EXPECT_STREQ(line, "AB ");
    EXPECT_TRUE(MakeInitialsLine(line, "ABC", 3, 3.1f));
    EXPECT_STREQ(line, "ABC|");
}

} // namespace
