// The options menu: four switches, the steering sensitivity and the full-screen display mode.
#include "framework/app_timer.h"
#include "game/asteroid_game.h"
#include "game/menu_keys.h"
#include "game/sound_actions.h"
#include "game/spaceship.h"

#include <cstdio>

namespace {

constexpr INT kModeItem = 0;
constexpr INT kSensitivityItem = 5;
constexpr INT kDoneItem = 6;
constexpr INT kOptionsItemCount = 7;
constexpr DWORD kMaxSensitivity = 10;

// Formats with 8 bits a channel are shown as 32-bit modes, every other one as 16-bit.
long BitDepthOf(D3DFORMAT format) {
    return format == D3DFMT_R8G8B8 || format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 ? 32
                                                                                             : 16;
}

// ")" draws as a ticked box and "(" as an empty one in the bitmap font.
void WriteSwitch(char *text, const char *name, bool on) {
    std::snprintf(text, 80, "%c%s", on ? ')' : '(', name);
}

} // namespace

HRESULT CMyD3DApplication::UpdateOptionsMenu() {
    // The same record serves the whole frame, also after a mode change by Enter.
    const DeviceRecord &device =
        m_adapters[m_dwCurrentAdapter].devices[m_adapters[m_dwCurrentAdapter].dwCurrentDevice];
    BuildOptionsItems(device);

    m_fStateTimer += m_fElapsedTime;
    if (m_fStateTimer > kIdleTimeout) {
        m_fStateTimer = 0.0f;
        m_gameState = GameState::HallOfFame;
    }

    StepMenuCursor(m_input, m_pMenuSelectSound, m_fStateTimer, m_nOptionsCursor, kOptionsItemCount);
    if (m_input.bEscape && m_fStateTimer > kMenuKeyDelay) {
        // The chosen mode is dropped; switches already flipped stay.
        PlaySoundOnce(m_pMenuBackSound);
        EnterMenuState(GameState::MainMenu);
    }

    if (m_input.bEnter && m_fStateTimer > kMenuKeyDelay) {
        const HRESULT hr = TakeOptionsEnter();
        if (FAILED(hr))
            return hr;
    }
    if ((m_input.bLeft || m_input.bRight) && m_fStateTimer > kMenuKeyDelay &&
        m_nOptionsCursor != kDoneItem)
        TakeOptionsLeftOrRight(device);
    return 0;
}

void CMyD3DApplication::BuildOptionsItems(const DeviceRecord &device) {
    // An index outside this device's list (a chosen mode of another device) stays as it is, so
    // DONE sees it unchanged; the menu shows the first mode in its place.
    const ModeRecord &mode =
        device.modes[m_dwOptionsModeIndex < device.dwModeCount ? m_dwOptionsModeIndex : 0];

    // The highlighted value item puts its value in braces, drawn as the selection marks.
    const bool modeHighlighted = m_nOptionsCursor == kModeItem;
    std::snprintf(m_menuTexts[0], 80, modeHighlighted ? "MODE{%ldX%ldX%ld}" : "MODE %ldX%ldX%ld ",
                  static_cast<long>(mode.dwWidth), static_cast<long>(mode.dwHeight),
                  BitDepthOf(mode.format));
    WriteSwitch(m_menuTexts[1], "INVERT PITCH", m_bInvertPitch);
    WriteSwitch(m_menuTexts[2], "HEADLIGHT", m_bHeadlight);
    WriteSwitch(m_menuTexts[3], "REFLECTIONS", m_bReflection);
    WriteSwitch(m_menuTexts[4], "BRISA VENNER", m_bBrisaVenner);
    char *slider = MakeSliderText(static_cast<INT>(m_dwSteeringSensitivity), 0,
                                  static_cast<INT>(kMaxSensitivity));
    std::snprintf(m_menuTexts[5], 80,
                  m_nOptionsCursor == kSensitivityItem ? "SENSITIVITY{%s}" : "SENSITIVITY %s ",
                  slider ? slider : "");
    delete[] slider;
    std::snprintf(m_menuTexts[6], 80, "DONE");
    m_nItemCount = kOptionsItemCount;
    for (INT i = 0; i < kOptionsItemCount; ++i)
        m_menuItems[i] = m_menuTexts[i];
}

