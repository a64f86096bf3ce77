// The application framework's base class: the one application object of the process, which owns
// the window, the Direct3D object and device, the enumerated adapters, devices and display modes,
// the frame timing and the framework's error boxes. A derived class fills in the virtual steps.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/win32/win32.h"

// The framework's own result codes.
namespace AppError {
constexpr HRESULT Direct3DInitFailed = MakeResult(0x82000001);
constexpr HRESULT NoCompatibleDevice = MakeResult(0x82000003);
constexpr HRESULT CannotRunWindowed = MakeResult(0x82000004);
constexpr HRESULT NoHardwareAcceleratedDevice = MakeResult(0x82000005);
constexpr HRESULT HardwareLacksFunctionality = MakeResult(0x82000006);
constexpr HRESULT HardwareCannotRenderWindowed = MakeResult(0x82000007);
constexpr HRESULT HardwareCannotRenderWindowedInDesktopMode = MakeResult(0x82000008);
constexpr HRESULT HardwareLacksFunctionalityInDesktopMode = MakeResult(0x82000009);
constexpr HRESULT NonZeroReferenceCount = MakeResult(0x8200000A);
constexpr HRESULT MediaNotLoaded = MakeResult(0x8200000B);
constexpr HRESULT DeviceResetFailed = MakeResult(0x8200000C);
constexpr HRESULT ReducedReferenceDevice = MakeResult(0x8200000D);
} // namespace AppError

// What CD3DApplication::ShowError does after its text.
namespace ShowErrorMode {
constexpr DWORD Warning = 0;
constexpr DWORD Exit = 1;
constexpr DWORD SwitchToReference = 2;
} // namespace ShowErrorMode

// Capacities of the enumeration records.
constexpr DWORD kMaxAdapters = 10;
constexpr DWORD kMaxDevicesPerAdapter = 5;
constexpr DWORD kMaxModesPerDevice = 150;
constexpr DWORD kMaxDisplayModesPerAdapter = 100;
constexpr DWORD kMaxFormatsPerAdapter = 20;

// Resource identifiers and commands of the program.
constexpr WORD kAppIconResource = 101;
constexpr WORD kAppAcceleratorResource = 113;
constexpr WORD kToggleWindowedCommand = 40003;
constexpr WORD kCloseCommand = 40006;

// Window styles of the two presentations.
constexpr DWORD kWindowedStyle = 0x10CE0000;   // visible, caption, system menu, frame, minimise
constexpr DWORD kFullScreenStyle = 0x90080000; // visible pop-up with a system menu

// One usable full-screen mode of a device.
struct ModeRecord {
    DWORD dwWidth;
    DWORD dwHeight;
    D3DFORMAT format;
    DWORD dwBehavior;             // vertex-processing flags confirmed for the format
    D3DFORMAT depthStencilFormat; // 0 when no depth buffer is used
};

// One device type of an adapter that has at least one usable mode.
struct DeviceRecord {
    D3DDEVTYPE deviceType;
    D3DCAPS8 caps;
    const char *strDescription; // "HAL" or "REF"
    BOOL bCanRenderWindowed;
    DWORD dwModeCount;
    ModeRecord modes[kMaxModesPerDevice];
    DWORD dwCurrentMode;
    BOOL bWindowed;
    D3DMULTISAMPLE_TYPE multiSampleTypeWindowed;
    D3DMULTISAMPLE_TYPE multiSampleTypeFullScreen;
};

// One adapter that has at least one usable device.
struct AdapterRecord {
    D3DADAPTER_IDENTIFIER8 identifier;
    D3DDISPLAYMODE desktopMode;
    DWORD dwDeviceCount;
    DeviceRecord devices[kMaxDevicesPerAdapter];
    DWORD dwCurrentDevice;
    // The adapter's ordinal with the Direct3D object. Records are numbered in the order they were
    // kept, so once an adapter without usable devices was skipped the two differ; the device is
    // always created on, and the desktop mode read from, the ordinal kept here.
    UINT uOrdinal;
};

class CD3DApplication {
public:
    CD3DApplication();
    virtual ~CD3DApplication();

    CD3DApplication(const CD3DApplication &) = delete;
    CD3DApplication &operator=(const CD3DApplication &) = delete;

