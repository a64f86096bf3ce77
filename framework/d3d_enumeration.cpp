// Enumeration of adapters, device types and full-screen display modes, and the choice of the
// starting adapter, device and mode.
#include "framework/d3d_app.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr D3DDEVTYPE kDeviceTypes[] = {D3DDEVTYPE_HAL, D3DDEVTYPE_REF};
constexpr const char *kDeviceDescriptions[] = {"HAL", "REF"};

bool IsSixteenBitFormat(D3DFORMAT format) {
    return format == D3DFMT_R5G6B5 || format == D3DFMT_X1R5G5B5 || format == D3DFMT_A1R5G5B5;
}

} // namespace

int CompareDisplayModes(const void *a, const void *b) {
    const auto *modeA = static_cast<const D3DDISPLAYMODE *>(a);
    const auto *modeB = static_cast<const D3DDISPLAYMODE *>(b);
    if (modeA->Format > modeB->Format)
        return -1;
    if (modeA->Format < modeB->Format)
        return 1;
    if (modeA->Width < modeB->Width)
        return -1;
    if (modeA->Width > modeB->Width)
        return 1;
    if (modeA->Height < modeB->Height)
        return -1;
    if (modeA->Height > modeB->Height)
        return 1;
    return 0;
}

BOOL CD3DApplication::PickDepthStencilFormat(UINT adapter, D3DDEVTYPE deviceType,
                                             D3DFORMAT backBufferFormat,
                                             D3DFORMAT *depthStencilFormat) {
    struct Candidate {
        D3DFORMAT format;
        DWORD depthBits;
        DWORD stencilBits;
    };
    static constexpr Candidate kCandidates[] = {
        {D3DFMT_D16, 16, 0},   {D3DFMT_D15S1, 15, 1},   {D3DFMT_D24X8, 24, 0},
        {D3DFMT_D24S8, 24, 8}, {D3DFMT_D24X4S4, 24, 4}, {D3DFMT_D32, 32, 0},
    };
    for (const Candidate &candidate : kCandidates) {
        if (m_dwMinDepthBits > candidate.depthBits || m_dwMinStencilBits > candidate.stencilBits)
            continue;
        if (FAILED(m_pD3D->CheckDeviceFormat(adapter, deviceType, backBufferFormat,
                                             D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                             candidate.format)))
            continue;
        if (FAILED(m_pD3D->CheckDepthStencilMatch(adapter, deviceType, backBufferFormat,
                                                  backBufferFormat, candidate.format)))
            continue;
        *depthStencilFormat = candidate.format;
        return TRUE;
    }
    return FALSE;
}

// The adapter's distinct full-screen modes and their formats, the desktop format first.
struct CD3DApplication::AdapterFormats {
    D3DDISPLAYMODE modes[kMaxDisplayModesPerAdapter];
    DWORD dwModeCount = 0;
    D3DFORMAT formats[kMaxFormatsPerAdapter];
    DWORD dwFormatCount = 0;
    // Per format, for the device being enumerated: whether the device type takes it, whether
    // the application accepts it, and with which vertex processing and depth-stencil format.
    BOOL bSupported[kMaxFormatsPerAdapter];
    BOOL bFormatConfirmed[kMaxFormatsPerAdapter];
    DWORD dwBehavior[kMaxFormatsPerAdapter];
    D3DFORMAT fmtDepthStencil[kMaxFormatsPerAdapter];
};

void CD3DApplication::EnumerateAdapter(UINT ordinal, AdapterRecord &adapter, bool &hardwareExists,
                                       bool &hardwareWindowed, bool &hardwareDesktopWindowed,
                                       bool &hardwareHasModes) {
    AdapterFormats found;
    CollectAdapterModes(ordinal, adapter, found);

    for (size_t t = 0; t < std::size(kDeviceTypes); ++t) {
        if (adapter.dwDeviceCount == kMaxDevicesPerAdapter)
            break;
        DeviceRecord &device = adapter.devices[adapter.dwDeviceCount];
        const bool hal = kDeviceTypes[t] == D3DDEVTYPE_HAL;
        device.deviceType = kDeviceTypes[t];
        m_pD3D->GetDeviceCaps(ordinal, device.deviceType, &device.caps);
        device.strDescription = kDeviceDescriptions[t];
        device.dwModeCount = 0;
        device.dwCurrentMode = 0;
        device.bCanRenderWindowed = FALSE;
        device.bWindowed = FALSE;
        device.multiSampleTypeWindowed = D3DMULTISAMPLE_NONE;
        device.multiSampleTypeFullScreen = D3DMULTISAMPLE_NONE;
        const bool canRenderWindowed = (device.caps.Caps2 & D3DCAPS2_CANRENDERWINDOWED) != 0;

        for (DWORD f = 0; f < found.dwFormatCount; ++f) {
            ConfirmFormat(ordinal, device, found, f);
            if (hal && found.bSupported[f]) {
                hardwareExists = true;
                if (canRenderWindowed) {
                    hardwareWindowed = true;
                    if (f == 0)
                        hardwareDesktopWindowed = true;
                }
            }
        }
        if (AddDeviceModes(device, found) && hal)
            hardwareHasModes = true;
        ChooseStartingMode(device);

        if (found.bFormatConfirmed[0] && canRenderWindowed) {
            device.bCanRenderWindowed = TRUE;
            device.bWindowed = TRUE;
        }
        if (device.dwModeCount > 0)
            ++adapter.dwDeviceCount;
    }
}

