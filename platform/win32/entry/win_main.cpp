// The process entry of programs built on the layer: main() calls the program's WinMain with the
// module handle, and WinMain's result is the exit code. The command line is not passed on.
#include "platform/win32/entry/win_main.h"
#include "platform/win32/window.h"

int main(int, char **) {
    static char emptyCommandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, emptyCommandLine, SW_SHOWDEFAULT);
}
