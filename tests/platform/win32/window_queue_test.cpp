// The message queue: posting, sending and dispatching in order, the quit request, scripted
// queues, and the accelerator table.
#include "window_test_support.h"

#include <thread>

namespace {

using namespace window_test;

TEST_F(WindowTest, PostedMessagesArriveInOrderWhileSentOnesRunAtOnce) {
    ASSERT_TRUE(PostMessageA(window, WM_USER + 1, 11, 0));
    ASSERT_TRUE(PostMessageA(nullptr, WM_USER + 2, 22, 0)); // a thread message
    ASSERT_TRUE(PostMessageA(window, WM_USER + 3, 33, 0));
    EXPECT_EQ(SendMessageA(window, WM_USER + 4, 44, 0), 0);
    EXPECT_EQ(recorder().Codes(), std::vector<UINT>{WM_USER + 4});

    // Looking without removing leaves the message first in line.
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 1);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 1);

    // A window filter skips thread messages; a range filter skips what lies outside it.
    ASSERT_TRUE(PeekMessageA(&msg, window, WM_USER + 3, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 33u);
    EXPECT_FALSE(PeekMessageA(&msg, window, WM_USER + 2, WM_USER + 2, PM_NOREMOVE));

    const std::vector<MSG> rest = TakeQueued();
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest[0].message, WM_USER + 1);
    EXPECT_EQ(rest[0].hwnd, window);
    EXPECT_EQ(rest[1].message, WM_USER + 2);
    EXPECT_EQ(rest[1].hwnd, nullptr);
    EXPECT_EQ(DispatchMessageA(&rest[1]), 0); // thread messages have no procedure
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, DispatchAndNestedSendsReachTheProcedureInOrder) {
    recorder().hook = [](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT *result) {
        if (message == WM_USER) {
            SendMessageA(hwnd, WM_USER + 1, 0, 0); // runs inside this call
            *result = 99;
            return true;
        }
        if (message == WM_USER + 1) {
            *result = 5;
            return true;
        }
        return false;
    };
    PostMessageA(window, WM_USER, 0, 0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(DispatchMessageA(&msg), 99);
    EXPECT_EQ(SendMessageA(window, WM_USER + 1, 0, 0), 5);
    EXPECT_EQ(recorder().Codes(), (std::vector<UINT>{WM_USER, WM_USER + 1, WM_USER + 1}));
}

// The close handling of the application: destroy the window, then ask the loop to end.
bool closeAndQuit(HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT *result) {
    if (message != WM_CLOSE)
        return false;
    DestroyMenu(GetMenu(hwnd));
    DestroyWindow(hwnd);
    PostQuitMessage(7);
    *result = 0;
    return true;
}

TEST_F(WindowTest, QuitIsFetchedAfterTheWindowIsDestroyedAndAfterPendingMessages) {
    recorder().hook = closeAndQuit;
    PostMessageA(nullptr, WM_USER + 5, 0, 0);
    PostMessageA(window, WM_USER + 6, 0, 0);
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(window));
    // A second close, as a failing frame sends after an error box closed the window, is harmless.
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(recorder().CodesAmong({WM_CLOSE, WM_DESTROY}),
              (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));

    // The thread message still comes first; the destroyed window's message is gone.
    MSG msg{};
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, WM_USER + 5);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(seams::QueuedMessageCount(), 0u);
}

TEST_F(WindowTest, PeekThenLoopEndsWithTheQuitCode) {
    // The application's loop: look once, then fetch until WM_QUIT and return its code.
    recorder().hook = closeAndQuit;
    PostMessageA(window, WM_USER, 0, 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    MSG msg{};
    msg.message = WM_NULL;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    int frames = 0;
    while (msg.message != WM_QUIT) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            ++frames;
            ASSERT_LT(frames, 5);
        }
    }
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(recorder().CodesAmong({WM_USER, WM_CLOSE, WM_DESTROY}),
              (std::vector<UINT>{WM_USER, WM_CLOSE, WM_DESTROY}));
}

TEST_F(WindowTest, ScriptedGetMessageAsksTheTestThenEndsInsteadOfBlocking) {
    int asked = 0;
    seams::OnMessageQueueEmpty([&] {
        if (++asked == 1)
            seams::InjectMessage(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 480));
    });
    MSG msg{};
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, WM_SIZE);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(static_cast<int>(msg.wParam), seams::kScriptEndedExitCode);
    EXPECT_NE(seams::TakeDebugOutput().find("GetMessageA"), std::string::npos);
    EXPECT_EQ(asked, 2);
}

