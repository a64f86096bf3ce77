// Window creation and destruction, styles, rectangles and placement, resources and the cursor.
#include "window_test_support.h"

#include "platform/win32/window_internal.h"
#include "platform/win32/window_placement.h"
#include "tests/desktop_user.h"

#include <set>

namespace {

using namespace window_test;

TEST_F(WindowTest, CreatedWindowReadsBackItsStyleAndClientSize) {
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), kWindowedStyle);
    RECT client{};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);

    // The window rectangle is the client rectangle grown exactly as AdjustWindowRect grows it.
    RECT adjusted{0, 0, 640, 480};
    ASSERT_TRUE(AdjustWindowRect(&adjusted, kWindowedStyle, FALSE));
    EXPECT_LT(adjusted.left, 0);
    EXPECT_LT(adjusted.top, adjusted.left); // the caption makes the top thicker
    RECT outer{};
    ASSERT_TRUE(GetWindowRect(window, &outer));
    EXPECT_EQ(outer.right - outer.left, adjusted.right - adjusted.left);
    EXPECT_EQ(outer.bottom - outer.top, adjusted.bottom - adjusted.top);

    // The SDL window is visible, decorated, resizable and ready for a GL context.
    SDL_Window *sdl = win32::SdlWindowOf(window);
    ASSERT_NE(sdl, nullptr);
    EXPECT_EQ(win32::HwndOf(sdl), window);
    const Uint32 flags = SDL_GetWindowFlags(sdl);
    EXPECT_TRUE(flags & SDL_WINDOW_OPENGL);
    EXPECT_TRUE(flags & SDL_WINDOW_SHOWN);
    EXPECT_TRUE(flags & SDL_WINDOW_RESIZABLE);
    EXPECT_FALSE(flags & SDL_WINDOW_BORDERLESS);
}

TEST_F(WindowTest, FullScreenStyleIsBorderlessAndKeepsTheClientSize) {
    EXPECT_EQ(static_cast<DWORD>(SetWindowLongA(window, GWL_STYLE, LONG(kFullScreenStyle))),
              kWindowedStyle);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), kFullScreenStyle);
    // The headless driver keeps the frame it was created with; a desktop one takes the new one.
    const Uint32 flags = SDL_GetWindowFlags(win32::SdlWindowOf(window));
    if (DriverChangesFrames()) {
        EXPECT_TRUE(flags & SDL_WINDOW_BORDERLESS);
        EXPECT_FALSE(flags & SDL_WINDOW_RESIZABLE);
    }
    RECT client{};
    RECT outer{};
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(outer.right - outer.left, 640); // no frame around a pop-up
    EXPECT_EQ(outer.bottom - outer.top, 480);

    // Back to the stored windowed style and window rectangle, as a switch to a window does.
    SetWindowLongA(window, GWL_STYLE, LONG(kWindowedStyle));
    ASSERT_TRUE(SetWindowPos(window, HWND_NOTOPMOST, 100, 50, 808, 627, SWP_SHOWWINDOW));
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 808);
    EXPECT_EQ(outer.bottom - outer.top, 627);
    RECT grown{0, 0, client.right, client.bottom};
    AdjustWindowRect(&grown, kWindowedStyle, FALSE);
    EXPECT_EQ(grown.right - grown.left, 808);
    EXPECT_EQ(grown.bottom - grown.top, 627);
    if (DriverChangesFrames()) {
        EXPECT_FALSE(SDL_GetWindowFlags(win32::SdlWindowOf(window)) & SDL_WINDOW_BORDERLESS);
        EXPECT_TRUE(SDL_GetWindowFlags(win32::SdlWindowOf(window)) & SDL_WINDOW_RESIZABLE);
    }
}

