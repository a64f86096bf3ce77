// Options, display mode and hall of fame in the settings store: read once by the constructor,
// written once by the final clean-up.
#include "game/asteroid_game.h"

#include "framework/registry_values.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr const char *kSettingsKey = "Software\\Tarvos";

constexpr DWORD kDefaultWidth = 640;
constexpr DWORD kDefaultHeight = 480;
constexpr DWORD kDefaultSensitivity = 5;
// No window side can be larger than this, whatever the display: the bound when the display's own
// modes cannot be read.
constexpr DWORD kLargestWindowSide = 16384;
constexpr const char *kDefaultInitials = "???";

DWORD defaultScore(int row) {
    return 100000 - 10000 * static_cast<DWORD>(row);
}

// Opens (or creates) the game's key; the result is the store's, and the key null on failure.
LONG openSettingsKey(HKEY *key) {
    *key = nullptr;
    return RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, key, nullptr);
}

bool readFlag(HKEY key, const char *name, BOOL defaultValue) {
    BOOL value = defaultValue;
    ReadBoolValue(key, name, &value, defaultValue);
    return value != FALSE;
}

DWORD readNumber(HKEY key, const char *name, DWORD defaultValue) {
    DWORD value = defaultValue;
    ReadIntValue(key, name, &value, defaultValue);
    return value;
}

// The largest width and height among the default adapter's display modes and its desktop: no
// full-screen mode and no window can be larger. kLargestWindowSide when they cannot be read.
void largestDisplaySides(DWORD &width, DWORD &height) {
    width = height = kLargestWindowSide;
    IDirect3D8 *d3d = Direct3DCreate8(D3D_SDK_VERSION);
    if (!d3d)
        return;
    D3DDISPLAYMODE mode{};
    if (SUCCEEDED(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) {
        width = mode.Width;
        height = mode.Height;
        const UINT count = d3d->GetAdapterModeCount(D3DADAPTER_DEFAULT);
        for (UINT i = 0; i < count; ++i) {
            if (SUCCEEDED(d3d->EnumAdapterModes(D3DADAPTER_DEFAULT, i, &mode))) {
                width = std::max<DWORD>(width, mode.Width);
                height = std::max<DWORD>(height, mode.Height);
            }
        }
    }
    d3d->Release();
}

// A window side outside 1..largest is taken as unreadable: zero could only come from a damaged
// store, and a side beyond the display's would make a back buffer of gigabytes, drawn at a few
// frames a minute, for a window the desktop cannot show.
DWORD readWindowSide(HKEY key, const char *name, DWORD defaultValue, DWORD largest) {
    const DWORD value = readNumber(key, name, defaultValue);
    return value >= 1 && value <= largest ? value : defaultValue;
}

void rowValueName(char (&name)[16], const char *stem, int row) {
    std::snprintf(name, sizeof name, "%s%d", stem, row);
}

} // namespace

LONG CMyD3DApplication::LoadSettings() {
    // Without the key every read below fails and gives its default, which is what a first start
    // with no stored settings gives too.
    HKEY key = nullptr;
    const LONG opened = openSettingsKey(&key);

    m_bWindowed = readFlag(key, "Windowed", FALSE) ? TRUE : FALSE;
    m_bWantedWindowed = m_bWindowed != FALSE;

    // The enumeration looks for the stored full-screen mode and falls back to 640 x 480 when the
    // display lacks it; the window is made at the stored size.
    DWORD largestWidth = 0;
    DWORD largestHeight = 0;
    largestDisplaySides(largestWidth, largestHeight);
    m_wantedFullScreenMode.Width = readWindowSide(key, "Width", kDefaultWidth, largestWidth);
    m_wantedFullScreenMode.Height = readWindowSide(key, "Height", kDefaultHeight, largestHeight);
    m_dwCreationWidth = m_wantedFullScreenMode.Width;
    m_dwCreationHeight = m_wantedFullScreenMode.Height;
    m_wantedFullScreenMode.Format =
        static_cast<D3DFORMAT>(readNumber(key, "Format", static_cast<DWORD>(D3DFMT_R5G6B5)));

    m_bInvertPitch = readFlag(key, "InvertPitchControl", TRUE);
    m_bHeadlight = readFlag(key, "Headlight", TRUE);
    m_bReflection = readFlag(key, "Reflection", TRUE);
    m_bBrisaVenner = readFlag(key, "Brisa Venner", TRUE);

    // Taken as stored, even beyond the menu's 0..10: the slider then shows no mark, and one Right
    // in the options menu brings it back to 0.
    m_dwSteeringSensitivity = readNumber(key, "SteeringSensitivity", kDefaultSensitivity);

    for (int row = 0; row < kHallOfFameRows; ++row) {
        char name[16];
        HallOfFameEntry &entry = m_hallOfFame[row];
        rowValueName(name, "Name", row);
        // A name that does not fit the four bytes with its terminator reads as the default.
        ReadStringValue(key, name, entry.initials, sizeof entry.initials, kDefaultInitials);
        rowValueName(name, "Score", row);
        entry.score = readNumber(key, name, defaultScore(row));
    }
    // The rows are restored as they stand: only the initials entry orders them, by inserting a
    // new score where it belongs, and its walk stays within the ten rows whatever their order.

    if (opened != ERROR_SUCCESS)
        return opened;
    return RegCloseKey(key);
}

LONG CMyD3DApplication::SaveSettings() {
    HKEY key = nullptr;
    if (const LONG opened = openSettingsKey(&key); opened != ERROR_SUCCESS)
        return opened;

    WriteBoolValue(key, "Windowed", m_bWindowed ? TRUE : FALSE);
    WriteIntValue(key, "Width", m_wantedFullScreenMode.Width);
    WriteIntValue(key, "Height", m_wantedFullScreenMode.Height);
    WriteIntValue(key, "Format", static_cast<DWORD>(m_wantedFullScreenMode.Format));
    WriteBoolValue(key, "InvertPitchControl", m_bInvertPitch);
    WriteIntValue(key, "SteeringSensitivity", m_dwSteeringSensitivity);
    WriteBoolValue(key, "Headlight", m_bHeadlight);
    WriteBoolValue(key, "Reflection", m_bReflection);
    WriteBoolValue(key, "Brisa Venner", m_bBrisaVenner);

    for (int row = 0; row < kHallOfFameRows; ++row) {
        char name[16];
        const HallOfFameEntry &entry = m_hallOfFame[row];
        // The initials always end within their four bytes once loaded or typed; the copy makes
        // sure of it even so, so the write never reads past the row.
        char initials[sizeof entry.initials];
        std::copy(std::begin(entry.initials), std::end(entry.initials), initials);
        initials[sizeof initials - 1] = '\0';
        rowValueName(name, "Name", row);
        WriteStringValue(key, name, initials);
        rowValueName(name, "Score", row);
        WriteIntValue(key, name, entry.score);
    }
    return RegCloseKey(key);
}
