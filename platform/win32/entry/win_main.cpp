// The process entry of programs built on the layer: main() sets the heap policy of a program that
// draws (heap_policy.h), starts the seams of a whole program run that the environment asks for,
// then calls the program's WinMain with the module handle, and WinMain's result is the exit code.
// The command line is not passed on.
#include "platform/win32/entry/win_main.h"
#include "platform/seams/program_seams.h"
#include "platform/win32/entry/heap_policy.h"
#include "platform/win32/window.h"

#include <cstdio>
#include <string>

int main(int, char **) {
    win32::KeepFreedMemoryForReuse();
    std::string error;
    if (!seams::StartProgramSeams(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    static char emptyCommandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, emptyCommandLine, SW_SHOWDEFAULT);
}
