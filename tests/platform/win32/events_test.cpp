// Events: auto and manual reset, timeouts, waking a waiting thread, closing.
#include "platform/win32/win32.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(Events, AutoResetEventReleasesOneWaitThenResets) {
    HANDLE event = CreateEventA(nullptr, FALSE, TRUE, nullptr);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(SetEvent(event));
    EXPECT_TRUE(ResetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 1), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(event));
}

TEST(Events, ManualResetEventStaysSignalledUntilReset) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, "ignored name");
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    SetEvent(event);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    ResetEvent(event);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    CloseHandle(event);
}

TEST(Events, SetFromAnotherThreadWakesAnInfiniteWait) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::thread setter([event] { SetEvent(event); });
    EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
    setter.join();
    CloseHandle(event);
}

TEST(Events, HandlesThatAreNoEventsFail) {
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForSingleObject(INVALID_HANDLE_VALUE, 0), WAIT_FAILED);
    EXPECT_FALSE(SetEvent(nullptr));
    EXPECT_FALSE(ResetEvent(nullptr));
}

} // namespace