void CD3DApplication::CollectAdapterModes(UINT ordinal, AdapterRecord &adapter,
                                          AdapterFormats &found) {
    D3DDISPLAYMODE *modes = found.modes;
    D3DFORMAT *formats = found.formats;
    DWORD &dwModeCount = found.dwModeCount;
    DWORD &dwFormatCount = found.dwFormatCount;

    m_pD3D->GetAdapterIdentifier(ordinal, D3DENUM_NO_WHQL_LEVEL, &adapter.identifier);
    m_pD3D->GetAdapterDisplayMode(ordinal, &adapter.desktopMode);
    adapter.dwDeviceCount = 0;
    adapter.dwCurrentDevice = 0;
    adapter.uOrdinal = ordinal;

    // The desktop format comes first: whether it is confirmed decides windowed rendering.
    formats[dwFormatCount++] = adapter.desktopMode.Format;
    const UINT adapterModeCount = m_pD3D->GetAdapterModeCount(ordinal);
    for (UINT i = 0; i < adapterModeCount; ++i) {
        D3DDISPLAYMODE mode{};
        m_pD3D->EnumAdapterModes(ordinal, i, &mode);
        if (mode.Width < 640 || mode.Height < 400)
            continue;
        bool known = false;
        for (DWORD m = 0; m < dwModeCount && !known; ++m)
            known = modes[m].Width == mode.Width && modes[m].Height == mode.Height &&
                    modes[m].Format == mode.Format;
        if (known)
            continue;
        // Modes and formats past the working arrays' capacity are dropped.
        if (dwModeCount == kMaxDisplayModesPerAdapter)
            continue;
        bool formatKnown = false;
        for (DWORD f = 0; f < dwFormatCount && !formatKnown; ++f)
            formatKnown = formats[f] == mode.Format;
        if (!formatKnown) {
            if (dwFormatCount == kMaxFormatsPerAdapter)
                continue;
            formats[dwFormatCount++] = mode.Format;
        }
        modes[dwModeCount++] = {mode.Width, mode.Height, 0, mode.Format};
    }
    std::qsort(modes, dwModeCount, sizeof modes[0], CompareDisplayModes);
}

void CD3DApplication::ConfirmFormat(UINT ordinal, DeviceRecord &device, AdapterFormats &found,
                                    DWORD f) {
    const D3DFORMAT format = found.formats[f];
    found.bFormatConfirmed[f] = FALSE;
    found.fmtDepthStencil[f] = D3DFMT_UNKNOWN;
    found.dwBehavior[f] = 0;
    found.bSupported[f] =
        SUCCEEDED(m_pD3D->CheckDeviceType(ordinal, device.deviceType, format, format, FALSE));
    if (!found.bSupported[f])
        return;
    found.bFormatConfirmed[f] = ChooseVertexProcessing(device.caps, format, found.dwBehavior[f]);
    if (found.bFormatConfirmed[f] && m_bUseDepthBuffer &&
        !PickDepthStencilFormat(ordinal, device.deviceType, format, &found.fmtDepthStencil[f]))
        found.bFormatConfirmed[f] = FALSE;
}

