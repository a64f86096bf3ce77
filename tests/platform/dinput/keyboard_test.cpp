// The keyboard device fed by SDL key events: every key of a full keyboard at its key code, the
// key names of input scripts, and keys set without SDL.
#include "input_fixture.h"

#include "platform/dinput/key_codes.h"

#include <set>
#include <string>

namespace {

using namespace input_test;

std::vector<BYTE> KeysDown(IDirectInputDevice8A *keyboard) {
    BYTE keys[256];
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DI_OK);
    std::vector<BYTE> down;
    for (int dik = 0; dik < 256; ++dik) {
        EXPECT_TRUE(keys[dik] == 0 || keys[dik] == 0x80);
        if (keys[dik])
            down.push_back(static_cast<BYTE>(dik));
    }
    return down;
}

TEST_F(InputTest, EveryKeyOfAFullKeyboardReachesItsOwnCodeThroughSdl) {
    IDirectInputDevice8A *keyboard = Make(GUID_SysKeyboard, c_dfDIKeyboard, kKeyboardLevel);
    int keysSeen = 0;
    for (int dik = 1; dik < 256; ++dik) {
        const BYTE code = static_cast<BYTE>(dik);
        if (!dinput::DikName(code))
            continue;
        ++keysSeen;
        seams::PushKeyEvent(code, true);
        Pump();
        EXPECT_EQ(KeysDown(keyboard), std::vector<BYTE>{code}) << dinput::DikName(code);
        seams::PushKeyEvent(code, false);
        Pump();
        EXPECT_TRUE(KeysDown(keyboard).empty()) << dinput::DikName(code);
    }
    EXPECT_EQ(keysSeen, 105);
}

TEST_F(InputTest, RealKeyEventsAndWindowMessagesAgree) {
    IDirectInputDevice8A *keyboard = Make(GUID_SysKeyboard, c_dfDIKeyboard, kKeyboardLevel);
    // An event as SDL makes it for a key press, scan code only.
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.scancode = SDL_SCANCODE_KP_0;
    SDL_PushEvent(&event);
    EXPECT_EQ(KeysDown(keyboard), std::vector<BYTE>{DIK_NUMPAD0});

    // Alt held makes Enter a system key for the window, and both keys are down for the device.
    seams::PushKeyEvent(DIK_LMENU, true);
    seams::PushKeyEvent(DIK_RETURN, true);
    MSG msg;
    bool altEnter = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        altEnter |= msg.message == WM_SYSKEYDOWN && msg.wParam == VK_RETURN;
    EXPECT_TRUE(altEnter);
    EXPECT_EQ(KeysDown(keyboard), (std::vector<BYTE>{DIK_RETURN, DIK_LMENU, DIK_NUMPAD0}));
}

TEST(KeyNames, NamesRoundTripAndScriptsMayUseSecondNames) {
    std::set<std::string> names;
    for (int dik = 0; dik < 256; ++dik) {
        const char *name = dinput::DikName(static_cast<BYTE>(dik));
        if (!name)
            continue;
        EXPECT_TRUE(names.insert(name).second) << name;
        BYTE back = 0;
        EXPECT_TRUE(seams::DikFromName(name, &back));
        EXPECT_EQ(back, dik) << name;
    }
    const std::pair<const char *, BYTE> cases[] = {
        {"RETURN", DIK_RETURN}, {"NUMPAD0", DIK_NUMPAD0}, {"PAUSE", DIK_PAUSE}, {"z", DIK_Z},
        {"DIK_X", DIK_X},       {"backspace", DIK_BACK},  {"PGUP", DIK_PRIOR},  {"LALT", DIK_LMENU},
    };
    for (const auto &[name, expected] : cases) {
        BYTE dik = 0;
        EXPECT_TRUE(seams::DikFromName(name, &dik)) << name;
        EXPECT_EQ(dik, expected) << name;
    }
    BYTE untouched = 7;
    EXPECT_FALSE(seams::DikFromName("SHIFT", &untouched));
    EXPECT_FALSE(seams::DikFromName("DIK_", &untouched));
    EXPECT_FALSE(seams::DikFromName(nullptr, &untouched));
    EXPECT_EQ(untouched, 7);
}

TEST_F(InputTest, ScriptedKeysAreReadWithoutSdl) {
    IDirectInputDevice8A *keyboard = Make(GUID_SysKeyboard, c_dfDIKeyboard, kKeyboardLevel);
    seams::SetScriptedKey(DIK_F1, true);
    seams::SetScriptedKey(DIK_A, true);
    EXPECT_EQ(KeysDown(keyboard), (std::vector<BYTE>{DIK_A, DIK_F1}));
    seams::ReleaseScriptedInput();
    EXPECT_TRUE(KeysDown(keyboard).empty());
}

} // namespace
