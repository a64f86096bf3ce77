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
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D, glFramebufferTexture2D)                 \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus, glCheckFramebufferStatus)           \
    X(PFNGLGENRENDERBUFFERSPROC, GenRenderbuffers, glGenRenderbuffers)                             \
    X(PFNGLDELETERENDERBUFFERSPROC, DeleteRenderbuffers, glDeleteRenderbuffers)                    \
    X(PFNGLBINDRENDERBUFFERPROC, BindRenderbuffer, glBindRenderbuffer)                             \
    X(PFNGLRENDERBUFFERSTORAGEPROC, RenderbufferStorage, glRenderbufferStorage)                    \
    X(PFNGLBLITFRAMEBUFFERPROC, BlitFramebuffer, glBlitFramebuffer)                                \
    X(PFNGLGENBUFFERSPROC, GenBuffers, glGenBuffers)                                               \
    X(PFNGLDELETEBUFFERSPROC, DeleteBuffers, glDeleteBuffers)                                      \
    X(PFNGLBINDBUFFERPROC, BindBuffer, glBindBuffer)                                               \
    X(PFNGLBUFFERDATAPROC, BufferData, glBufferData)                                               \
    X(PFNGLBUFFERSUBDATAPROC, BufferSubData, glBufferSubData)                                      \
    X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays, glGenVertexArrays)                                \
    X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays, glDeleteVertexArrays)                       \
    X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray, glBindVertexArray)                                \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray, glEnableVertexAttribArray)        \
    X(PFNGLDISABLEVERTEXATTRIBARRAYPROC, DisableVertexAttribArray, glDisableVertexAttribArray)     \
    X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer, glVertexAttribPointer)                    \
    X(PFNGLDRAWARRAYSPROC, DrawArrays, glDrawArrays)                                               \
    X(PFNGLDRAWELEMENTSBASEVERTEXPROC, DrawElementsBaseVertex, glDrawElementsBaseVertex)           \
    X(PFNGLCREATESHADERPROC, CreateShader, glCreateShader)                                         \
    X(PFNGLSHADERSOURCEPROC, ShaderSource, glShaderSource)                                         \
    X(PFNGLCOMPILESHADERPROC, CompileShader, glCompileShader)                                      \
    X(PFNGLGETSHADERIVPROC, GetShaderiv, glGetShaderiv)                                            \
    X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog, glGetShaderInfoLog)                             \
    X(PFNGLDELETESHADERPROC, DeleteShader, glDeleteShader)                                         \
    X(PFNGLCREATEPROGRAMPROC, CreateProgram, glCreateProgram)                                      \
    X(PFNGLATTACHSHADERPROC, AttachShader, glAttachShader)                                         \
    X(PFNGLLINKPROGRAMPROC, LinkProgram, glLinkProgram)                                            \
    X(PFNGLGETPROGRAMIVPROC, GetProgramiv, glGetProgramiv)                                         \
    X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog, glGetProgramInfoLog)                          \
    X(PFNGLDELETEPROGRAMPROC, DeleteProgram, glDeleteProgram)                                      \
    X(PFNGLUSEPROGRAMPROC, UseProgram, glUseProgram)                                               \
    X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation, glGetUniformLocation)                       \
    X(PFNGLUNIFORM1IPROC, Uniform1i, glUniform1i)                                                  \
    X(PFNGLUNIFORM1IVPROC, Uniform1iv, glUniform1iv)                                               \
    X(PFNGLUNIFORM1FPROC, Uniform1f, glUniform1f)                                                  \
    X(PFNGLUNIFORM3FVPROC, Uniform3fv, glUniform3fv)                                               \
    X(PFNGLUNIFORM4FVPROC, Uniform4fv, glUniform4fv)                                               \
    X(PFNGLUNIFORMMATRIX3FVPROC, UniformMatrix3fv, glUniformMatrix3fv)                             \
    X(PFNGLUNIFORMMATRIX4FVPROC, UniformMatrix4fv, glUniformMatrix4fv)                             \
    X(PFNGLGENTEXTURESPROC, GenTextures, glGenTextures)                                            \
    X(PFNGLDELETETEXTURESPROC, DeleteTextures, glDeleteTextures)                                   \
    X(PFNGLBINDTEXTUREPROC, BindTexture, glBindTexture)                                            \
    X(PFNGLACTIVETEXTUREPROC, ActiveTexture, glActiveTexture)                                      \
    X(PFNGLTEXIMAGE2DPROC, TexImage2D, glTexImage2D)                                               \
    X(PFNGLTEXSUBIMAGE2DPROC, TexSubImage2D, glTexSubImage2D)                                      \
    X(PFNGLGETTEXIMAGEPROC, GetTexImage, glGetTexImage)                                            \
    X(PFNGLTEXPARAMETERIPROC, TexParameteri, glTexParameteri)                                      \
    X(PFNGLGENSAMPLERSPROC, GenSamplers, glGenSamplers)                                            \
    X(PFNGLDELETESAMPLERSPROC, DeleteSamplers, glDeleteSamplers)                                   \
    X(PFNGLBINDSAMPLERPROC, BindSampler, glBindSampler)                                            \
    X(PFNGLSAMPLERPARAMETERIPROC, SamplerParameteri, glSamplerParameteri)                          \
    X(PFNGLSAMPLERPARAMETERFPROC, SamplerParameterf, glSamplerParameterf)                          \
    X(PFNGLSAMPLERPARAMETERFVPROC, SamplerParameterfv, glSamplerParameterfv)                       \
    X(PFNGLBLENDFUNCPROC, BlendFunc, glBlendFunc)                                                  \
    X(PFNGLBLENDEQUATIONPROC, BlendEquation, glBlendEquation)                                      \
    X(PFNGLDEPTHFUNCPROC, DepthFunc, glDepthFunc)                                                  \
    X(PFNGLDEPTHRANGEPROC, DepthRange, glDepthRange)                                               \
    X(PFNGLCULLFACEPROC, CullFace, glCullFace)                                                     \
    X(PFNGLFRONTFACEPROC, FrontFace, glFrontFace)                                                  \
    X(PFNGLPOLYGONOFFSETPROC, PolygonOffset, glPolygonOffset)                                      \
    X(PFNGLPOLYGONMODEPROC, PolygonMode, glPolygonMode)                                            \
    X(PFNGLSTENCILFUNCPROC, StencilFunc, glStencilFunc)                                            \
    X(PFNGLSTENCILOPPROC, StencilOp, glStencilOp)

struct Functions {
#define TARVOS_GL_DECLARE(type, member, name) type member = nullptr;
    TARVOS_GL_FUNCTIONS(TARVOS_GL_DECLARE)
#undef TARVOS_GL_DECLARE
};

// Fills `out` from the current context; false (with one trace line) when any function is missing.
bool LoadFunctions(Functions &out);

} // namespace d3d8::gl