// Vertex-processing trials, strongest first: the first the application accepts wins.
BOOL CD3DApplication::ChooseVertexProcessing(D3DCAPS8 &caps, D3DFORMAT format, DWORD &behavior) {
    BOOL accepted = FALSE;
    const DWORD devCaps = caps.DevCaps;
    if (devCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) {
        if (devCaps & D3DDEVCAPS_PUREDEVICE) {
            behavior = D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE;
            accepted = SUCCEEDED(AcceptDeviceCaps(&caps, behavior, format));
        }
        if (!accepted) {
            behavior = D3DCREATE_HARDWARE_VERTEXPROCESSING;
            accepted = SUCCEEDED(AcceptDeviceCaps(&caps, behavior, format));
        }
        if (!accepted) {
            behavior = D3DCREATE_MIXED_VERTEXPROCESSING;
            accepted = SUCCEEDED(AcceptDeviceCaps(&caps, behavior, format));
        }
    }
    if (!accepted) {
        behavior = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
        accepted = SUCCEEDED(AcceptDeviceCaps(&caps, behavior, format));
    }
    return accepted;
}

// The adapter's modes in the formats the device confirmed, in the adapter's order; true when any
// was added.
bool CD3DApplication::AddDeviceModes(DeviceRecord &device, const AdapterFormats &found) {
    bool added = false;
    for (DWORD m = 0; m < found.dwModeCount; ++m) {
        const D3DDISPLAYMODE &mode = found.modes[m];
        for (DWORD f = 0; f < found.dwFormatCount; ++f) {
            if (mode.Format != found.formats[f] || !found.bFormatConfirmed[f])
                continue;
            if (device.dwModeCount == kMaxModesPerDevice)
                continue;
            device.modes[device.dwModeCount++] = {mode.Width, mode.Height, mode.Format,
                                                  found.dwBehavior[f], found.fmtDepthStencil[f]};
            added = true;
        }
    }
    return added;
}

// The starting mode: the wanted one, else 640 x 480 (a 16-bit format preferred).
void CD3DApplication::ChooseStartingMode(DeviceRecord &device) {
    for (DWORD m = 0; m < device.dwModeCount; ++m) {
        const ModeRecord &mode = device.modes[m];
        if (mode.dwWidth == m_wantedFullScreenMode.Width &&
            mode.dwHeight == m_wantedFullScreenMode.Height &&
            mode.format == m_wantedFullScreenMode.Format) {
            device.dwCurrentMode = m;
            m_dwChosenModeIndex = m;
            return;
        }
    }
    for (DWORD m = 0; m < device.dwModeCount; ++m) {
        const ModeRecord &mode = device.modes[m];
        if (mode.dwWidth != 640 || mode.dwHeight != 480)
            continue;
        device.dwCurrentMode = m;
        m_dwChosenModeIndex = m;
        m_wantedFullScreenMode.Format = mode.format;
        if (IsSixteenBitFormat(mode.format))
            break;
    }
}

HRESULT CD3DApplication::EnumerateDevices() {
    bool hardwareExists = false;
    bool hardwareWindowed = false;
    bool hardwareDesktopWindowed = false;
    bool hardwareHasModes = false;

    m_dwAdapterCount = 0;
    const UINT adapterCount = m_pD3D->GetAdapterCount();
    for (UINT ordinal = 0; ordinal < adapterCount; ++ordinal) {
        if (m_dwAdapterCount == kMaxAdapters)
            break;
        AdapterRecord &adapter = m_adapters[m_dwAdapterCount];
        EnumerateAdapter(ordinal, adapter, hardwareExists, hardwareWindowed,
                         hardwareDesktopWindowed, hardwareHasModes);
        if (adapter.dwDeviceCount > 0)
            ++m_dwAdapterCount;
    }
    if (m_dwAdapterCount == 0)
        return AppError::NoCompatibleDevice;

    for (DWORD a = 0; a < m_dwAdapterCount; ++a) {
        AdapterRecord &adapter = m_adapters[a];
        for (DWORD d = 0; d < adapter.dwDeviceCount; ++d) {
            if (!adapter.devices[d].bWindowed)
                continue;
            adapter.dwCurrentDevice = d;
            m_dwCurrentAdapter = a;
            m_bWindowed = TRUE;
            if (adapter.devices[d].deviceType == D3DDEVTYPE_REF) {
                HRESULT warning = AppError::HardwareLacksFunctionalityInDesktopMode;
                if (!hardwareExists)
                    warning = AppError::NoHardwareAcceleratedDevice;
                else if (!hardwareHasModes)
                    warning = AppError::HardwareLacksFunctionality;
                else if (!hardwareWindowed)
                    warning = AppError::HardwareCannotRenderWindowed;
                else if (!hardwareDesktopWindowed)
                    warning = AppError::HardwareCannotRenderWindowedInDesktopMode;
                ShowError(warning, ShowErrorMode::SwitchToReference);
            }
            return S_OK;
        }
    }
    return AppError::CannotRunWindowed;
}
