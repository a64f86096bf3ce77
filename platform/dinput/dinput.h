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
constexpr DWORD DI8DEVCLASS_ALL = 0;
constexpr DWORD DI8DEVCLASS_DEVICE = 1;
constexpr DWORD DI8DEVCLASS_POINTER = 2;
constexpr DWORD DI8DEVCLASS_KEYBOARD = 3;
constexpr DWORD DI8DEVCLASS_GAMECTRL = 4;
constexpr DWORD DIEDFL_ALLDEVICES = 0x00000000;
constexpr DWORD DIEDFL_ATTACHEDONLY = 0x00000001;

// Device types (low byte of DIDEVICEINSTANCEA::dwDevType).
constexpr DWORD DI8DEVTYPE_MOUSE = 0x12;
constexpr DWORD DI8DEVTYPE_KEYBOARD = 0x13;
constexpr DWORD DI8DEVTYPE_JOYSTICK = 0x14;
constexpr DWORD DI8DEVTYPE_GAMEPAD = 0x15;

// Object types: the low byte says what an object is, the next two bytes which one of its kind.
constexpr DWORD DIDFT_ALL = 0x00000000;
constexpr DWORD DIDFT_RELAXIS = 0x00000001;
constexpr DWORD DIDFT_ABSAXIS = 0x00000002;
constexpr DWORD DIDFT_AXIS = 0x00000003;
constexpr DWORD DIDFT_PSHBUTTON = 0x00000004;
constexpr DWORD DIDFT_TGLBUTTON = 0x00000008;
constexpr DWORD DIDFT_BUTTON = 0x0000000C;
constexpr DWORD DIDFT_POV = 0x00000010;
constexpr DWORD DIDFT_ANYINSTANCE = 0x00FFFF00;
constexpr DWORD DIDFT_OPTIONAL = 0x80000000;
constexpr DWORD DIDFT_MAKEINSTANCE(DWORD n) {
    return (n & 0xFFFF) << 8;
}
constexpr DWORD DIDFT_GETINSTANCE(DWORD type) {
    return (type >> 8) & 0xFFFF;
}
constexpr DWORD DIDFT_GETTYPE(DWORD type) {
    return type & 0xFF;
}

// Data format flags and object aspects.
constexpr DWORD DIDF_ABSAXIS = 0x00000001;
constexpr DWORD DIDF_RELAXIS = 0x00000002;
constexpr DWORD DIDOI_ASPECTPOSITION = 0x00000100;
constexpr DWORD DIDOI_ASPECTVELOCITY = 0x00000200;
constexpr DWORD DIDOI_ASPECTACCEL = 0x00000300;
constexpr DWORD DIDOI_ASPECTFORCE = 0x00000400;

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

// Results.
constexpr HRESULT DI_OK = S_OK;
constexpr HRESULT DI_NOEFFECT = S_FALSE;
constexpr HRESULT DIERR_INPUTLOST = MakeResult(0x8007001E);
constexpr HRESULT DIERR_NOTACQUIRED = MakeResult(0x8007000C);
constexpr HRESULT DIERR_OTHERAPPHASPRIO = MakeResult(0x80070005);
constexpr HRESULT DIERR_ACQUIRED = MakeResult(0x800700AA);
constexpr HRESULT DIERR_UNPLUGGED = MakeResult(0x80040209);
constexpr HRESULT DIERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DIERR_NOINTERFACE = E_NOINTERFACE;
constexpr HRESULT DIERR_UNSUPPORTED = E_NOTIMPL;
constexpr HRESULT DIERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DIERR_DEVICENOTREG = REGDB_E_CLASSNOTREG;
constexpr HRESULT DIERR_OBJECTNOTFOUND = MakeResult(0x80070002);
constexpr HRESULT DIERR_NOAGGREGATION = MakeResult(0x80040110);
constexpr HRESULT DIERR_OLDDIRECTINPUTVERSION = MakeResult(0x8007047E);
constexpr HRESULT DIERR_BETADIRECTINPUTVERSION = MakeResult(0x80070481);

// Interfaces, the system devices, object kinds and properties.
inline const GUID IID_IDirectInput8A = {
    0x84DDAE21, 0xE6DF, 0x4AC3, {0x84, 0x0B, 0xCA, 0xAC, 0xF5, 0x90, 0xBB, 0x7D}};
