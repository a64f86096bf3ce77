// The core services every other area leans on: the random generator, failure injection, traces
// and captured message boxes, the virtual clock.
#include "platform/test_seams.h"
#include "platform/win32/win32.h"

#include <gtest/gtest.h>

namespace {

class Core : public ::testing::Test {
protected:
    void TearDown() override {
        seams::ResetAll();
        seams::CaptureMessageBoxes(false);
        seams::CaptureDebugOutput(false);
        seams::UseRealClock();
    }
};

TEST_F(Core, RandomFollowsTheProgramsGeneratorFromStateOne) {
    seams::SetRandomState(1);
    // state 1 -> 1*214013+2531011 = 2745024, >>16 = 41; the next draws follow from that state.
    EXPECT_EQ(crt::rand(), 41);
    EXPECT_EQ(crt::rand(), 18467);
    EXPECT_EQ(crt::rand(), 6334);
    for (int i = 0; i < 1000; ++i) {
        const int r = crt::rand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, crt::RAND_MAX_VALUE);
    }
}

TEST_F(Core, FailureInjectionCountsDownAndClears) {
    seams::ClearFailures();
    seams::InjectFailure("CreateFileA", 2, E_OUTOFMEMORY);
    HRESULT code = S_OK;
    EXPECT_TRUE(seams::ShouldFail("CreateFileA", &code));
    EXPECT_EQ(code, E_OUTOFMEMORY);
    EXPECT_TRUE(seams::ShouldFail("CreateFileA"));
    EXPECT_FALSE(seams::ShouldFail("CreateFileA"));
    EXPECT_FALSE(seams::ShouldFail("CreateFontA"));
    EXPECT_EQ(seams::TimesAsked("CreateFileA"), 3);
    seams::InjectFailure("CreateFileA", seams::kFailAlways);
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(seams::ShouldFail("CreateFileA"));
    seams::ClearFailures();
    EXPECT_FALSE(seams::ShouldFail("CreateFileA"));
}

TEST_F(Core, TraceWritesOneLineAndPopsUpOnlyWhenAsked) {
    seams::CaptureDebugOutput(true);
    seams::CaptureMessageBoxes(true);
    EXPECT_EQ(DXTraceA("dsutil", 42, E_FAIL, "CreateSoundBuffer", FALSE), E_FAIL);
    EXPECT_EQ(seams::TakeDebugOutput(), "dsutil(42): CreateSoundBuffer hr=0x80004005\n");
    EXPECT_TRUE(seams::TakeMessageBoxes().empty());

    DXTraceA("dsutil", 7, E_INVALIDARG, "mmioOpen", TRUE);
    const auto boxes = seams::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Unexpected error encountered");
    EXPECT_NE(boxes[0].text.find("dsutil"), std::string::npos);
    EXPECT_NE(boxes[0].text.find("0x80070057"), std::string::npos);
    EXPECT_NE(boxes[0].text.find("mmioOpen"), std::string::npos);
}

TEST_F(Core, VirtualClockMovesOnlyWhenAdvanced) {
    seams::UseVirtualClock(1000, 5000, 100);
    LARGE_INTEGER f, a, b;
    ASSERT_TRUE(QueryPerformanceFrequency(&f));
    EXPECT_EQ(f.QuadPart, 1000);
    QueryPerformanceCounter(&a);
    QueryPerformanceCounter(&b);
    EXPECT_EQ(a.QuadPart, 5000);
    EXPECT_EQ(b.QuadPart, 5000);
    seams::AdvanceVirtualClock(2.5);
    QueryPerformanceCounter(&b);
    EXPECT_EQ(b.QuadPart, 7500);
    EXPECT_EQ(timeGetTime(), 2600u);
    Sleep(10);
    EXPECT_EQ(timeGetTime(), 2610u);

    seams::InjectFailure("QueryPerformanceFrequency", seams::kFailAlways);
    EXPECT_FALSE(QueryPerformanceFrequency(&f));
    EXPECT_EQ(f.QuadPart, 0);
}

TEST_F(Core, RealCounterIsMonotonic) {
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    QueryPerformanceCounter(&b);
    EXPECT_LE(a.QuadPart, b.QuadPart);
}

TEST_F(Core, ResultCodesKeepTheirBitPatterns) {
    EXPECT_EQ(static_cast<std::uint32_t>(E_FAIL), 0x80004005u);
    EXPECT_EQ(static_cast<std::uint32_t>(E_INVALIDARG), 0x80070057u);
    EXPECT_TRUE(FAILED(E_FAIL));
    EXPECT_TRUE(SUCCEEDED(S_FALSE));
}

} // namespace
