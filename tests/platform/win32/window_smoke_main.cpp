// A real program on the layer's process entry: it opens a window with the real SDL event pump,
// runs posted and sent messages through the queue and the window procedure, closes the window
// and ends on WM_QUIT. Exit code 0 when everything arrived as it should.
#include "platform/win32/entry/win_main.h"
#include "platform/win32/win32.h"

#include <cstdio>
#include <vector>

namespace {

std::vector<UINT> g_seen;
bool g_wrongOrder = false;

LRESULT CALLBACK SmokeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_USER + 1:
    case WM_USER + 2:
        g_seen.push_back(message);
        return 0;
    case WM_USER + 3:
        g_seen.push_back(message);
        // Sent from inside a dispatched message: runs before the post below is fetched.
        if (SendMessageA(hwnd, WM_USER + 4, 0, 0) != 44)
            g_wrongOrder = true;
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_USER + 4:
        g_seen.push_back(message);
        return 44;
    case WM_CLOSE:
        g_seen.push_back(message);
        DestroyWindow(hwnd);
        PostQuitMessage(7);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

int fail(const char *what) {
    std::fprintf(stderr, "window_smoke: %s\n", what);
    return 1;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int) {
    if (!instance || instance != GetModuleHandleA(nullptr) || previous)
        return fail("not given the module handle");
    // CTest passes arguments; the program's command line never carries them.
    if (!commandLine || commandLine[0] != '\0')
        return fail("command line passed on");
    WNDCLASSA wc{};
    wc.lpfnWndProc = SmokeProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCE(101));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "Smoke Window";
    RegisterClassA(&wc);
    RECT rc{0, 0, 320, 240};
    AdjustWindowRect(&rc, 0x10CE0000, FALSE);
    HWND window = CreateWindowExA(0, "Smoke Window", "smoke", 0x10CE0000, CW_USEDEFAULT,
                                  CW_USEDEFAULT, rc.right - rc.left, rc.bottom - rc.top, nullptr,
                                  nullptr, instance, nullptr);
    if (!window || !win32::SdlWindowOf(window))
        return fail("no window");
    RECT client{};
    GetClientRect(window, &client);
    if (client.right != 320 || client.bottom != 240)
        return fail("client size");

    const HACCEL table = LoadAcceleratorsA(nullptr, MAKEINTRESOURCE(113));
    PostMessageA(window, WM_USER + 1, 0, 0);
    SendMessageA(window, WM_USER + 2, 0, 0);
    PostMessageA(window, WM_USER + 3, 0, 0);

    // The application's loop: peek while there is work, block when there is none; desktop
    // messages (paint, focus, size) go to the default procedure along the way.
    MSG msg{};
    msg.message = WM_NULL;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    const DWORD start = timeGetTime();
    bool blocking = false;
    while (msg.message != WM_QUIT) {
        const BOOL got = blocking ? GetMessageA(&msg, nullptr, 0, 0)
                                  : PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
        if (got) {
            if (!TranslateAcceleratorA(window, table, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        } else if (msg.message != WM_QUIT) {
            blocking = true; // idle once: from now on wait for messages
        }
        if (timeGetTime() - start > 20000)
            return fail("the loop did not end");
    }

    if (IsWindow(window) || win32::SdlWindowOf(window))
        return fail("window still exists after close");
    if (SendMessageA(window, WM_CLOSE, 0, 0) != 0)
        return fail("send to a destroyed window");
    const std::vector<UINT> expected{WM_USER + 2, WM_USER + 1, WM_USER + 3, WM_USER + 4, WM_CLOSE};
    if (g_seen != expected || g_wrongOrder)
        return fail("messages arrived out of order");
    if (msg.wParam != 7)
        return fail("wrong quit code");
    std::printf("window_smoke: ok\n");
    return 0;
}
