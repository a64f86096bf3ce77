// Loads the device's OpenGL entry points through SDL, which knows the platform's GL library.
#include "platform/d3d8/gl_functions.h"

#include "platform/win32/debug_output.h"

#include <SDL.h>

#include <string>

namespace d3d8::gl {

bool LoadFunctions(Functions &out) {
    bool complete = true;
#define TARVOS_GL_LOAD(type, member, name)                                                         \
    out.member = reinterpret_cast<type>(SDL_GL_GetProcAddress(#name));                             \
    if (!out.member) {                                                                             \
        OutputDebugStringA("d3d8: OpenGL function " #name " is missing\n");                        \
        complete = false;                                                                          \
    }
    TARVOS_GL_FUNCTIONS(TARVOS_GL_LOAD)
#undef TARVOS_GL_LOAD
    return complete;
}

} // namespace d3d8::gl
