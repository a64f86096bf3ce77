// The running application: the message loop, one frame, the window messages that concern the
// device, the window size, the cursor, pausing and closing, and nested pauses.
#include "framework/d3d_app.h"

#include "framework/app_timer.h"

#include <cstdio>

INT CD3DApplication::RunMessageLoop() {
    HACCEL accelerators = LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(kAppAcceleratorResource));

    MSG msg{};
    msg.message = WM_NULL;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    while (msg.message != WM_QUIT) {
        const BOOL gotMessage = m_bActive ? PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)
                                          : GetMessageA(&msg, nullptr, 0, 0);
        if (gotMessage) {
            if (!TranslateAcceleratorA(m_hWnd, accelerators, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        } else if (m_bActive && m_bReady) {
            if (FAILED(AdvanceFrame()))
                SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
        }
    }
    return static_cast<INT>(msg.wParam);
}

HRESULT CD3DApplication::AdvanceFrame() {
    HRESULT hr = m_pDevice->TestCooperativeLevel();
    if (FAILED(hr)) {
        if (hr == D3DERR_DEVICELOST)
            return S_OK;
        if (hr == D3DERR_DEVICENOTRESET) {
            if (m_bWindowed) {
                AdapterRecord &adapter = m_adapters[m_dwCurrentAdapter];
                m_pD3D->GetAdapterDisplayMode(adapter.uOrdinal, &adapter.desktopMode);
                m_presentParams.BackBufferFormat = adapter.desktopMode.Format;
            }
            return ResetDevice();
        }
        return hr;
    }

    const float appTime = AppTimer(TimerCommand::AppTime);
    const float elapsed = AppTimer(TimerCommand::ElapsedTime);
    if (elapsed == 0.0f && m_bFrameMoving)
        return S_OK;

    if (m_bFrameMoving || m_bSingleStep) {
        m_fAppTime = appTime;
        m_fElapsedTime = elapsed;
        hr = UpdateFrame();
        if (FAILED(hr))
            return hr;
        m_bSingleStep = FALSE;
    }

    hr = RenderFrame();
    if (FAILED(hr))
        return hr;

    const float now = AppTimer(TimerCommand::AbsoluteTime);
    ++m_dwFrameCount;
    if (now - m_fLastFrameRateTime > 1.0f) {
        m_fFrameRate = static_cast<float>(m_dwFrameCount) / (now - m_fLastFrameRateTime);
        m_fLastFrameRateTime = now;
        m_dwFrameCount = 0;
        std::snprintf(m_strFrameRateText, sizeof m_strFrameRateText, "%.02f fps",
                      static_cast<double>(m_fFrameRate));
    }

    m_pDevice->Present(nullptr, nullptr, nullptr, nullptr);
    return S_OK;
}

void CD3DApplication::SetPaused(BOOL pause) {
    // A resume without a pause is ignored: counting it would leave the application not ready
    // until some later pause happened to balance it.
    if (!pause && m_nPauseCount <= 0)
        return;
    m_nPauseCount += pause ? 1 : -1;
    m_bReady = m_nPauseCount == 0 ? TRUE : FALSE;
    if (pause && m_nPauseCount == 1 && m_bFrameMoving)
        AppTimer(TimerCommand::Stop);
    if (m_nPauseCount == 0 && m_bFrameMoving)
        AppTimer(TimerCommand::Start);
}

namespace {

// The system commands a full-screen window refuses: it cannot be sized, moved or maximised, has
// no window menu, and keeps the monitor powered.
bool IsBlockedInFullScreen(WPARAM command) {
    switch (command) {
    case SC_SIZE:
    case SC_MOVE:
    case SC_MAXIMIZE:
    case SC_KEYMENU:
    case SC_MONITORPOWER:
        return true;
    default:
        return false;
    }
}

} // namespace

