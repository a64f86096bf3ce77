// What the desktop's events become: sizes and the size-move pair, closing, activation, painting,
// keys, characters and the mouse.
#include "window_test_support.h"

#include <cstdio>
#include <cstring>
#include <thread>

namespace {

using namespace window_test;

TEST_F(WindowTest, MinimiseAndRestoreReportTheirSizes) {
    InjectWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    InjectWindowEvent(SDL_WINDOWEVENT_RESTORED);
    const std::vector<MSG> queued = TakeQueued();
    ASSERT_EQ(CodesOf(queued), (std::vector<UINT>{WM_SIZE, WM_SIZE}));
    EXPECT_EQ(queued[0].wParam, SIZE_MINIMIZED);
    EXPECT_EQ(queued[0].hwnd, window);
    EXPECT_EQ(queued[1].wParam, SIZE_RESTORED);
    EXPECT_EQ(LOWORD(queued[1].lParam), 640);
    EXPECT_EQ(HIWORD(queued[1].lParam), 480);
}

TEST_F(WindowTest, ResizeByTheUserIsWrappedInASizeMovePair) {
    InjectWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600);
    InjectWindowEvent(SDL_WINDOWEVENT_RESIZED, 800, 600);
    const std::vector<MSG> queued = TakeQueued();
    ASSERT_EQ(CodesOf(queued), (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_SIZE, WM_EXITSIZEMOVE}));
    EXPECT_EQ(queued[1].wParam, SIZE_RESTORED);
    EXPECT_EQ(LOWORD(queued[1].lParam), 800);
    EXPECT_EQ(HIWORD(queued[1].lParam), 600);
}

TEST_F(WindowTest, DragStepsWaitingInTheQueueMergeIntoOnePairWithTheLatestSize) {
    for (int step = 1; step <= 3; ++step) {
        InjectWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 700 + step, 500 + step);
        InjectWindowEvent(SDL_WINDOWEVENT_RESIZED, 700 + step, 500 + step);
    }
    std::vector<MSG> queued = TakeQueued();
    ASSERT_EQ(CodesOf(queued), (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_SIZE, WM_EXITSIZEMOVE}));
    EXPECT_EQ(LOWORD(queued[1].lParam), 703);
    EXPECT_EQ(HIWORD(queued[1].lParam), 503);

    // Something else in between keeps the drags apart: each gets its own pair.
    InjectWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 710, 510);
    InjectWindowEvent(SDL_WINDOWEVENT_RESIZED, 710, 510);
    InjectWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    InjectWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 720, 520);
    InjectWindowEvent(SDL_WINDOWEVENT_RESIZED, 720, 520);
    queued = TakeQueued();
    EXPECT_EQ(CodesOf(queued),
              (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_SIZE, WM_EXITSIZEMOVE, WM_ACTIVATEAPP,
                                 WM_ENTERSIZEMOVE, WM_SIZE, WM_EXITSIZEMOVE}));
}

TEST_F(WindowTest, ProgramsOwnResizeAndFullScreenOnlyReportTheSize) {
    // The program placing its window is not the user dragging it.
    RECT rc{0, 0, 720, 540};
    AdjustWindowRect(&rc, kWindowedStyle, FALSE);
    SetWindowPos(window, HWND_NOTOPMOST, 10, 10, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_SHOWWINDOW);
    InjectWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 720, 540);
    InjectWindowEvent(SDL_WINDOWEVENT_RESIZED, 720, 540);
    EXPECT_EQ(CodesOf(TakeQueued()), std::vector<UINT>{WM_SIZE});

    // Nor is the switch to a full-screen pop-up.
    SetWindowLongA(window, GWL_STYLE, LONG(kFullScreenStyle));
    InjectWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1024, 768);
    InjectWindowEvent(SDL_WINDOWEVENT_RESIZED, 1024, 768);
    EXPECT_EQ(CodesOf(TakeQueued()), std::vector<UINT>{WM_SIZE});

    // A later drag in a window is the user's again.
    SetWindowLongA(window, GWL_STYLE, LONG(kWindowedStyle));
    InjectWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 730, 550);
    InjectWindowEvent(SDL_WINDOWEVENT_RESIZED, 730, 550);
    EXPECT_EQ(CodesOf(TakeQueued()),
              (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_SIZE, WM_EXITSIZEMOVE}));
}

