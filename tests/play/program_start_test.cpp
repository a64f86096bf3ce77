// The real program started the way a player starts it, in its media folder with a fresh settings
// store: it comes up full screen, flies the attract fly-by under the title captions and ends
// cleanly when its window is closed, with the settings written.
#include "program_run.h"

#ifdef TARVOS_PROGRAM

TEST(ProgramStart, FliesTheIntroAndEndsCleanlyWhenItsWindowCloses) {
    using play_test::Field;
    // At 0.02 s a frame: the start, the banner at 12 s and the title at 26 s; closed at 26.04 s.
    const play_test::ProgramRun run =
        play_test::RunTarvos(play_test::BinaryDir() / "test-frames" / "program-start",
                             "1302 quit\n", 0.02, {0, 600, 1300});
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.lines.size(), 1304u) << run.log.substr(0, 400);
    for (const play_test::LogLine &line : run.lines)
        ASSERT_EQ(line.state, 0) << line.text;
    // The ship closes in on the camera between 10 and 15 s, and accelerates away from 25 s on.
    EXPECT_EQ(Field(run.At(0).text, "z"), 2.0);
    EXPECT_LT(Field(run.At(1300).text, "z"), 0.1);
    EXPECT_GT(Field(run.At(1300).text, "shots"), 0);
    for (long frame : {0L, 600L, 1300L}) {
        // The banner and the title across the middle of the screen; at the start only the sky.
        const image::Rgba8Image picture = run.Picture(frame);
        int white = 0;
        for (size_t i = 236 * picture.width * 4; i < 244 * picture.width * 4; i += 4)
            white +=
                std::max({picture.pixels[i], picture.pixels[i + 1], picture.pixels[i + 2]}) > 140;
        EXPECT_EQ(white > 100, frame > 0) << "frame " << frame << ": " << white;
    }
    EXPECT_EQ(run.Setting("Windowed"), 0);
    EXPECT_EQ(run.Setting("Width"), 640);
}

#endif
