// The device's life cycle: creation with the fall-back to the reference device, reset, the
// windowed/full-screen switch, the fall-back to a window and the teardown, each with the derived
// class's resource steps around it in a fixed order.
#include "framework/d3d_app.h"

#include "framework/app_timer.h"
#include "framework/d3d_util.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

void CD3DApplication::ReadBackBufferDesc() {
    IDirect3DSurface8 *backBuffer = nullptr;
    if (SUCCEEDED(m_pDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer))) {
        backBuffer->GetDesc(&m_backBufferDesc);
        backBuffer->Release();
    }
}

void CD3DApplication::ApplyCursorRules() {
    if (m_bShowCursorWhenFullScreen && !m_bWindowed) {
        const auto hCursor = reinterpret_cast<HCURSOR>(
            static_cast<std::uintptr_t>(GetClassLongA(m_hWnd, GCL_HCURSOR)));
        SetDeviceCursor(m_pDevice, hCursor, TRUE);
        m_pDevice->ShowCursor(TRUE);
    }
    if (m_bClipCursorWhenFullScreen) {
        if (!m_bWindowed) {
            RECT rcWindow;
            GetWindowRect(m_hWnd, &rcWindow);
            ClipCursor(&rcWindow);
        } else {
            ClipCursor(nullptr);
        }
    }
}

void CD3DApplication::BuildDeviceText(const DeviceRecord &device, DWORD behavior,
                                      const AdapterRecord &adapter) {
    const bool hal = device.deviceType == D3DDEVTYPE_HAL;
    const char *typeName = hal ? "HAL" : device.deviceType == D3DDEVTYPE_REF ? "REF" : "SW";
    const char *processing = "";
    if ((behavior & D3DCREATE_HARDWARE_VERTEXPROCESSING) && (behavior & D3DCREATE_PUREDEVICE))
        processing = hal ? " (pure hw vp)" : " (simulated pure hw vp)";
    else if (behavior & D3DCREATE_HARDWARE_VERTEXPROCESSING)
        processing = hal ? " (hw vp)" : " (simulated hw vp)";
    else if (behavior & D3DCREATE_MIXED_VERTEXPROCESSING)
        processing = hal ? " (mixed vp)" : " (simulated mixed vp)";
    else if (behavior & D3DCREATE_SOFTWARE_VERTEXPROCESSING)
        processing = " (sw vp)";
    std::string text = std::string(typeName) + processing;
    if (hal) {
        text += ": ";
        text.append(adapter.identifier.Description,
                    strnlen(adapter.identifier.Description, sizeof adapter.identifier.Description));
    }
    // A long adapter description is cut to what the text holds.
    const size_t length = std::min(text.size(), sizeof m_strDeviceText - 1);
    text.copy(m_strDeviceText, length);
    m_strDeviceText[length] = '\0';
}

HRESULT CD3DApplication::InitializeDevice() {
    AdapterRecord &adapter = CurrentAdapter();
    DeviceRecord &device = CurrentDevice();
    ModeRecord &mode = device.modes[device.dwCurrentMode];

    ApplyWindowStyle();

    m_presentParams = {};
    device.bWindowed = m_bWantedWindowed ? TRUE : FALSE;
    m_bWindowed = device.bWindowed;
    m_presentParams.Windowed = device.bWindowed;
    m_presentParams.BackBufferCount = 1;
    m_presentParams.MultiSampleType =
        device.bWindowed ? device.multiSampleTypeWindowed : device.multiSampleTypeFullScreen;
    m_presentParams.SwapEffect = D3DSWAPEFFECT_DISCARD;
    m_presentParams.EnableAutoDepthStencil = m_bUseDepthBuffer;
    m_presentParams.AutoDepthStencilFormat = mode.depthStencilFormat;
    m_presentParams.hDeviceWindow = m_hWnd;
    if (m_bWindowed) {
        m_presentParams.BackBufferWidth = static_cast<UINT>(m_rcClient.right - m_rcClient.left);
        m_presentParams.BackBufferHeight = static_cast<UINT>(m_rcClient.bottom - m_rcClient.top);
        m_presentParams.BackBufferFormat = adapter.desktopMode.Format;
    } else {
        m_presentParams.BackBufferWidth = mode.dwWidth;
        m_presentParams.BackBufferHeight = mode.dwHeight;
        m_presentParams.BackBufferFormat = mode.format;
    }

    if (device.caps.PrimitiveMiscCaps & D3DPMISCCAPS_NULLREFERENCE)
        ShowError(AppError::ReducedReferenceDevice, ShowErrorMode::Warning);

    HRESULT hr = m_pD3D->CreateDevice(adapter.uOrdinal, device.deviceType, m_hWndFocus,
                                      mode.dwBehavior, &m_presentParams, &m_pDevice);
    if (SUCCEEDED(hr)) {
        if (m_bWindowed)
            SetWindowPos(m_hWnd, HWND_NOTOPMOST, m_rcWindow.left, m_rcWindow.top,
                         m_rcWindow.right - m_rcWindow.left, m_rcWindow.bottom - m_rcWindow.top,
                         SWP_SHOWWINDOW);
        m_pDevice->GetDeviceCaps(&m_deviceCaps);
        m_dwBehaviorFlags = mode.dwBehavior;
        BuildDeviceText(device, mode.dwBehavior, adapter);
        ReadBackBufferDesc();
        ApplyCursorRules();

        hr = PrepareDeviceResources();
        if (SUCCEEDED(hr)) {
            hr = LoadDeviceResources();
            if (SUCCEEDED(hr)) {
                m_bActive = TRUE;
                return S_OK;
            }
        }
        ReleaseDeviceResources();
        DestroyDeviceResources();
        m_pDevice->Release();
        m_pDevice = nullptr;
    }

    // A hardware device that failed gives way to the first adapter's reference device.
    if (device.deviceType == D3DDEVTYPE_HAL && m_dwAdapterCount > 0) {
        m_dwCurrentAdapter = 0;
        AdapterRecord &first = m_adapters[0];
        for (DWORD d = 0; d < first.dwDeviceCount; ++d) {
            if (first.devices[d].deviceType != D3DDEVTYPE_REF)
                continue;
            first.dwCurrentDevice = d;
            SetWindowPos(m_hWnd, HWND_NOTOPMOST, m_rcWindow.left, m_rcWindow.top,
                         m_rcWindow.right - m_rcWindow.left, m_rcWindow.bottom - m_rcWindow.top,
                         SWP_SHOWWINDOW);
            ApplyWindowStyle();
            ShowError(hr, ShowErrorMode::SwitchToReference);
            return InitializeDevice();
        }
    }
    return hr;
}