    // Virtual steps, in slot order.
    virtual HRESULT OnStartupComplete() = 0; // 0
    virtual HRESULT ApplyWindowStyle();      // 1
    virtual HRESULT AcceptDeviceCaps(const D3DCAPS8 *caps, DWORD behavior,
                                     D3DFORMAT backBufferFormat); // 2
    virtual HRESULT InitOnce();                                   // 3
    virtual HRESULT PrepareDeviceResources();                     // 4
    virtual HRESULT LoadDeviceResources();                        // 5
    virtual HRESULT UpdateFrame();                                // 6
    virtual HRESULT RenderFrame();                                // 7
    virtual HRESULT ReleaseDeviceResources();                     // 8
    virtual HRESULT DestroyDeviceResources();                     // 9
    virtual HRESULT FinalShutdown();                              // 10
    virtual HRESULT Startup(HINSTANCE instance);                  // 11
    virtual INT RunMessageLoop();                                 // 12
    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam,
                                  LPARAM lParam); // 13
    virtual void SetPaused(BOOL pause);           // 14

    // Error boxes: shows the text of `code` and returns `code`.
    HRESULT ShowError(HRESULT code, DWORD mode);

    // Enumeration and selection of adapters, devices and modes.
    HRESULT EnumerateDevices();
    BOOL PickDepthStencilFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT backBufferFormat,
                                D3DFORMAT *depthStencilFormat);

    // Device life cycle.
    HRESULT InitializeDevice();
    HRESULT ResetDevice();
    HRESULT ToggleWindowedMode();
    HRESULT FallBackToWindowed();
    HRESULT ShutdownDevice();

    // One frame of the loop.
    HRESULT AdvanceFrame();

    // Fields, in the order the framework keeps them.
    bool m_bWantedWindowed;
    DWORD m_dwChosenModeIndex;
    AdapterRecord m_adapters[kMaxAdapters];
    DWORD m_dwAdapterCount;
    DWORD m_dwCurrentAdapter;
    BOOL m_bWindowed;
    BOOL m_bActive;
    BOOL m_bReady;
    BOOL m_bLastActivateApp;
    BOOL m_bFrameMoving;
    BOOL m_bSingleStep;
    D3DPRESENT_PARAMETERS m_presentParams;
    HWND m_hWnd;
    HWND m_hWndFocus;
    IDirect3D8 *m_pD3D;
    IDirect3DDevice8 *m_pDevice;
    D3DCAPS8 m_deviceCaps;
    D3DSURFACE_DESC m_backBufferDesc;
    DWORD m_dwBehaviorFlags;
    DWORD m_dwWindowStyle;
    RECT m_rcWindow;
    RECT m_rcClient;
    float m_fAppTime;
    float m_fElapsedTime;
    float m_fFrameRate;
    char m_strDeviceText[90];
    char m_strFrameRateText[90];
    const char *m_strWindowTitle;
    BOOL m_bUseDepthBuffer;
    DWORD m_dwMinDepthBits;
    DWORD m_dwMinStencilBits;
    DWORD m_dwCreationWidth;
    DWORD m_dwCreationHeight;
    BOOL m_bShowCursorWhenFullScreen;
    BOOL m_bClipCursorWhenFullScreen;
    D3DDISPLAYMODE m_wantedFullScreenMode;

    // State of the loop: frames since the frame-rate text was rebuilt, when that was, and the
    // nesting depth of pauses.
    DWORD m_dwFrameCount;
    float m_fLastFrameRateTime;
    INT m_nPauseCount;

private:
    AdapterRecord &CurrentAdapter() { return m_adapters[m_dwCurrentAdapter]; }
    DeviceRecord &CurrentDevice() {
        return CurrentAdapter().devices[CurrentAdapter().dwCurrentDevice];
    }
    void EnumerateAdapter(UINT ordinal, AdapterRecord &adapter, bool &hardwareExists,
                          bool &hardwareWindowed, bool &hardwareDesktopWindowed,
                          bool &hardwareHasModes);
    // The phases of EnumerateAdapter, over the adapter's modes and formats as they are found.
    struct AdapterFormats;
    void CollectAdapterModes(UINT ordinal, AdapterRecord &adapter, AdapterFormats &found);
    void ConfirmFormat(UINT ordinal, DeviceRecord &device, AdapterFormats &found, DWORD f);
    BOOL ChooseVertexProcessing(D3DCAPS8 &caps, D3DFORMAT format, DWORD &behavior);
    bool AddDeviceModes(DeviceRecord &device, const AdapterFormats &found);
    void ChooseStartingMode(DeviceRecord &device);
    void ReadBackBufferDesc();
    void ApplyCursorRules();
    void BuildDeviceText(const DeviceRecord &device, DWORD behavior, const AdapterRecord &adapter);
    void ReleaseDirect3D();
    // Window messages handled in steps of their own: a menu or accelerator command (true when it
    // was the framework's), and the end of a size or move in a window (false when the device
    // could not be reset to the new client size and the program is ending).
    bool HandleCommand(HWND window, WORD command);
    bool FitBackBufferToWindow(HWND window);
};

// The one application object; the constructor sets it and the window procedure uses it.
extern CD3DApplication *g_app;

// The window procedure of the class "D3D Window": hands every message to g_app.
LRESULT AppWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The sort order of display modes: format descending (as signed numbers), then width and height
// ascending.
int CompareDisplayModes(const void *a, const void *b);