inline const GUID IID_IDirectInputDevice8A = {
    0x6568EE71, 0x3343, 0x4B4A, {0x84, 0xAC, 0xEE, 0x35, 0x8C, 0xF9, 0x22, 0xB2}};
inline const GUID GUID_SysKeyboard = {
    0xCD6FCE3D, 0xBE65, 0x4773, {0xB0, 0x93, 0xB1, 0xEE, 0x32, 0xE0, 0xBD, 0x2E}};
inline const GUID GUID_SysMouse = {
    0xDDDF919A, 0x4B3A, 0x4F03, {0x89, 0xD3, 0xCC, 0x92, 0x71, 0x6F, 0x12, 0xA8}};
inline const GUID GUID_XAxis = {
    0xF5342504, 0x871B, 0x4F34, {0x9F, 0xD0, 0x59, 0x22, 0x45, 0x5D, 0xD7, 0x92}};
inline const GUID GUID_YAxis = {
    0xF672BDF5, 0xD3EE, 0x40A7, {0x8F, 0x89, 0xA5, 0x48, 0xB8, 0x76, 0xF6, 0x7E}};
inline const GUID GUID_ZAxis = {
    0xBBD0795F, 0xA95B, 0x4806, {0xB5, 0xEE, 0x5C, 0xC1, 0xC4, 0xA8, 0x50, 0x02}};
inline const GUID GUID_RxAxis = {
    0x4A3887CF, 0xCEA6, 0x4C30, {0x93, 0x43, 0xF6, 0xA9, 0xC0, 0xF7, 0x6C, 0x4D}};
inline const GUID GUID_RyAxis = {
    0x32CEF561, 0xC24A, 0x434E, {0xA0, 0xAB, 0xE8, 0xD9, 0xE2, 0xD6, 0x7D, 0x32}};
inline const GUID GUID_RzAxis = {
    0x53AA436E, 0xAF4E, 0x48B7, {0x8D, 0xE2, 0x63, 0x87, 0xE1, 0x7C, 0x80, 0x54}};
inline const GUID GUID_Slider = {
    0x24E092E5, 0xFCAF, 0x4149, {0xA9, 0x24, 0x32, 0x35, 0x5F, 0x25, 0x4A, 0xF4}};
inline const GUID GUID_Button = {
    0xD9354FEE, 0xFC47, 0x4B4C, {0x84, 0x67, 0xAF, 0x69, 0x1A, 0x15, 0xF8, 0x12}};
inline const GUID GUID_Key = {
    0x6A65C9D6, 0xF450, 0x4117, {0x83, 0xD1, 0xF5, 0x8E, 0x8D, 0xC2, 0x45, 0xD2}};
inline const GUID GUID_POV = {
    0xEC09DB0C, 0x7064, 0x4870, {0x9A, 0x5A, 0xBD, 0x96, 0x6A, 0x8D, 0x76, 0x12}};
inline const GUID DIPROP_RANGE = {
    0xBD2E238E, 0x83B1, 0x454E, {0xAA, 0xBD, 0x26, 0x94, 0xEE, 0xBA, 0xC9, 0x4F}};