HRESULT CMyD3DApplication::TakeOptionsEnter() {
    m_fStateTimer = 0.0f;
    PlaySoundOnce(m_pMenuBackSound);
    if (m_nOptionsCursor == kModeItem)
        return ChangeDisplayMode();
    if (m_nOptionsCursor == kDoneItem) {
        m_gameState = GameState::MainMenu;
        const HRESULT hr = ChangeDisplayMode();
        if (FAILED(hr))
            return hr;
        EnterMenuState(GameState::MainMenu);
        return 0;
    }
    FlipOption(m_nOptionsCursor);
    return 0;
}

void CMyD3DApplication::TakeOptionsLeftOrRight(const DeviceRecord &device) {
    m_fStateTimer = 0.0f;
    PlaySoundOnce(m_pMenuBackSound);
    if (m_nOptionsCursor == kModeItem) {
        const DWORD last = device.dwModeCount - 1;
        if (m_input.bLeft)
            m_dwOptionsModeIndex = m_dwOptionsModeIndex == 0 ? last : m_dwOptionsModeIndex - 1;
        else
            m_dwOptionsModeIndex = m_dwOptionsModeIndex >= last ? 0 : m_dwOptionsModeIndex + 1;
    } else if (m_nOptionsCursor == kSensitivityItem) {
        DWORD &value = m_dwSteeringSensitivity;
        if (m_input.bLeft)
            value = value == 0 ? kMaxSensitivity : value - 1;
        else
            value = value >= kMaxSensitivity ? 0 : value + 1;
    } else {
        FlipOption(m_nOptionsCursor);
    }
}

void CMyD3DApplication::FlipOption(INT item) {
    switch (item) {
    case 1:
        m_bInvertPitch = !m_bInvertPitch;
        break;
    case 2:
        m_bHeadlight = !m_bHeadlight;
        m_pSpaceship->SetHeadlight(m_bHeadlight);
        break;
    case 3:
        m_bReflection = !m_bReflection;
        break;
    case 4:
        m_bBrisaVenner = !m_bBrisaVenner;
        break;
    default:
        break;
    }
}

HRESULT CMyD3DApplication::ChangeDisplayMode() {
    AdapterRecord &adapter = m_adapters[m_dwCurrentAdapter];
    DeviceRecord &device = adapter.devices[adapter.dwCurrentDevice];
    if (m_dwOptionsModeIndex == m_dwChosenModeIndex || !m_bActive || !m_bReady)
        return 0;
    // The device would be made from a mode record that does not exist.
    if (m_dwOptionsModeIndex >= device.dwModeCount)
        return 0;

    StopMusic();
    SetPaused(TRUE);

    device.dwCurrentMode = m_dwOptionsModeIndex;
    m_dwChosenModeIndex = m_dwOptionsModeIndex;
    m_bWindowed = device.bWindowed;

    ReleaseDeviceResources();
    DestroyDeviceResources();
    if (m_pDevice->Release() != 0)
        return ShowError(AppError::NonZeroReferenceCount, ShowErrorMode::Exit);
    // The device is gone: a re-creation that fails before it makes a new one must not leave the
    // shutdown a pointer to release a second time.
    m_pDevice = nullptr;

    const HRESULT hr = InitializeDevice();
    if (FAILED(hr))
        return ShowError(hr, ShowErrorMode::Exit);

    if (!m_bFrameMoving) {
        m_bSingleStep = TRUE;
        AppTimer(TimerCommand::Start);
        AppTimer(TimerCommand::Stop);
    }
    SetPaused(FALSE);
    StartMusic();
    return 0;
}
