// The process-wide timer on both of its time sources, driven by the virtual clock.
#include "framework/app_timer.h"
#include "platform/test_seams.h"

#include <gtest/gtest.h>

namespace {

constexpr LONGLONG kFrequency = 1000; // one tick per millisecond keeps the arithmetic exact

class Timer : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppTimerForTests();
        seams::UseVirtualClock(kFrequency, 5000, 5000);
    }
    void TearDown() override {
        ResetAppTimerForTests();
        seams::ResetAll();
        seams::UseRealClock();
    }
    static FLOAT run(TimerCommand command) { return AppTimer(command); }
};

class FallBackTimer : public Timer {
protected:
    void SetUp() override {
        Timer::SetUp();
        seams::InjectFailure("QueryPerformanceFrequency", seams::kFailAlways);
    }
};

TEST_F(Timer, BeforeTheFirstStartTimeRunsFromZero) {
    EXPECT_FLOAT_EQ(run(TimerCommand::AppTime), 5.0f) << "live time minus a base of 0";
    EXPECT_FLOAT_EQ(run(TimerCommand::ElapsedTime), 5.0f);
    seams::AdvanceVirtualClock(0.25);
    EXPECT_FLOAT_EQ(run(TimerCommand::ElapsedTime), 0.25f);
}

TEST_F(Timer, FirstStartBeginsApplicationTimeAtZero) {
    EXPECT_EQ(run(TimerCommand::Start), 0.0f);
    EXPECT_EQ(run(TimerCommand::AppTime), 0.0f);
    seams::AdvanceVirtualClock(2.0);
    EXPECT_FLOAT_EQ(run(TimerCommand::AppTime), 2.0f);
    EXPECT_FLOAT_EQ(run(TimerCommand::ElapsedTime), 2.0f);
    EXPECT_EQ(run(TimerCommand::ElapsedTime), 0.0f);
    seams::AdvanceVirtualClock(0.016);
    EXPECT_FLOAT_EQ(run(TimerCommand::ElapsedTime), 0.016f);
}

TEST_F(Timer, StopFreezesTimeAndStartLeavesTheStoppedSpanOut) {
    run(TimerCommand::Start);
    seams::AdvanceVirtualClock(3.0);
    run(TimerCommand::Stop);
    seams::AdvanceVirtualClock(1.0);
    run(TimerCommand::Stop); // a second Stop keeps the first stop time
    seams::AdvanceVirtualClock(4.0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(run(TimerCommand::ElapsedTime), 0.0f);
        EXPECT_FLOAT_EQ(run(TimerCommand::AppTime), 3.0f);
    }
    EXPECT_FLOAT_EQ(run(TimerCommand::AbsoluteTime), 13.0f) << "absolute time stays live";

    run(TimerCommand::Start);
    EXPECT_FLOAT_EQ(run(TimerCommand::AppTime), 3.0f);
    seams::AdvanceVirtualClock(0.5);
    EXPECT_FLOAT_EQ(run(TimerCommand::AppTime), 3.5f);
    EXPECT_FLOAT_EQ(run(TimerCommand::ElapsedTime), 0.5f) << "measured from the Start";
}

TEST_F(Timer, StartOnARunningTimerOnlyRestartsTheElapsedMeasure) {
    run(TimerCommand::Start);
    seams::AdvanceVirtualClock(2.0);
    run(TimerCommand::Start);
    EXPECT_FLOAT_EQ(run(TimerCommand::AppTime), 2.0f);
    EXPECT_EQ(run(TimerCommand::ElapsedTime), 0.0f);
}

TEST_F(Timer, ResetOnAStoppedTimerTakesTheStopTime) {
    run(TimerCommand::Start);
    seams::AdvanceVirtualClock(2.0);
    run(TimerCommand::Stop);
    seams::AdvanceVirtualClock(3.0);
    EXPECT_EQ(run(TimerCommand::Reset), 0.0f);
    // Base and last-elapsed are the stop time, and the timer runs again from the live time.
    EXPECT_FLOAT_EQ(run(TimerCommand::AppTime), 3.0f);
    EXPECT_FLOAT_EQ(run(TimerCommand::ElapsedTime), 3.0f);
    seams::AdvanceVirtualClock(1.0);
    EXPECT_FLOAT_EQ(run(TimerCommand::AppTime), 4.0f);
}

