// The application object: defaults, the default virtual steps, start-up with its window, the
// window style step, the window procedure and the framework's error boxes.
#include "framework/d3d_app.h"

#include "framework/app_timer.h"

#include <cstdio>
#include <cstring>

CD3DApplication *g_app = nullptr;

namespace {

constexpr const char *kExitSentence = "\n\nThis program will now exit.";
constexpr const char *kSwitchToReferenceSentence =
    "\n\nSwitching to the reference rasterizer,\na software device that implements the entire\n"
    "Direct3D feature set, but runs very slowly.";

const char *ErrorText(HRESULT code) {
    switch (static_cast<std::uint32_t>(code)) {
    case 0x82000001u:
        return "Could not initialize Direct3D. You may\nwant to check that the latest version of\n"
               "DirectX is correctly installed on your\nsystem.  Also make sure that this program\n"
               "was compiled with header files that match\nthe installed DirectX DLLs.";
    case 0x82000003u:
        return "Could not find any compatible Direct3D\ndevices.";
    case 0x82000004u:
        return "This program cannot run in a desktop\nwindow with the current display settings.\n"
               "Please change your desktop settings to a\n16- or 32-bit display mode and re-run "
               "this\nprogram.";
    case 0x82000005u:
        return "No hardware-accelerated Direct3D devices\nwere found.";
    case 0x82000006u:
        return "This program requires functionality that is\nnot available on your Direct3D "
               "hardware\naccelerator.";
    case 0x82000007u:
        return "Your Direct3D hardware accelerator cannot\nrender into a window.";
    case 0x82000008u:
        return "Your Direct3D hardware accelerator cannot\nrender into a window with the current\n"
               "desktop display settings.";
    case 0x82000009u:
        return "This program requires functionality that is\nnot available on your Direct3D "
               "hardware\naccelerator with the current desktop display\nsettings.";
    case 0x8200000Au:
        return "A D3D object has a non-zero reference\ncount (meaning things were not properly\n"
               "cleaned up).";
    case 0x8200000Bu:
        return "Could not load required media.";
    case 0x8200000Cu:
        return "Could not reset the Direct3D device.";
    case 0x8200000Du:
        return "Warning: Nothing will be rendered.\nThe reference rendering device was selected, "
               "but your\ncomputer only has a reduced-functionality reference device\ninstalled.  "
               "Install the full reference device to\nrender with it.\n";
    case 0x8007000Eu:
        return "Not enough memory.";
    case 0x8876017Cu:
        return "Not enough video memory.";
    default:
        return "Generic application error. Enable\ndebug output for detailed information.";
    }
}

} // namespace

CD3DApplication::CD3DApplication() {
    g_app = this;
    m_dwAdapterCount = 0;
    m_dwCurrentAdapter = 0;
    m_bActive = FALSE;
    m_bReady = FALSE;
    m_bLastActivateApp = FALSE;
    m_bFrameMoving = TRUE;
    m_bSingleStep = FALSE;
    m_hWnd = nullptr;
    m_hWndFocus = nullptr;
    m_pD3D = nullptr;
    m_pDevice = nullptr;
    m_dwBehaviorFlags = 0;
    m_fFrameRate = 0.0f;
    m_strDeviceText[0] = '\0';
    m_strFrameRateText[0] = '\0';
    m_strWindowTitle = "D3D8 Application";
    m_bUseDepthBuffer = FALSE;
    m_dwMinDepthBits = 16;
    m_dwMinStencilBits = 0;
    m_dwCreationWidth = 400;
    m_dwCreationHeight = 300;
    m_bShowCursorWhenFullScreen = FALSE;
    m_bClipCursorWhenFullScreen = FALSE;
    m_dwFrameCount = 0;
    m_fLastFrameRateTime = 0.0f;
    m_nPauseCount = 0;

    // Left to the derived class; defined values for one that does not set them: windowed, no
    // wanted full-screen mode, the first mode.
    m_bWantedWindowed = true;
    m_dwChosenModeIndex = 0;
    m_bWindowed = TRUE;
    m_wantedFullScreenMode = {};
    m_presentParams = {};
    m_deviceCaps = {};
    m_backBufferDesc = {};
    m_dwWindowStyle = 0;
    m_rcWindow = {};
    m_rcClient = {};
    m_fAppTime = 0.0f;
    m_fElapsedTime = 0.0f;
    std::memset(m_adapters, 0, sizeof m_adapters);
}

