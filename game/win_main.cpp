// The program's entry: the one application object, started and run by the framework.
#include "platform/win32/entry/win_main.h"
#include "game/asteroid_game.h"
#include "game/state_log.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    CMyD3DApplication app;
    if (!InstallStateLog(app))
        return 2;
    // The framework has already shown why a start-up failed.
    if (FAILED(app.Startup(instance)))
        return 0;
    return app.RunMessageLoop();
}