TEST_F(WindowTest, CloseButtonAndQuitRequestCloseTheMainWindowOnce) {
    InjectWindowEvent(SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    seams::InjectSdlEvent(quit);
    const std::vector<MSG> queued = TakeQueued();
    ASSERT_EQ(CodesOf(queued), std::vector<UINT>{WM_CLOSE});
    EXPECT_EQ(queued[0].hwnd, window);

    seams::InjectSdlEvent(quit);
    DrainQueue(); // the default procedure destroys the window
    EXPECT_FALSE(IsWindow(window));
    seams::InjectSdlEvent(quit); // no window left: nothing to close
    EXPECT_EQ(seams::QueuedMessageCount(), 0u);
}

TEST_F(WindowTest, FocusActivatesAndExposurePaintsOnceAfterEverythingElse) {
    InjectWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    InjectWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    InjectWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    InjectWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    PostQuitMessage(3);
    const std::vector<MSG> queued = TakeQueued();
    ASSERT_EQ(CodesOf(queued),
              (std::vector<UINT>{WM_ACTIVATEAPP, WM_ACTIVATEAPP, WM_QUIT, WM_PAINT}));
    EXPECT_EQ(queued[0].wParam, static_cast<WPARAM>(TRUE));
    EXPECT_EQ(queued[1].wParam, static_cast<WPARAM>(FALSE));
    EXPECT_EQ(queued[2].wParam, 3u);
    EXPECT_EQ(queued[3].hwnd, window);
}

SDL_Event keyEvent(Uint32 type, Uint32 windowId, SDL_Scancode scancode, Uint16 mod,
                   Uint8 repeat = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.windowID = windowId;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    e.key.keysym.mod = mod;
    return e;
}

TEST_F(WindowTest, KeysBecomeKeyMessagesWithWindowsKeyData) {
    seams::InjectSdlEvent(keyEvent(SDL_KEYDOWN, SdlId(), SDL_SCANCODE_A, KMOD_NONE));
    seams::InjectSdlEvent(keyEvent(SDL_KEYDOWN, SdlId(), SDL_SCANCODE_A, KMOD_NONE, 1));
    seams::InjectSdlEvent(keyEvent(SDL_KEYUP, SdlId(), SDL_SCANCODE_A, KMOD_NONE));
    seams::InjectSdlEvent(keyEvent(SDL_KEYDOWN, SdlId(), SDL_SCANCODE_UP, KMOD_NONE));
    std::vector<MSG> queued = TakeQueued();
    ASSERT_EQ(CodesOf(queued), (std::vector<UINT>{WM_KEYDOWN, WM_KEYDOWN, WM_KEYUP, WM_KEYDOWN}));
    EXPECT_EQ(queued[0].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(static_cast<DWORD>(queued[0].lParam), 0x001E0001u); // one press, scan code 0x1E
    EXPECT_EQ(static_cast<DWORD>(queued[1].lParam), 0x401E0001u); // auto-repeat: was down
    EXPECT_EQ(static_cast<DWORD>(queued[2].lParam), 0xC01E0001u); // release
    EXPECT_EQ(queued[3].wParam, static_cast<WPARAM>(VK_UP));
    EXPECT_TRUE(queued[3].lParam & KF_EXTENDED_BIT);

    // With Alt held the keys are system keys, and Alt+Enter is the accelerator.
    seams::InjectSdlEvent(keyEvent(SDL_KEYDOWN, SdlId(), SDL_SCANCODE_LALT, KMOD_LALT));
    seams::InjectSdlEvent(keyEvent(SDL_KEYDOWN, SdlId(), SDL_SCANCODE_RETURN, KMOD_LALT));
    queued = TakeQueued();
    ASSERT_EQ(CodesOf(queued), (std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSKEYDOWN}));
    EXPECT_EQ(queued[0].wParam, static_cast<WPARAM>(VK_MENU));
    EXPECT_EQ(queued[1].wParam, static_cast<WPARAM>(VK_RETURN));
    EXPECT_TRUE(queued[1].lParam & KF_ALTDOWN_BIT);
    const HACCEL table = LoadAcceleratorsA(nullptr, MAKEINTRESOURCE(113));
    EXPECT_NE(TranslateAcceleratorA(window, table, &queued[1]), 0);
    ASSERT_FALSE(recorder().messages.empty());
    EXPECT_EQ(recorder().messages.back().message, WM_COMMAND);
    EXPECT_EQ(LOWORD(recorder().messages.back().wParam), 40003);
}

TEST_F(WindowTest, TextBecomesCharacters) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = SdlId();
    std::snprintf(e.text.text, sizeof e.text.text, "a\xC3\xA9\xE2\x82\xAC"); // a, e-acute, euro
    seams::InjectSdlEvent(e);
    seams::InjectSdlEvent(keyEvent(SDL_KEYDOWN, SdlId(), SDL_SCANCODE_RETURN, KMOD_NONE));
    const std::vector<MSG> queued = TakeQueued();
    ASSERT_EQ(CodesOf(queued), (std::vector<UINT>{WM_CHAR, WM_CHAR, WM_CHAR, WM_KEYDOWN, WM_CHAR}));
    EXPECT_EQ(queued[0].wParam, static_cast<WPARAM>('a'));
    EXPECT_EQ(queued[1].wParam, 0xE9u);
    EXPECT_EQ(queued[2].wParam, static_cast<WPARAM>('?')); // not a single-byte character
    EXPECT_EQ(queued[4].wParam, static_cast<WPARAM>('\r'));

    // A full buffer without its terminator, ending in half a character, stops at the buffer.
    std::memset(e.text.text, 'x', sizeof e.text.text);
    e.text.text[sizeof e.text.text - 1] = '\xC3';
    const std::size_t after = offsetof(SDL_TextInputEvent, text) + sizeof e.text.text;
    std::memset(reinterpret_cast<unsigned char *>(&e) + after, 'y', sizeof e - after);
    seams::InjectSdlEvent(e);
    EXPECT_EQ(TakeQueued().size(), sizeof e.text.text);
}