CD3DApplication::~CD3DApplication() {
    if (g_app == this)
        g_app = nullptr;
}

HRESULT CD3DApplication::AcceptDeviceCaps(const D3DCAPS8 *, DWORD, D3DFORMAT) {
    return S_OK;
}
HRESULT CD3DApplication::InitOnce() {
    return S_OK;
}
HRESULT CD3DApplication::PrepareDeviceResources() {
    return S_OK;
}
HRESULT CD3DApplication::LoadDeviceResources() {
    return S_OK;
}
HRESULT CD3DApplication::UpdateFrame() {
    return S_OK;
}
HRESULT CD3DApplication::RenderFrame() {
    return S_OK;
}
HRESULT CD3DApplication::ReleaseDeviceResources() {
    return S_OK;
}
HRESULT CD3DApplication::DestroyDeviceResources() {
    return S_OK;
}
HRESULT CD3DApplication::FinalShutdown() {
    return S_OK;
}

LRESULT AppWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Messages that arrive while no application object exists get the default handling.
    if (!g_app)
        return DefWindowProcA(window, message, wParam, lParam);
    return g_app->HandleMessage(window, message, wParam, lParam);
}

void CD3DApplication::ReleaseDirect3D() {
    if (m_pD3D) {
        m_pD3D->Release();
        m_pD3D = nullptr;
    }
}

HRESULT CD3DApplication::Startup(HINSTANCE instance) {
    m_pD3D = Direct3DCreate8(D3D_SDK_VERSION);
    if (!m_pD3D)
        return ShowError(AppError::Direct3DInitFailed, ShowErrorMode::Exit);

    HRESULT hr = EnumerateDevices();
    if (FAILED(hr)) {
        ReleaseDirect3D();
        return ShowError(hr, ShowErrorMode::Exit);
    }

    if (!m_hWnd) {
        WNDCLASSA wndClass = {0,
                              AppWindowProc,
                              0,
                              0,
                              instance,
                              LoadIconA(instance, MAKEINTRESOURCEA(kAppIconResource)),
                              LoadCursorA(nullptr, IDC_ARROW),
                              static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)),
                              nullptr,
                              "D3D Window"};
        RegisterClassA(&wndClass);

        m_dwWindowStyle = kWindowedStyle;
        RECT rc = {0, 0, static_cast<LONG>(m_dwCreationWidth),
                   static_cast<LONG>(m_dwCreationHeight)};
        AdjustWindowRect(&rc, m_dwWindowStyle, FALSE);
        m_hWnd = CreateWindowExA(0, "D3D Window", m_strWindowTitle, m_dwWindowStyle, CW_USEDEFAULT,
                                 CW_USEDEFAULT, rc.right - rc.left, rc.bottom - rc.top, nullptr,
                                 nullptr, instance, nullptr);
    }
    if (!m_hWndFocus)
        m_hWndFocus = m_hWnd;

    m_dwWindowStyle = static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE));
    GetWindowRect(m_hWnd, &m_rcWindow);
    GetClientRect(m_hWnd, &m_rcClient);

    hr = InitOnce();
    if (FAILED(hr)) {
        ReleaseDirect3D();
        return ShowError(hr, ShowErrorMode::Exit);
    }
    hr = InitializeDevice();
    if (FAILED(hr)) {
        ReleaseDirect3D();
        return ShowError(hr, ShowErrorMode::Exit);
    }

    m_bReady = TRUE;
    AppTimer(TimerCommand::Start);
    OnStartupComplete();
    return S_OK;
}

HRESULT CD3DApplication::ApplyWindowStyle() {
    SetWindowLongA(m_hWnd, GWL_STYLE,
                   static_cast<LONG>(m_bWindowed ? m_dwWindowStyle : kFullScreenStyle));
    return S_OK;
}

HRESULT CD3DApplication::ShowError(HRESULT code, DWORD mode) {
    char text[512];
    const char *appended = "";
    UINT icon = MB_ICONEXCLAMATION;
    if (mode == ShowErrorMode::Exit) {
        appended = kExitSentence;
        icon = MB_ICONHAND;
    } else if (mode == ShowErrorMode::SwitchToReference) {
        appended = kSwitchToReferenceSentence;
    }
    std::snprintf(text, sizeof text, "%s%s", ErrorText(code), appended);
    MessageBoxA(nullptr, text, m_strWindowTitle, icon);
    if (mode == ShowErrorMode::Exit && m_hWnd)
        SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
    return code;
}
