// The program's accelerator table (Alt+Enter gives the full-screen toggle command) and its
// translation of key-down messages into WM_COMMAND.
#include "platform/win32/message_queue.h"
#include "platform/win32/messages.h"
#include "platform/win32/window.h"
#include "platform/win32/window_internal.h"

#include <cstdint>
#include <span>

namespace {

constexpr ACCEL kProgramTable[] = {
    {FVIRTKEY | FALT | FNOINVERT, VK_RETURN, kToggleFullScreenCommand},
};

constexpr std::uintptr_t kAcceleratorTag = 0x00040000;

HACCEL programTableHandle() {
    return reinterpret_cast<HACCEL>(kAcceleratorTag | kAcceleratorTableId);
}

std::span<const ACCEL> tableOf(HACCEL table) {
    if (table == programTableHandle())
        return kProgramTable;
    return {};
}

} // namespace

HACCEL LoadAcceleratorsA(HINSTANCE instance, LPCSTR tableName) {
    // The table is a resource of the program's own module (NULL names it too).
    if (instance && instance != GetModuleHandleA(nullptr))
        return nullptr;
    if (!IS_INTRESOURCE(tableName) ||
        reinterpret_cast<std::uintptr_t>(tableName) != kAcceleratorTableId)
        return nullptr;
    return programTableHandle();
}

int TranslateAcceleratorA(HWND window, HACCEL table, MSG *msg) {
    if (!msg || !IsWindow(window))
        return 0;
    const std::span<const ACCEL> entries = tableOf(table);
    if (entries.empty())
        return 0;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)
        return 0;
    // Modifiers must match exactly: Ctrl+Alt+Enter is not Alt+Enter.
    const auto queue = win32::detail::ThisThreadQueue();
    const bool alt = (msg->lParam & KF_ALTDOWN_BIT) != 0;
    const bool shift = queue->KeyDown(VK_SHIFT);
    const bool control = queue->KeyDown(VK_CONTROL);
    for (const ACCEL &entry : entries) {
        if (!(entry.fVirt & FVIRTKEY) || entry.key != (msg->wParam & 0xFF))
            continue;
        if (alt != ((entry.fVirt & FALT) != 0) || shift != ((entry.fVirt & FSHIFT) != 0) ||
            control != ((entry.fVirt & FCONTROL) != 0))
            continue;
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
        return 1;
    }
    return 0;
}
