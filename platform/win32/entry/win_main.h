// The program's entry point, which every program built on the layer defines.
#pragma once

#include "platform/win32/types.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int show);