TEST(WindowPlacement, ARectangleIsCutToTheWorkAreaAndMovedJustInsideIt) {
    using win32::detail::CentreInWorkArea;
    using win32::detail::FitIntoWorkArea;
    const RECT work{0, 0, 1280, 1024};
    const auto same = [](const RECT &a, const RECT &b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    // A window read while it filled the screen, frame and all: as large as the work area.
    EXPECT_TRUE(same(FitIntoWorkArea({-4, -23, 1284, 1028}, work), work));
    EXPECT_TRUE(same(FitIntoWorkArea({100, 50, 16484, 16434}, work), work));
    // Sticking out on one side: moved back, size kept.
    EXPECT_TRUE(same(FitIntoWorkArea({-50, -10, 598, 497}, work), {0, 0, 648, 507}));
    EXPECT_TRUE(same(FitIntoWorkArea({1000, 900, 1648, 1407}, work), {632, 517, 1280, 1024}));
    EXPECT_TRUE(same(FitIntoWorkArea({10, 20, 658, 527}, work), {10, 20, 658, 527}));
    // A work area that does not start at the origin (a panel above it, a second display).
    const RECT panelled{1280, 30, 2560, 1024};
    EXPECT_TRUE(same(FitIntoWorkArea({1200, 0, 1848, 507}, panelled), {1280, 30, 1928, 537}));
    EXPECT_TRUE(same(CentreInWorkArea(648, 507, work), {316, 258, 964, 765}));
    EXPECT_TRUE(same(CentreInWorkArea(20000, 20000, panelled), panelled));
}

TEST_F(WindowTest, WindowsThePlacementMakesNeverLeaveTheWorkArea) {
    const RECT work = win32::detail::PrimaryWorkArea();
    const auto inside = [&](HWND w) {
        RECT outer{};
        GetWindowRect(w, &outer);
        return outer.left >= work.left && outer.top >= work.top && outer.right <= work.right &&
               outer.bottom <= work.bottom && outer.right > outer.left && outer.bottom > outer.top;
    };
    // A stored size as large as the desktop, or far larger, makes a window that fits it with its
    // frame; the client area and the frame still agree.
    for (int side : {static_cast<int>(work.right - work.left), 16384}) {
        HWND big = CreateWindowExA(0, "D3D Window", "big", kWindowedStyle, CW_USEDEFAULT,
                                   CW_USEDEFAULT, side, side, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(big, nullptr);
        EXPECT_TRUE(inside(big)) << side;
        RECT client{};
        RECT outer{};
        GetClientRect(big, &client);
        GetWindowRect(big, &outer);
        AdjustWindowRect(&client, kWindowedStyle, FALSE);
        EXPECT_EQ(client.right - client.left, outer.right - outer.left);
        DestroyWindow(big);
    }
    // Placed by the program at the rectangle it read while the window filled the screen, or far
    // off it, or sized past it: inside, and the size asked for where it fits.
    SetWindowPos(window, HWND_NOTOPMOST, work.left - 4, work.top - 23, work.right + 8,
                 work.bottom + 27, SWP_SHOWWINDOW);
    EXPECT_TRUE(inside(window));
    SetWindowPos(window, HWND_NOTOPMOST, 50000, -50000, 0, 0, SWP_NOSIZE);
    EXPECT_TRUE(inside(window));
    SetWindowPos(window, HWND_NOTOPMOST, work.left + 10, work.top + 10, 300, 200, 0);
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, work.left + 10);
    EXPECT_EQ(outer.right - outer.left, 300);
    EXPECT_EQ(outer.bottom - outer.top, 200);
    // A frame put around a client area as large as the work area pushes the window back in.
    SetWindowLongA(window, GWL_STYLE, LONG(kFullScreenStyle));
    SetWindowPos(window, HWND_NOTOPMOST, work.left, work.top, work.right - work.left,
                 work.bottom - work.top, 0);
    SetWindowLongA(window, GWL_STYLE, LONG(kWindowedStyle));
    EXPECT_TRUE(inside(window));

    // The windowed style given while the window filled the screen takes effect when it leaves it.
    SDL_Window *sdl = win32::SdlWindowOf(window);
    SetWindowLongA(window, GWL_STYLE, LONG(kFullScreenStyle));
    SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
    SetWindowLongA(window, GWL_STYLE, LONG(kWindowedStyle));
    SDL_SetWindowFullscreen(sdl, 0);
    win32::RestoreFrame(window);
    if (DriverChangesFrames()) {
        EXPECT_FALSE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_BORDERLESS);
    }
    EXPECT_TRUE(inside(window));
}

