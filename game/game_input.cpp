// Keyboard, mouse and game controller through DirectInput, turned into the input record.
#include "game/asteroid_game.h"
#include "game/release_interface.h"
#include "platform/win32/dxtrace.h"

#include <cstddef>
#include <cstring>

// Set-up failures are traced without a pop-up; the game runs on whatever input it has.
#define INPUT_TRACE(call, hr)                                                                      \
    DXTraceA("asteroid game", static_cast<DWORD>(__LINE__), hr, call, FALSE)

namespace {

constexpr DWORD kKeyboardLevel = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_NOWINKEY;
constexpr DWORD kExclusiveLevel = DISCL_EXCLUSIVE | DISCL_FOREGROUND;
constexpr LONG kAxisMin = -2048;
constexpr LONG kAxisMax = 2047;
constexpr BYTE kDown = 0x80;

// What the controller enumeration works with: the DirectInput object, and the device made for
// the controller chosen so far.
struct ControllerSearch {
    IDirectInput8A *pDirectInput;
    IDirectInputDevice8A *pDevice;
};

// The key codes of the letters A to Z, in alphabetical order: the first one down is typed.
constexpr BYTE kLetterKeys[26] = {DIK_A, DIK_B, DIK_C, DIK_D, DIK_E, DIK_F, DIK_G, DIK_H, DIK_I,
                                  DIK_J, DIK_K, DIK_L, DIK_M, DIK_N, DIK_O, DIK_P, DIK_Q, DIK_R,
                                  DIK_S, DIK_T, DIK_U, DIK_V, DIK_W, DIK_X, DIK_Y, DIK_Z};

DWORD KeyFlag(const InputState &input, BYTE key) {
    return (input.keys[key] & kDown) ? 1 : 0;
}

// Acquires again a device whose read failed; the device never reports a lost input forever.
HRESULT Reacquire(IDirectInputDevice8A *pDevice) {
    HRESULT hr;
    do {
        hr = pDevice->Acquire();
    } while (hr == DIERR_INPUTLOST);
    return hr;
}

// While the game cannot hear the keyboard (its window is in the background) nothing is held:
// flags left from the last frame in front would go on steering and firing.
// The typed letter stays as it was.
void ReleaseActionFlags(InputState *pInput) {
    std::memset(&pInput->bUp, 0, offsetof(InputState, cLetter) - offsetof(InputState, bUp));
}

// A controller that cannot be read reports itself at rest: centred axes and points of view,
// no button down.
void ResetControllerState(DIJOYSTATE2 *pState) {
    std::memset(pState, 0, sizeof *pState);
    for (DWORD &pov : pState->rgdwPOV)
        pov = 0xFFFFFFFF;
}

} // namespace