TEST_F(WindowTest, MouseMovesAskForTheCursorAndReportButtons) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = SdlId();
    e.motion.x = 10;
    e.motion.y = 20;
    seams::InjectSdlEvent(e);
    SDL_Event b{};
    b.type = SDL_MOUSEBUTTONDOWN;
    b.button.windowID = SdlId();
    b.button.button = SDL_BUTTON_LEFT;
    b.button.x = 11;
    b.button.y = 21;
    seams::InjectSdlEvent(b);
    b.button.button = SDL_BUTTON_RIGHT;
    seams::InjectSdlEvent(b);
    b.type = SDL_MOUSEBUTTONUP;
    b.button.button = SDL_BUTTON_LEFT;
    seams::InjectSdlEvent(b);
    b.button.button = SDL_BUTTON_RIGHT;
    seams::InjectSdlEvent(b);

    const std::vector<MSG> queued = TakeQueued();
    ASSERT_EQ(CodesOf(queued), (std::vector<UINT>{WM_SETCURSOR, WM_MOUSEMOVE, WM_LBUTTONDOWN,
                                                  WM_RBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP}));
    EXPECT_EQ(queued[0].wParam, reinterpret_cast<WPARAM>(window));
    EXPECT_EQ(LOWORD(queued[0].lParam), HTCLIENT);
    EXPECT_EQ(HIWORD(queued[0].lParam), WM_MOUSEMOVE);
    EXPECT_EQ(GET_X_LPARAM(queued[1].lParam), 10);
    EXPECT_EQ(GET_Y_LPARAM(queued[1].lParam), 20);
    EXPECT_EQ(queued[2].wParam & (MK_LBUTTON | MK_RBUTTON), MK_LBUTTON);
    EXPECT_EQ(queued[3].wParam & (MK_LBUTTON | MK_RBUTTON), MK_LBUTTON | MK_RBUTTON);
    EXPECT_EQ(queued[4].wParam & (MK_LBUTTON | MK_RBUTTON), MK_RBUTTON);
    EXPECT_EQ(queued[5].wParam & (MK_LBUTTON | MK_RBUTTON), 0u);
    EXPECT_EQ(GET_X_LPARAM(queued[5].lParam), 11);

    // Passed to the default procedure, the cursor request brings back the class cursor.
    SetCursor(nullptr);
    EXPECT_EQ(DispatchMessageA(&queued[0]), TRUE);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST_F(WindowTest, BlockingGetMessageWakesForAPostFromAnotherThread) {
    seams::ScriptMessages(false);
    std::thread poster([w = window] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        PostMessageA(w, WM_USER + 9, 9, 0);
    });
    MSG msg{};
    BOOL got = FALSE;
    do {
        got = GetMessageA(&msg, nullptr, 0, 0);
    } while (got && msg.message != WM_USER + 9); // the desktop may speak first
    poster.join();
    EXPECT_EQ(got, TRUE);
    EXPECT_EQ(msg.wParam, 9u);
}

} // namespace