HRESULT CD3DApplication::ResetDevice() {
    HRESULT hr = ReleaseDeviceResources();
    if (FAILED(hr))
        return hr;
    hr = m_pDevice->Reset(&m_presentParams);
    if (FAILED(hr))
        return hr;
    ReadBackBufferDesc();
    ApplyCursorRules();
    hr = LoadDeviceResources();
    if (FAILED(hr))
        return hr;
    if (!m_bFrameMoving) {
        m_bSingleStep = TRUE;
        AppTimer(TimerCommand::Start);
        AppTimer(TimerCommand::Stop);
    }
    return S_OK;
}

HRESULT CD3DApplication::ToggleWindowedMode() {
    AdapterRecord &adapter = CurrentAdapter();
    DeviceRecord &device = CurrentDevice();
    ModeRecord &mode = device.modes[device.dwCurrentMode];

    if (!m_bWindowed && !device.bCanRenderWindowed)
        return FallBackToWindowed();

    m_bReady = FALSE;
    m_bWindowed = !m_bWindowed;
    device.bWindowed = m_bWindowed;
    ApplyWindowStyle();

    m_presentParams.Windowed = device.bWindowed;
    m_presentParams.MultiSampleType =
        m_bWindowed ? device.multiSampleTypeWindowed : device.multiSampleTypeFullScreen;
    m_presentParams.AutoDepthStencilFormat = mode.depthStencilFormat;
    m_presentParams.hDeviceWindow = m_hWnd;
    if (!m_bWindowed) {
        m_presentParams.BackBufferWidth = mode.dwWidth;
        m_presentParams.BackBufferHeight = mode.dwHeight;
        m_presentParams.BackBufferFormat = mode.format;
    } else {
        m_presentParams.BackBufferWidth = static_cast<UINT>(m_rcClient.right - m_rcClient.left);
        m_presentParams.BackBufferHeight = static_cast<UINT>(m_rcClient.bottom - m_rcClient.top);
        m_presentParams.BackBufferFormat = adapter.desktopMode.Format;
    }

    if (FAILED(ResetDevice())) {
        if (m_bWindowed)
            return FallBackToWindowed();
        return E_FAIL;
    }
    if (m_bWindowed)
        SetWindowPos(m_hWnd, HWND_NOTOPMOST, m_rcWindow.left, m_rcWindow.top,
                     m_rcWindow.right - m_rcWindow.left, m_rcWindow.bottom - m_rcWindow.top,
                     SWP_SHOWWINDOW);
    m_bReady = TRUE;
    return S_OK;
}

HRESULT CD3DApplication::FallBackToWindowed() {
    if (!CurrentDevice().bCanRenderWindowed) {
        bool found = false;
        for (DWORD a = 0; a < m_dwAdapterCount && !found; ++a) {
            for (DWORD d = 0; d < m_adapters[a].dwDeviceCount && !found; ++d) {
                if (!m_adapters[a].devices[d].bCanRenderWindowed)
                    continue;
                m_dwCurrentAdapter = a;
                m_adapters[a].dwCurrentDevice = d;
                found = true;
            }
        }
        if (!found)
            return E_FAIL;
    }

    CurrentDevice().bWindowed = TRUE;
    m_bWindowed = TRUE;
    m_bReady = FALSE;

    ReleaseDeviceResources();
    DestroyDeviceResources();
    if (m_pDevice) {
        if (m_pDevice->Release() > 0)
            return ShowError(AppError::NonZeroReferenceCount, ShowErrorMode::Exit);
        m_pDevice = nullptr;
    }

    const HRESULT hr = InitializeDevice();
    if (FAILED(hr))
        return ShowError(hr, ShowErrorMode::Exit);
    m_bReady = TRUE;
    return S_OK;
}

HRESULT CD3DApplication::ShutdownDevice() {
    m_bActive = FALSE;
    m_bReady = FALSE;
    if (m_pDevice) {
        ReleaseDeviceResources();
        DestroyDeviceResources();
        m_pDevice->Release();
        m_pDevice = nullptr;
    }
    // Also without a device (a re-creation that failed): the Direct3D object is not kept past
    // the end.
    ReleaseDirect3D();
    return FinalShutdown();
}