HRESULT CMyD3DApplication::InitInput(HWND hWnd) {
    HRESULT hr =
        DirectInput8Create(GetModuleHandleA(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8A,
                           reinterpret_cast<void **>(&m_pDirectInput), nullptr);
    if (FAILED(hr))
        return INPUT_TRACE("DirectInput8Create", hr);

    if (FAILED(hr = m_pDirectInput->CreateDevice(GUID_SysKeyboard, &m_pKeyboard, nullptr)))
        return INPUT_TRACE("CreateDevice", hr);
    if (FAILED(hr = m_pKeyboard->SetDataFormat(&c_dfDIKeyboard)))
        return INPUT_TRACE("SetDataFormat", hr);
    if (FAILED(hr = m_pKeyboard->SetCooperativeLevel(hWnd, kKeyboardLevel)))
        return INPUT_TRACE("SetCooperativeLevel", hr);
    m_pKeyboard->Acquire();

    // The mouse is acquired by its first read.
    if (FAILED(hr = m_pDirectInput->CreateDevice(GUID_SysMouse, &m_pMouse, nullptr)))
        return hr;
    if (FAILED(hr = m_pMouse->SetDataFormat(&c_dfDIMouse2)))
        return hr;
    if (FAILED(hr = m_pMouse->SetCooperativeLevel(hWnd, kExclusiveLevel)))
        return INPUT_TRACE("SetCooperativeLevelMouse", hr);

    ControllerSearch search = {m_pDirectInput, nullptr};
    m_pDirectInput->EnumDevices(DI8DEVCLASS_GAMECTRL, EnumControllersCallback, &search,
                                DIEDFL_ATTACHEDONLY);
    m_pController = search.pDevice;
    if (!m_pController)
        return S_OK;

    if (FAILED(hr = m_pController->SetDataFormat(&c_dfDIJoystick2)))
        return hr;
    if (FAILED(hr = m_pController->SetCooperativeLevel(hWnd, kExclusiveLevel)))
        return hr;
    if (FAILED(
            hr = m_pController->EnumObjects(EnumControllerAxesCallback, m_pController, DIDFT_AXIS)))
        return hr;
    if (FAILED(m_pController->Poll()))
        Reacquire(m_pController);
    return S_OK;
}

HRESULT CMyD3DApplication::ReadInput(InputState *pInput) {
    HRESULT hr;
    if (m_pController) {
        m_pController->Poll();
        if (FAILED(m_pController->GetDeviceState(sizeof m_controllerState, &m_controllerState))) {
            // Acquired again as soon as the window is back in front; at rest until then.
            ResetControllerState(&m_controllerState);
            Reacquire(m_pController);
        }
    }

    if (m_pKeyboard) {
        std::memset(pInput->keys, 0, sizeof pInput->keys);
        if (FAILED(hr = m_pKeyboard->GetDeviceState(sizeof pInput->keys, pInput->keys))) {
            if (FAILED(m_pKeyboard->Acquire())) {
                ReleaseActionFlags(pInput);
                // The mouse is not read this frame: its last movement would go on steering.
                std::memset(&m_mouseState, 0, sizeof m_mouseState);
            }
            return hr;
        }
    }

    if (m_pMouse) {
        std::memset(&m_mouseState, 0, sizeof m_mouseState);
        if (FAILED(hr = m_pMouse->GetDeviceState(sizeof m_mouseState, &m_mouseState))) {
            if (FAILED(Reacquire(m_pMouse)))
                ReleaseActionFlags(pInput);
            return hr;
        }
    }

    auto button = [this](int index) -> DWORD {
        return m_pMouse && (m_mouseState.rgbButtons[index] & kDown) ? 1 : 0;
    };
    pInput->bUp = KeyFlag(*pInput, DIK_UP);
    pInput->bDown = KeyFlag(*pInput, DIK_DOWN);
    pInput->bLeft = KeyFlag(*pInput, DIK_LEFT);
    pInput->bRight = KeyFlag(*pInput, DIK_RIGHT);
    pInput->bRollLeft = KeyFlag(*pInput, DIK_Z);
    pInput->bRollRight = KeyFlag(*pInput, DIK_X);
    pInput->bFire = KeyFlag(*pInput, DIK_LCONTROL) | button(0);
    pInput->bFineControl = KeyFlag(*pInput, DIK_NUMPAD0) | button(2);
    pInput->bSelfDestruct = KeyFlag(*pInput, DIK_F12);
    pInput->bThrust = KeyFlag(*pInput, DIK_LSHIFT) | button(1);
    pInput->bView = KeyFlag(*pInput, DIK_F1);
    pInput->bPause = KeyFlag(*pInput, DIK_PAUSE);
    pInput->bEscape = KeyFlag(*pInput, DIK_ESCAPE);
    pInput->bEnter = KeyFlag(*pInput, DIK_RETURN);
    pInput->bBrake = KeyFlag(*pInput, DIK_SPACE);
    pInput->bBackspace = KeyFlag(*pInput, DIK_BACK);

    pInput->bLetterTyped = 0;
    for (int letter = 0; letter < 26; ++letter) {
        if (KeyFlag(*pInput, kLetterKeys[letter])) {
            pInput->cLetter = static_cast<char>('A' + letter);
            pInput->bLetterTyped = 1;
            break;
        }
    }
    return S_OK;
}

void CMyD3DApplication::ReleaseInput() {
    ReleaseInterface(m_pController);
    ReleaseInterface(m_pMouse);
    ReleaseInterface(m_pKeyboard);
    ReleaseInterface(m_pDirectInput);
}

BOOL EnumControllersCallback(const DIDEVICEINSTANCEA *pInstance, void *pContext) {
    auto *pSearch = static_cast<ControllerSearch *>(pContext);
    // Only one controller is kept: the one made for an earlier offer gives way, but only to a
    // controller that could be made, so a later one that fails does not leave the game without.
    IDirectInputDevice8A *pDevice = nullptr;
    if (FAILED(pSearch->pDirectInput->CreateDevice(pInstance->guidInstance, &pDevice, nullptr)))
        return DIENUM_CONTINUE;
    ReleaseInterface(pSearch->pDevice);
    pSearch->pDevice = pDevice;
    return std::strcmp(pInstance->tszProductName, "Motion Controller") == 0 ? DIENUM_STOP
                                                                            : DIENUM_CONTINUE;
}

BOOL EnumControllerAxesCallback(const DIDEVICEOBJECTINSTANCEA *pObject, void *pContext) {
    if (!(pObject->dwType & DIDFT_AXIS))
        return DIENUM_CONTINUE;
    DIPROPRANGE range;
    range.diph.dwSize = sizeof(DIPROPRANGE);
    range.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    range.diph.dwHow = DIPH_BYID;
    range.diph.dwObj = pObject->dwType;
    range.lMin = kAxisMin;
    range.lMax = kAxisMax;
    auto *pController = static_cast<IDirectInputDevice8A *>(pContext);
    if (FAILED(pController->SetProperty(DIPROP_RANGE, &range.diph)))
        return DIENUM_STOP;
    return DIENUM_CONTINUE;
}
