// Keyboard, mouse and game-controller input: the interfaces, state records and constants that
// callers use. The devices themselves are made by DirectInput8Create's object.
#pragma once

#include "platform/win32/com.h"
#include "platform/win32/results.h"
#include "platform/win32/types.h"

#include <cstddef>

constexpr DWORD DIRECTINPUT_VERSION = 0x0800;

// Enumeration.
constexpr BOOL DIENUM_STOP = 0;
constexpr BOOL DIENUM_CONTINUE = 1;
constexpr DWORD DI8DEVCLASS_GAMECTRL = 4;
constexpr DWORD DIEDFL_ATTACHEDONLY = 0x00000001;
constexpr DWORD DIDFT_AXIS = 0x00000003;

// Cooperative levels.
constexpr DWORD DISCL_EXCLUSIVE = 0x00000001;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x00000002;
constexpr DWORD DISCL_FOREGROUND = 0x00000004;
constexpr DWORD DISCL_BACKGROUND = 0x00000008;
constexpr DWORD DISCL_NOWINKEY = 0x00000010;

// Property headers.
constexpr DWORD DIPH_DEVICE = 0;
constexpr DWORD DIPH_BYOFFSET = 1;
constexpr DWORD DIPH_BYID = 2;

constexpr HRESULT DIERR_INPUTLOST = MakeResult(0x8007001E);

// Key codes: positions on the keyboard, the index into the 256-byte keyboard state.
constexpr BYTE DIK_ESCAPE = 0x01;
constexpr BYTE DIK_BACK = 0x0E;
constexpr BYTE DIK_Q = 0x10;
constexpr BYTE DIK_W = 0x11;
constexpr BYTE DIK_E = 0x12;
constexpr BYTE DIK_R = 0x13;
constexpr BYTE DIK_T = 0x14;
constexpr BYTE DIK_Y = 0x15;
constexpr BYTE DIK_U = 0x16;
constexpr BYTE DIK_I = 0x17;
constexpr BYTE DIK_O = 0x18;
constexpr BYTE DIK_P = 0x19;
constexpr BYTE DIK_RETURN = 0x1C;
constexpr BYTE DIK_LCONTROL = 0x1D;
constexpr BYTE DIK_A = 0x1E;
constexpr BYTE DIK_S = 0x1F;
constexpr BYTE DIK_D = 0x20;
constexpr BYTE DIK_F = 0x21;
constexpr BYTE DIK_G = 0x22;
constexpr BYTE DIK_H = 0x23;
constexpr BYTE DIK_J = 0x24;
constexpr BYTE DIK_K = 0x25;
constexpr BYTE DIK_L = 0x26;
constexpr BYTE DIK_LSHIFT = 0x2A;
constexpr BYTE DIK_Z = 0x2C;
constexpr BYTE DIK_X = 0x2D;
constexpr BYTE DIK_C = 0x2E;
constexpr BYTE DIK_V = 0x2F;
constexpr BYTE DIK_B = 0x30;
constexpr BYTE DIK_N = 0x31;
constexpr BYTE DIK_M = 0x32;
constexpr BYTE DIK_SPACE = 0x39;
constexpr BYTE DIK_F1 = 0x3B;
constexpr BYTE DIK_NUMPAD0 = 0x52;
constexpr BYTE DIK_F12 = 0x58;
constexpr BYTE DIK_PAUSE = 0xC5;
constexpr BYTE DIK_UP = 0xC8;
constexpr BYTE DIK_LEFT = 0xCB;
constexpr BYTE DIK_RIGHT = 0xCD;
constexpr BYTE DIK_DOWN = 0xD0;

// Mouse state of the extended mouse format: movement since the previous read, eight buttons.
struct DIMOUSESTATE2 {
    LONG lX;
    LONG lY;
    LONG lZ;
    BYTE rgbButtons[8];
};
static_assert(sizeof(DIMOUSESTATE2) == 20);

// Controller state of the extended controller format.
struct DIJOYSTATE2 {
    LONG lX;
    LONG lY;
    LONG lZ;
    LONG lRx;
    LONG lRy;
    LONG lRz;
    LONG rglSlider[2];
    DWORD rgdwPOV[4];
    BYTE rgbButtons[128];
    LONG lVX;
    LONG lVY;
    LONG lVZ;
    LONG lVRx;
    LONG lVRy;
    LONG lVRz;
    LONG rglVSlider[2];
    LONG lAX;
    LONG lAY;
    LONG lAZ;
    LONG lARx;
    LONG lARy;
    LONG lARz;
    LONG rglASlider[2];
    LONG lFX;
    LONG lFY;
    LONG lFZ;
    LONG lFRx;
    LONG lFRy;
    LONG lFRz;
    LONG rglFSlider[2];
};
static_assert(sizeof(DIJOYSTATE2) == 272);

struct DIOBJECTDATAFORMAT {
    const GUID *pguid;
    DWORD dwOfs;
    DWORD dwType;
    DWORD dwFlags;
};

// A data format: the size of the state record the device fills and the objects in it.
struct DIDATAFORMAT {
    DWORD dwSize;
    DWORD dwObjSize;
    DWORD dwFlags;
    DWORD dwDataSize;
    DWORD dwNumObjs;
    const DIOBJECTDATAFORMAT *rgodf;
};

// One device offered by EnumDevices.
struct DIDEVICEINSTANCEA {
    DWORD dwSize;
    GUID guidInstance;
    GUID guidProduct;
    DWORD dwDevType;
    char tszInstanceName[260];
    char tszProductName[260];
    GUID guidFFDriver;
    WORD wUsagePage;
    WORD wUsage;
};

// One object (axis, button, point of view) offered by EnumObjects.
struct DIDEVICEOBJECTINSTANCEA {
    DWORD dwSize;
    GUID guidType;
    DWORD dwOfs;
    DWORD dwType;
    DWORD dwFlags;
    char tszName[260];
};

struct DIPROPHEADER {
    DWORD dwSize;
    DWORD dwHeaderSize;
    DWORD dwObj;
    DWORD dwHow;
};

struct DIPROPRANGE {
    DIPROPHEADER diph;
    LONG lMin;
    LONG lMax;
};
static_assert(sizeof(DIPROPHEADER) == 16 && sizeof(DIPROPRANGE) == 24);

using LPDIENUMDEVICESCALLBACKA = BOOL (*)(const DIDEVICEINSTANCEA *instance, void *context);
using LPDIENUMDEVICEOBJECTSCALLBACKA = BOOL (*)(const DIDEVICEOBJECTINSTANCEA *object,
                                                void *context);

struct IDirectInputDevice8A : IUnknown {
    STDMETHOD(SetDataFormat)(const DIDATAFORMAT *format) PURE;
    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD flags) PURE;
    STDMETHOD(EnumObjects)
    (LPDIENUMDEVICEOBJECTSCALLBACKA callback, void *context, DWORD flags) PURE;
    STDMETHOD(SetProperty)(REFGUID property, const DIPROPHEADER *header) PURE;
    STDMETHOD(Acquire)() PURE;
    STDMETHOD(Unacquire)() PURE;
    STDMETHOD(Poll)() PURE;
    STDMETHOD(GetDeviceState)(DWORD size, void *state) PURE;
};

struct IDirectInput8A : IUnknown {
    STDMETHOD(CreateDevice)
    (REFGUID instance, IDirectInputDevice8A **device, IUnknown *outer) PURE;
    STDMETHOD(EnumDevices)
    (DWORD deviceClass, LPDIENUMDEVICESCALLBACKA callback, void *context, DWORD flags) PURE;
};
