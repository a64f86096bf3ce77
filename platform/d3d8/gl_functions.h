// The OpenGL 3.3 core functions the device calls, loaded through SDL once a context is current.
// Only what the device uses is listed; the drawing pipeline adds its own entries here.
#pragma once

#include <GL/glcorearb.h>

namespace d3d8::gl {

#define TARVOS_GL_FUNCTIONS(X)                                                                     \
    X(PFNGLGETERRORPROC, GetError, glGetError)                                                     \
    X(PFNGLGETSTRINGPROC, GetString, glGetString)                                                  \
    X(PFNGLENABLEPROC, Enable, glEnable)                                                           \
    X(PFNGLDISABLEPROC, Disable, glDisable)                                                        \
    X(PFNGLSCISSORPROC, Scissor, glScissor)                                                        \
    X(PFNGLVIEWPORTPROC, Viewport, glViewport)                                                     \
    X(PFNGLCLEARCOLORPROC, ClearColor, glClearColor)                                               \
    X(PFNGLCLEARDEPTHPROC, ClearDepth, glClearDepth)                                               \
    X(PFNGLCLEARSTENCILPROC, ClearStencil, glClearStencil)                                         \
    X(PFNGLCLEARPROC, Clear, glClear)                                                              \
    X(PFNGLCOLORMASKPROC, ColorMask, glColorMask)                                                  \
    X(PFNGLDEPTHMASKPROC, DepthMask, glDepthMask)                                                  \
    X(PFNGLSTENCILMASKPROC, StencilMask, glStencilMask)                                            \
    X(PFNGLPIXELSTOREIPROC, PixelStorei, glPixelStorei)                                            \
    X(PFNGLREADPIXELSPROC, ReadPixels, glReadPixels)                                               \
    X(PFNGLREADBUFFERPROC, ReadBuffer, glReadBuffer)                                               \
    X(PFNGLDRAWBUFFERPROC, DrawBuffer, glDrawBuffer)                                               \
    X(PFNGLFINISHPROC, Finish, glFinish)                                                           \
    X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers, glGenFramebuffers)                                \
    X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers, glDeleteFramebuffers)                       \
    X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer, glBindFramebuffer)                                \
    X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, FramebufferRenderbuffer, glFramebufferRenderbuffer)        \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus, glCheckFramebufferStatus)           \
    X(PFNGLGENRENDERBUFFERSPROC, GenRenderbuffers, glGenRenderbuffers)                             \
    X(PFNGLDELETERENDERBUFFERSPROC, DeleteRenderbuffers, glDeleteRenderbuffers)                    \
    X(PFNGLBINDRENDERBUFFERPROC, BindRenderbuffer, glBindRenderbuffer)                             \
    X(PFNGLRENDERBUFFERSTORAGEPROC, RenderbufferStorage, glRenderbufferStorage)                    \
    X(PFNGLBLITFRAMEBUFFERPROC, BlitFramebuffer, glBlitFramebuffer)

struct Functions {
#define TARVOS_GL_DECLARE(type, member, name) type member = nullptr;
    TARVOS_GL_FUNCTIONS(TARVOS_GL_DECLARE)
#undef TARVOS_GL_DECLARE
};

// Fills `out` from the current context; false (with one trace line) when any function is missing.
bool LoadFunctions(Functions &out);

} // namespace d3d8::gl