bool CD3DApplication::HandleCommand(HWND window, WORD command) {
    if (command == kToggleWindowedCommand) {
        if (m_bActive && m_bReady) {
            SetPaused(TRUE);
            // A failed switch ends the program; the pause stays, as nothing is left to resume.
            if (FAILED(ToggleWindowedMode())) {
                ShowError(AppError::DeviceResetFailed, ShowErrorMode::Exit);
                return true;
            }
            SetPaused(FALSE);
        }
        return true;
    }
    if (command == kCloseCommand) {
        SendMessageA(window, WM_CLOSE, 0, 0);
        return true;
    }
    return false;
}

bool CD3DApplication::FitBackBufferToWindow(HWND window) {
    const RECT oldClient = m_rcClient;
    GetWindowRect(window, &m_rcWindow);
    GetClientRect(window, &m_rcClient);
    if (oldClient.right - oldClient.left == m_rcClient.right - m_rcClient.left &&
        oldClient.bottom - oldClient.top == m_rcClient.bottom - m_rcClient.top)
        return true;
    m_bReady = FALSE;
    m_presentParams.BackBufferWidth = static_cast<UINT>(m_rcClient.right - m_rcClient.left);
    m_presentParams.BackBufferHeight = static_cast<UINT>(m_rcClient.bottom - m_rcClient.top);
    if (FAILED(ResetDevice())) {
        ShowError(AppError::DeviceResetFailed, ShowErrorMode::Exit);
        return false;
    }
    m_bReady = TRUE;
    return true;
}

LRESULT CD3DApplication::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED || wParam == SIZE_MAXHIDE) {
            if (m_bClipCursorWhenFullScreen && !m_bWindowed)
                ClipCursor(nullptr);
            m_bActive = FALSE;
        } else {
            m_bActive = TRUE;
        }
        break;

    case WM_PAINT:
        if (m_pDevice && !m_bReady && m_bWindowed) {
            RenderFrame();
            m_pDevice->Present(nullptr, nullptr, nullptr, nullptr);
        }
        break;

    case WM_CLOSE:
        ShutdownDevice();
        DestroyMenu(GetMenu(window));
        DestroyWindow(window);
        PostQuitMessage(0);
        return 0;

    case WM_ACTIVATEAPP:
        m_bLastActivateApp = static_cast<BOOL>(wParam);
        break;

    case WM_SETCURSOR:
        if (m_bActive && m_bReady && !m_bWindowed) {
            SetCursor(nullptr);
            if (m_bShowCursorWhenFullScreen)
                m_pDevice->ShowCursor(TRUE);
            return TRUE;
        }
        break;

    case WM_GETMINMAXINFO:
        if (lParam)
            reinterpret_cast<MINMAXINFO *>(lParam)->ptMinTrackSize = {100, 100};
        break;

    case WM_NCHITTEST:
        if (!m_bWindowed)
            return HTCLIENT;
        break;

    case WM_COMMAND:
        if (HandleCommand(window, LOWORD(wParam)))
            return 0;
        break;

    case WM_SYSCOMMAND:
        if (!m_bWindowed && IsBlockedInFullScreen(wParam))
            return 1;
        break;

    case WM_MOUSEMOVE:
        if (m_bActive && m_bReady && m_pDevice) {
            POINT cursor;
            GetCursorPos(&cursor);
            if (!m_bWindowed)
                ScreenToClient(window, &cursor);
            m_pDevice->SetCursorPosition(cursor.x, cursor.y, 0);
        }
        break;

    case WM_ENTERMENULOOP:
    case WM_ENTERSIZEMOVE:
        SetPaused(TRUE);
        break;

    case WM_EXITMENULOOP:
        SetPaused(FALSE);
        break;

    case WM_EXITSIZEMOVE:
        SetPaused(FALSE);
        if (m_bActive && m_bWindowed && !FitBackBufferToWindow(window))
            return 0;
        break;

    case WM_POWERBROADCAST:
        if (wParam == PBT_APMQUERYSUSPEND || wParam == PBT_APMRESUMESUSPEND)
            return TRUE;
        break;

    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