TEST_F(Timer, AdvanceStepsAStoppedTimerByATenth) {
    run(TimerCommand::Start);
    seams::AdvanceVirtualClock(1.0);
    run(TimerCommand::Stop);
    run(TimerCommand::Advance);
    run(TimerCommand::Advance);
    EXPECT_FLOAT_EQ(run(TimerCommand::AppTime), 1.2f);
    EXPECT_FLOAT_EQ(run(TimerCommand::ElapsedTime), 0.2f);
}

TEST_F(Timer, AdvanceOnARunningTimerFreezesNowAtATenthOfASecond) {
    run(TimerCommand::Start); // base = 5000 ticks
    run(TimerCommand::Advance);
    seams::AdvanceVirtualClock(7.0);
    EXPECT_FLOAT_EQ(run(TimerCommand::AppTime), (100.0f - 5000.0f) / 1000.0f);
    EXPECT_FLOAT_EQ(run(TimerCommand::AbsoluteTime), 12.0f);
    run(TimerCommand::Start); // clears the stop time; stopped was clear, so the base stays
    EXPECT_FLOAT_EQ(run(TimerCommand::AppTime), 7.0f);
}

TEST_F(Timer, UnknownCommandsReturnMinusOneAndChangeNothing) {
    run(TimerCommand::Start);
    seams::AdvanceVirtualClock(1.0);
    EXPECT_EQ(run(static_cast<TimerCommand>(7)), -1.0f);
    EXPECT_EQ(run(static_cast<TimerCommand>(-1)), -1.0f);
    EXPECT_FLOAT_EQ(run(TimerCommand::ElapsedTime), 1.0f);
}

TEST_F(Timer, ResultsAreSinglePrecision) {
    ResetAppTimerForTests();
    seams::UseVirtualClock(1'000'000, 1'000'000'123'457);
    const FLOAT absolute = run(TimerCommand::AbsoluteTime);
    EXPECT_EQ(absolute, static_cast<FLOAT>(1'000'000'123'457.0 / 1'000'000.0));
    EXPECT_NE(static_cast<double>(absolute), 1'000'000.123457);
}

TEST_F(Timer, TheTimeSourceIsChosenOnceAtTheFirstCall) {
    seams::InjectFailure(
        "RegistrySave"); // any armed point makes the layer count the frequency queries
    run(TimerCommand::AbsoluteTime);
    const int asked = seams::TimesAsked("QueryPerformanceFrequency");
    EXPECT_EQ(asked, 1);
    seams::InjectFailure("QueryPerformanceFrequency", seams::kFailAlways);
    seams::SetVirtualTimeGetTime(999'000);
    EXPECT_FLOAT_EQ(run(TimerCommand::AbsoluteTime), 5.0f) << "still the counter";
    EXPECT_EQ(seams::TimesAsked("QueryPerformanceFrequency"), asked);
}

TEST_F(FallBackTimer, MillisecondClockDrivesEveryCommand) {
    EXPECT_FLOAT_EQ(run(TimerCommand::AbsoluteTime), 5.0f);
    run(TimerCommand::Start);
    seams::AdvanceVirtualClock(1.5);
    EXPECT_FLOAT_EQ(run(TimerCommand::AppTime), 1.5f);
    EXPECT_FLOAT_EQ(run(TimerCommand::ElapsedTime), 1.5f);
    run(TimerCommand::Stop);
    seams::AdvanceVirtualClock(2.0);
    EXPECT_EQ(run(TimerCommand::ElapsedTime), 0.0f);
    run(TimerCommand::Advance);
    // The tenth is the single-precision 0.1 widened, so the sum is not the double 6.6.
    const double expected = (6.5 + static_cast<double>(0.1f)) - 5.0;
    EXPECT_EQ(run(TimerCommand::AppTime), static_cast<FLOAT>(expected));
    run(TimerCommand::Start);
    EXPECT_FLOAT_EQ(run(TimerCommand::AppTime), 1.5f + 0.1f);
    seams::ClearFailures();
    seams::AdvanceVirtualClockTicks(1'000'000);
    EXPECT_FLOAT_EQ(run(TimerCommand::AbsoluteTime), 8.5f) << "the counter is never tried again";
}

TEST_F(FallBackTimer, MillisecondsAreWidenedWithoutSign) {
    seams::SetVirtualTimeGetTime(0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(run(TimerCommand::AbsoluteTime), 4294967.295f);
    EXPECT_GT(run(TimerCommand::AppTime), 0.0f);
}

} // namespace
