// Texels between a texture level in OpenGL and memory. A rectangle is sent with glTexSubImage2D
// and read back through a framebuffer the level is attached to: glGetTexImage would read the
// whole level, however small the rectangle.
#include "platform/d3d8/device.h"

#include "platform/d3d8/call_log.h"
#include "platform/d3d8/live_objects.h"
#include "platform/d3d8/pipeline.h"

namespace d3d8 {

GlTexelFormat GlTexelFormatOf(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
        return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, false};
    case D3DFMT_X8R8G8B8:
        return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, true};
    case D3DFMT_R8G8B8:
        return {GL_RGBA8, GL_BGR, GL_UNSIGNED_BYTE, true};
    case D3DFMT_R5G6B5:
        return {GL_RGBA8, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, true};
    case D3DFMT_X1R5G5B5:
        return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, true};
    case D3DFMT_A1R5G5B5:
        return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, false};
    case D3DFMT_A4R4G4B4:
        return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, false};
    default:
        return {0, 0, 0, true};
    }
}

StagingBlock Device::TakeStaging(std::size_t bytes) {
    StagingBlock block = std::move(m_spareStaging);
    m_spareStaging = {};
    if (block.capacity < bytes) {
        block.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(bytes);
        block.capacity = bytes;
    }
    return block;
}

void Device::GiveBackStaging(StagingBlock &&block) {
    if (block.capacity > m_spareStaging.capacity)
        m_spareStaging = std::move(block);
    block = {};
}

bool Device::ReadTexels(const TexelRegion &region, std::uint8_t *out) {
    const RECT &r = region.rect;
    LogCall("ReadTexels", region.face, region.level, r.left, r.top, r.right, r.bottom);
    if (!m_texelFramebuffer) {
        m_gl.GenFramebuffers(1, &m_texelFramebuffer);
        ++LiveGlCount();
    }
    while (m_gl.GetError() != GL_NO_ERROR) {
    }
    const GlTexelFormat f = GlTexelFormatOf(region.format);
    m_gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_texelFramebuffer);
    m_gl.FramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, region.FaceTarget(),
                              region.texture, static_cast<GLint>(region.level));
    m_gl.ReadBuffer(GL_COLOR_ATTACHMENT0);
    m_gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    m_gl.PixelStorei(GL_PACK_ROW_LENGTH, static_cast<GLint>(region.rowTexels));
    // Row 0 of a level is its top row, as in Direct3D: no flip.
    m_gl.ReadPixels(r.left, r.top, r.right - r.left, r.bottom - r.top, f.format, f.type, out);
    m_gl.PixelStorei(GL_PACK_ROW_LENGTH, 0);
    // Attached, the level would keep a deleted texture's storage alive.
    m_gl.FramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, region.FaceTarget(), 0, 0);
    m_gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
    return m_gl.GetError() == GL_NO_ERROR;
}

void Device::SendTexels(const TexelRegion &region, const std::uint8_t *in) {
    const RECT &r = region.rect;
    LogCall("SendTexels", region.face, region.level, r.left, r.top, r.right, r.bottom);
    const GlTexelFormat f = GlTexelFormatOf(region.format);
    m_gl.ActiveTexture(GL_TEXTURE0);
    m_gl.BindTexture(region.BindTarget(), region.texture);
    // Set on every send: nothing else may be assumed of the unpack state.
    m_gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    m_gl.PixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(region.rowTexels));
    m_gl.TexSubImage2D(region.FaceTarget(), static_cast<GLint>(region.level), r.left, r.top,
                       r.right - r.left, r.bottom - r.top, f.format, f.type, in);
    m_gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    m_pipeline->TouchTextureUnit(0);
}

} // namespace d3d8