// Key codes: positions on the keyboard, the index into the 256-byte keyboard state. Keys with an
// extended scan code carry 0x80.
constexpr BYTE DIK_ESCAPE = 0x01;
constexpr BYTE DIK_1 = 0x02;
constexpr BYTE DIK_2 = 0x03;
constexpr BYTE DIK_3 = 0x04;
constexpr BYTE DIK_4 = 0x05;
constexpr BYTE DIK_5 = 0x06;
constexpr BYTE DIK_6 = 0x07;
constexpr BYTE DIK_7 = 0x08;
constexpr BYTE DIK_8 = 0x09;
constexpr BYTE DIK_9 = 0x0A;
constexpr BYTE DIK_0 = 0x0B;
constexpr BYTE DIK_MINUS = 0x0C;
constexpr BYTE DIK_EQUALS = 0x0D;
constexpr BYTE DIK_BACK = 0x0E;
constexpr BYTE DIK_TAB = 0x0F;
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
constexpr BYTE DIK_LBRACKET = 0x1A;
constexpr BYTE DIK_RBRACKET = 0x1B;
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
constexpr BYTE DIK_SEMICOLON = 0x27;
constexpr BYTE DIK_APOSTROPHE = 0x28;
constexpr BYTE DIK_GRAVE = 0x29;
constexpr BYTE DIK_LSHIFT = 0x2A;
constexpr BYTE DIK_BACKSLASH = 0x2B;
constexpr BYTE DIK_Z = 0x2C;
constexpr BYTE DIK_X = 0x2D;
constexpr BYTE DIK_C = 0x2E;
constexpr BYTE DIK_V = 0x2F;
constexpr BYTE DIK_B = 0x30;
constexpr BYTE DIK_N = 0x31;
constexpr BYTE DIK_M = 0x32;
constexpr BYTE DIK_COMMA = 0x33;
constexpr BYTE DIK_PERIOD = 0x34;
constexpr BYTE DIK_SLASH = 0x35;
constexpr BYTE DIK_RSHIFT = 0x36;
constexpr BYTE DIK_MULTIPLY = 0x37;
constexpr BYTE DIK_LMENU = 0x38;
constexpr BYTE DIK_SPACE = 0x39;
constexpr BYTE DIK_CAPITAL = 0x3A;
constexpr BYTE DIK_F1 = 0x3B;
constexpr BYTE DIK_F2 = 0x3C;
constexpr BYTE DIK_F3 = 0x3D;
constexpr BYTE DIK_F4 = 0x3E;
constexpr BYTE DIK_F5 = 0x3F;
constexpr BYTE DIK_F6 = 0x40;
constexpr BYTE DIK_F7 = 0x41;
constexpr BYTE DIK_F8 = 0x42;
constexpr BYTE DIK_F9 = 0x43;
constexpr BYTE DIK_F10 = 0x44;
constexpr BYTE DIK_NUMLOCK = 0x45;
constexpr BYTE DIK_SCROLL = 0x46;
constexpr BYTE DIK_NUMPAD7 = 0x47;
constexpr BYTE DIK_NUMPAD8 = 0x48;
constexpr BYTE DIK_NUMPAD9 = 0x49;
constexpr BYTE DIK_SUBTRACT = 0x4A;
constexpr BYTE DIK_NUMPAD4 = 0x4B;
constexpr BYTE DIK_NUMPAD5 = 0x4C;
constexpr BYTE DIK_NUMPAD6 = 0x4D;
constexpr BYTE DIK_ADD = 0x4E;
constexpr BYTE DIK_NUMPAD1 = 0x4F;
constexpr BYTE DIK_NUMPAD2 = 0x50;
constexpr BYTE DIK_NUMPAD3 = 0x51;
constexpr BYTE DIK_NUMPAD0 = 0x52;
constexpr BYTE DIK_DECIMAL = 0x53;
constexpr BYTE DIK_OEM_102 = 0x56;
constexpr BYTE DIK_F11 = 0x57;
constexpr BYTE DIK_F12 = 0x58;
constexpr BYTE DIK_NUMPADENTER = 0x9C;
constexpr BYTE DIK_RCONTROL = 0x9D;
constexpr BYTE DIK_DIVIDE = 0xB5;
constexpr BYTE DIK_SYSRQ = 0xB7;
constexpr BYTE DIK_RMENU = 0xB8;
constexpr BYTE DIK_PAUSE = 0xC5;
constexpr BYTE DIK_HOME = 0xC7;
constexpr BYTE DIK_UP = 0xC8;
constexpr BYTE DIK_PRIOR = 0xC9;
constexpr BYTE DIK_LEFT = 0xCB;
constexpr BYTE DIK_RIGHT = 0xCD;
constexpr BYTE DIK_END = 0xCF;
constexpr BYTE DIK_DOWN = 0xD0;
constexpr BYTE DIK_NEXT = 0xD1;
constexpr BYTE DIK_INSERT = 0xD2;
constexpr BYTE DIK_DELETE = 0xD3;
constexpr BYTE DIK_LWIN = 0xDB;
constexpr BYTE DIK_RWIN = 0xDC;
constexpr BYTE DIK_APPS = 0xDD;

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

// The predefined data formats: the keyboard's 256 key bytes, the mouse with three relative axes
// and eight buttons (DIMOUSESTATE2), the controller with absolute axes, points of view and 128
// buttons (DIJOYSTATE2).
extern const DIDATAFORMAT c_dfDIKeyboard;
extern const DIDATAFORMAT c_dfDIMouse2;
extern const DIDATAFORMAT c_dfDIJoystick2;

// Makes the DirectInput object (version DIRECTINPUT_VERSION, interface IID_IDirectInput8A).
HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, void **object,
                           IUnknown *outer);