TEST_F(WindowTest, OnADesktopTheFrameFitsTheWorkAreaAndTheUsersMoveSticks) {
    if (!test_support::XWindowOf(win32::SdlWindowOf(window)).first)
        GTEST_SKIP() << "no X desktop with a window manager";
    seams::ScriptMessages(false);
    // As large as the desktop, the size a stored window of a full-screen run has.
    RECT work = win32::detail::PrimaryWorkArea(), rc = work;
    AdjustWindowRect(&rc, kWindowedStyle, FALSE);
    HWND big =
        CreateWindowExA(0, "D3D Window", "big", kWindowedStyle, CW_USEDEFAULT, 0,
                        rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr, nullptr, nullptr);
    SDL_Window *sdl = win32::SdlWindowOf(big);
    ASSERT_TRUE(test_support::Settled(sdl));
    int top = 0, left = 0, bottom = 0, right = 0;
    SDL_GetWindowBordersSize(sdl, &top, &left, &bottom, &right);
    GetClientRect(big, &rc);
    POINT at{};
    SDL_GetWindowPosition(sdl, &at.x, &at.y);
    EXPECT_TRUE(at.x - left >= work.left && at.y - top >= work.top &&
                at.x + rc.right + right <= work.right && at.y + rc.bottom + bottom <= work.bottom);
    // A device made again puts the window where it already stands: the desktop has nothing to
    // answer, so the next move it reports is the user's, which stays.
    GetWindowRect(big, &rc);
    SetWindowPos(big, HWND_NOTOPMOST, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_SHOWWINDOW);
    test_support::UserConfigures(sdl, CWX | CWY, at.x + 60, at.y + 40);
    EXPECT_TRUE(test_support::Settled(sdl, at)) << "moved back to " << at.x << "," << at.y;
    // Only the user's move is a size-move, at whose end the program reads the window's new place.
    DrainQueue();
    EXPECT_EQ(recorder().CodesAmong({WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}),
              (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}));
    DestroyWindow(big);
}

TEST_F(WindowTest, DestroyedWindowIsGoneForEveryCall) {
    SDL_Window *sdl = win32::SdlWindowOf(window);
    ASSERT_TRUE(PostMessageA(window, WM_USER, 1, 2));
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_EQ(recorder().CodesAmong({WM_DESTROY}), std::vector<UINT>{WM_DESTROY});
    recorder().messages.clear();

    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(win32::SdlWindowOf(window), nullptr);
    EXPECT_EQ(win32::HwndOf(sdl), nullptr);
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 0);
    EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
    EXPECT_FALSE(DestroyWindow(window));
    RECT rc{1, 2, 3, 4};
    EXPECT_FALSE(GetClientRect(window, &rc));
    EXPECT_FALSE(GetWindowRect(window, &rc));
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE), 0);
    MSG stale{};
    stale.hwnd = window;
    stale.message = WM_PAINT;
    EXPECT_EQ(DispatchMessageA(&stale), 0);
    // The message posted before the window went away is never delivered.
    EXPECT_EQ(seams::QueuedMessageCount(), 0u);
    EXPECT_TRUE(recorder().messages.empty());
    EXPECT_EQ(win32::SdlWindowOf(nullptr), nullptr);
}

TEST_F(WindowTest, MinimumTrackingSizeFromTheWindowProcedureBoundsTheClientArea) {
    recorder().hook = [](HWND, UINT message, WPARAM, LPARAM lParam, LRESULT *) {
        if (message == WM_GETMINMAXINFO)
            reinterpret_cast<MINMAXINFO *>(lParam)->ptMinTrackSize = {100, 100};
        return false;
    };
    // Asked again whenever the frame changes.
    SetWindowLongA(window, GWL_STYLE, LONG(kWindowedStyle));
    EXPECT_EQ(recorder().CodesAmong({WM_GETMINMAXINFO}).size(), 1u);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRect(&frame, kWindowedStyle, FALSE);
    int w = 0;
    int h = 0;
    SDL_GetWindowMinimumSize(win32::SdlWindowOf(window), &w, &h);
    EXPECT_EQ(w, 100 - (frame.right - frame.left));
    EXPECT_EQ(h, 100 - (frame.bottom - frame.top));

    // The program cannot place the window smaller than that either.
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 40, 40, 0);
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 100);
    EXPECT_EQ(outer.bottom - outer.top, 100);
}