TEST_F(WindowTest, ScriptedQueueIgnoresWhatSdlReportsButTheRealQueueDoesNot) {
    // A size change made behind the layer's back is an SDL event like any from the desktop.
    SDL_SetWindowSize(win32::SdlWindowOf(window), 700, 500);
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    seams::ScriptMessages(false);
    SDL_SetWindowSize(win32::SdlWindowOf(window), 720, 540);
    bool sawSize = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message == WM_SIZE && LOWORD(msg.lParam) == 720 && HIWORD(msg.lParam) == 540)
            sawSize = true;
    EXPECT_TRUE(sawSize);
}

TEST_F(WindowTest, ResettingTheSeamsEmptiesTheQueueAndStopsScripting) {
    // A quit request left over from one test must not end the next test's loop at once.
    PostMessageA(window, WM_USER, 0, 0);
    PostQuitMessage(1);
    EXPECT_EQ(seams::QueuedMessageCount(), 2u);
    seams::ResetAll();
    EXPECT_EQ(seams::QueuedMessageCount(), 0u);
    EXPECT_FALSE(seams::MessagesScripted());
    MSG msg{};
    seams::ScriptMessages(true);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, AltEnterBecomesTheToggleCommand) {
    const HACCEL table = LoadAcceleratorsA(nullptr, MAKEINTRESOURCE(113));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(LoadAcceleratorsA(nullptr, MAKEINTRESOURCE(114)), nullptr);
    EXPECT_EQ(LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCE(113)), table);

    auto translate = [&](MSG &msg) {
        const int handled = TranslateAcceleratorA(window, table, &msg);
        if (!handled) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return handled;
    };
    auto commands = [] {
        std::vector<WPARAM> out;
        for (const Received &r : recorder().messages)
            if (r.message == WM_COMMAND)
                out.push_back(r.wParam);
        return out;
    };

    MSG msg{};
    seams::InjectKey(window, VK_RETURN, true, true);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_SYSKEYDOWN);
    EXPECT_NE(translate(msg), 0);
    ASSERT_EQ(commands().size(), 1u);
    EXPECT_EQ(LOWORD(commands()[0]), 40003);

    // Enter alone, the release of Alt+Enter and Ctrl+Alt+Enter are not the accelerator.
    seams::InjectKey(window, VK_RETURN, false, true);
    seams::InjectKey(window, VK_RETURN, true, false);
    seams::InjectKey(window, VK_CONTROL, true, false);
    seams::InjectKey(window, VK_RETURN, true, true);
    seams::InjectKey(window, VK_CONTROL, false, false);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        EXPECT_EQ(translate(msg), 0);
    EXPECT_EQ(commands().size(), 1u);

    // A Ctrl released while another program had the focus does not stay held here.
    seams::InjectKey(window, VK_CONTROL, true, false);
    seams::InjectMessage(window, WM_ACTIVATEAPP, FALSE, 0);
    seams::InjectKey(window, VK_RETURN, true, true);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        translate(msg);
    EXPECT_EQ(commands().size(), 2u);

    // A table the program does not have translates nothing.
    seams::InjectKey(window, VK_RETURN, true, true);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(TranslateAcceleratorA(window, nullptr, &msg), 0);
    EXPECT_EQ(TranslateAcceleratorA(nullptr, table, &msg), 0);
}

TEST_F(WindowTest, DefaultProcedureClosesOnTheCloseCommandAndAltF4) {
    ASSERT_EQ(SendMessageA(window, WM_NCHITTEST, 0, 0), HTCLIENT);
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(recorder().CodesAmong({WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
              (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}));

    SetUp();
    seams::InjectKey(window, VK_F4, true, true);
    DrainQueue();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(recorder().CodesAmong({WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_CLOSE}),
              (std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_CLOSE}));
}

} // namespace

// A thread's queue is one of its own objects, gone before objects destroyed after it (at exit, the
// process's statics; here, a thread object made before the queue). Closing down from such an
// object still pumps messages: it finds the queue empty instead of reaching the destroyed one.
TEST_F(WindowTest, MessagesPumpedAfterTheThreadsQueueIsGoneFindAnEmptyQueue) {
    static bool peekedAfterwards = false;
    static BOOL found = TRUE;
    std::thread([] {
        struct ClosesLast {
            ~ClosesLast() {
                EXPECT_TRUE(PostMessageA(nullptr, WM_USER + 7, 0, 0));
                MSG msg{};
                found = PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
                peekedAfterwards = true;
            }
        };
        thread_local ClosesLast closer;
        (void)closer;
        ASSERT_TRUE(PostMessageA(nullptr, WM_USER + 6, 0, 0)); // the queue is made after it
    }).join();
    EXPECT_TRUE(peekedAfterwards);
    EXPECT_FALSE(found);
}
