// Windows under a real window manager: placed with the desktop's frame inside the work area, and
// never taken back from where the user moved them. Skipped where there is no such desktop.
#include "window_test_support.h"

#include "platform/win32/window_placement.h"
#include "tests/desktop_user.h"

namespace {

using namespace window_test;
using namespace test_support;

class WindowOnDesktop : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        sdl = win32::SdlWindowOf(window);
        if (!UnderWindowManager(sdl))
            GTEST_SKIP() << "no X desktop with a window manager";
        seams::ScriptMessages(false);
        ASSERT_TRUE(Settled(sdl));
    }

    SDL_Window *sdl = nullptr;
};

TEST_F(WindowOnDesktop, AUsersMoveAfterAPlacementThatMovedNothingSticks) {
    // A device made again puts the window where it already stands: the desktop has nothing to
    // answer, so the next move it reports is the user's.
    RECT rc{};
    GetWindowRect(window, &rc);
    SetWindowPos(window, HWND_NOTOPMOST, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_SHOWWINDOW);
    ASSERT_TRUE(Settled(sdl));
    const POINT placed = ClientOnScreen(sdl);
    UserMoves(sdl, placed.x + 180, placed.y + 120);
    ASSERT_TRUE(WaitFor([&] { return ClientOnScreen(sdl).x != placed.x; }, false));
    const POINT moved = ClientOnScreen(sdl);
    ASSERT_TRUE(Settled(sdl));
    EXPECT_EQ(ClientOnScreen(sdl).x, moved.x);
    EXPECT_EQ(ClientOnScreen(sdl).y, moved.y);
    // Only the user's move is a size-move, at whose end the program reads the window's new place.
    DrainQueue();
    EXPECT_EQ(recorder().CodesAmong({WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}),
              (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}));
}

TEST_F(WindowOnDesktop, AWindowAsLargeAsTheDesktopFitsWithTheDesktopsFrame) {
    const RECT work = win32::detail::PrimaryWorkArea();
    RECT rc{0, 0, work.right - work.left, work.bottom - work.top};
    AdjustWindowRect(&rc, kWindowedStyle, FALSE);
    HWND big =
        CreateWindowExA(0, "D3D Window", "big", kWindowedStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(Settled(win32::SdlWindowOf(big)));
    const RECT frame = FrameOnScreen(win32::SdlWindowOf(big));
    EXPECT_GE(frame.left, work.left);
    EXPECT_GE(frame.top, work.top);
    EXPECT_LE(frame.right, work.right);
    EXPECT_LE(frame.bottom, work.bottom);
    DestroyWindow(big);
}

} // namespace