TEST_F(WindowTest, CreationFailsCleanlyForAnUnknownClass) {
    EXPECT_EQ(CreateWindowExA(0, "No Such Class", "x", kWindowedStyle, 0, 0, 100, 100, nullptr,
                              nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_NE(seams::TakeDebugOutput().find("CreateWindowExA"), std::string::npos);
    WNDCLASSA nameless{};
    nameless.lpfnWndProc = RecordingProc;
    EXPECT_EQ(RegisterClassA(&nameless), 0);
    EXPECT_EQ(RegisterClassA(nullptr), 0);
}

TEST_F(WindowTest, ResourcesOfTheProgram) {
    const HMODULE module = GetModuleHandleA(nullptr);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(GetModuleHandleA("other.dll"), nullptr);
    EXPECT_NE(LoadIconA(module, MAKEINTRESOURCE(101)), nullptr);
    EXPECT_EQ(LoadIconA(module, MAKEINTRESOURCE(102)), nullptr);
    EXPECT_NE(GetStockObject(BLACK_BRUSH), nullptr);
    EXPECT_EQ(GetMenu(window), nullptr);
    EXPECT_FALSE(DestroyMenu(GetMenu(window)));

    // The class cursor survives the trip through a 32-bit class value.
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(
        reinterpret_cast<HCURSOR>(static_cast<std::uintptr_t>(GetClassLongA(window, GCL_HCURSOR))),
        arrow);
}

TEST_F(WindowTest, CursorHidesWithNullAndFollowsTheMouse) {
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    SetCursor(arrow);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    EXPECT_EQ(SetCursor(nullptr), arrow);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(SetCursor(arrow), nullptr);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);

    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = SdlId();
    e.motion.x = 33;
    e.motion.y = 44;
    seams::InjectSdlEvent(e);
    POINT p{};
    ASSERT_TRUE(GetCursorPos(&p));
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_GT(p.x, outer.left); // screen coordinates, inside the window
    ASSERT_TRUE(ScreenToClient(window, &p));
    EXPECT_EQ(p.x, 33);
    EXPECT_EQ(p.y, 44);

    // Confinement to the window's own rectangle, given in screen coordinates, is the client
    // area plus the frame around it.
    ASSERT_TRUE(ClipCursor(&outer));
    const SDL_Rect *area = SDL_GetWindowMouseRect(win32::SdlWindowOf(window));
    ASSERT_NE(area, nullptr);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRect(&frame, kWindowedStyle, FALSE);
    EXPECT_EQ(area->x, frame.left);
    EXPECT_EQ(area->y, frame.top);
    EXPECT_EQ(area->w, outer.right - outer.left);
    EXPECT_TRUE(ClipCursor(nullptr));
    EXPECT_EQ(SDL_GetWindowMouseRect(win32::SdlWindowOf(window)), nullptr);
}

TEST(WindowIcon, ProgramIconIsA16ColourPictureWithATransparentGround) {
    // The icon set on every window of the class that names resource 101.
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = LoadIconA(wc.hInstance, MAKEINTRESOURCE(101));
    wc.lpszClassName = "Icon Test";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, "Icon Test", "icon", 0x10CE0000, 0, 0, 200, 200, nullptr, nullptr,
                             wc.hInstance, nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(GetClassLongA(w, GCL_HICON),
              static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(wc.hIcon)));
    DestroyWindow(w);

    const std::uint32_t *pixels = win32::detail::ProgramIconPixels();
    std::set<std::uint32_t> colours(pixels, pixels + 32 * 32);
    EXPECT_LE(colours.size(), 16u);
    EXPECT_GE(colours.size(), 4u);
    EXPECT_EQ(pixels[0] >> 24, 0u);              // transparent corner
    EXPECT_EQ(pixels[16 * 32 + 16] >> 24, 255u); // opaque middle
}

} // namespace
