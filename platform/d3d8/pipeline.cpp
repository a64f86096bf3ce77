// Applies the recorded Direct3D states to OpenGL when drawing: picks the program for the state
// key, sends the uniforms that changed, sets depth, blending, culling, bias and samplers, and
// lays the vertex stream out for the program.
#include "platform/d3d8/pipeline.h"

#include "platform/d3d8/buffers.h"
#include "platform/d3d8/device.h"
#include "platform/d3d8/live_objects.h"
#include "platform/d3d8/render_states.h"
#include "platform/d3d8/shader_source.h"
#include "platform/d3d8/texture.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace d3d8 {
namespace {

std::array<float, 4> colourOf(DWORD c) {
    return {((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, (c & 0xFF) / 255.0f,
            ((c >> 24) & 0xFF) / 255.0f};
}

D3DMATRIX multiply(const D3DMATRIX &a, const D3DMATRIX &b) {
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a.m[i][k] * b.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

// The inverse transpose of the upper 3x3 of `m`, row-major, for transforming normals.
std::array<float, 9> normalMatrix(const D3DMATRIX &m) {
    const float a = m._11, b = m._12, c = m._13, d = m._21, e = m._22, f = m._23, g = m._31,
                h = m._32, i = m._33;
    const float A = e * i - f * h, B = -(d * i - f * g), C = d * h - e * g;
    const float D = -(b * i - c * h), E = a * i - c * g, F = -(a * h - b * g);
    const float G = b * f - c * e, H = -(a * f - c * d), I = a * e - b * d;
    const float det = a * A + b * B + c * C;
    if (std::fabs(det) < 1e-20f)
        return {0, 0, 0, 0, 0, 0, 0, 0, 0};
    const float s = 1.0f / det;
    // inverse = adjugate / det, with adjugate = cofactor transposed; its transpose is the
    // cofactor matrix itself.
    return {A * s, B * s, C * s, D * s, E * s, F * s, G * s, H * s, I * s};
}

GLenum compareOf(DWORD f) {
    static constexpr GLenum kFunc[] = {GL_ALWAYS,  GL_NEVER,    GL_LESS,   GL_EQUAL, GL_LEQUAL,
                                       GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
    return f <= 8 ? kFunc[f] : GL_ALWAYS;
}

GLenum blendOf(DWORD b) {
    switch (b) {
    case D3DBLEND_ZERO:
        return GL_ZERO;
    case D3DBLEND_ONE:
        return GL_ONE;
    case D3DBLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
        return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
        return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
        return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT:
        return GL_SRC_ALPHA_SATURATE;
    default:
        return GL_ONE;
    }
}

GLenum addressOf(DWORD a) {
    switch (a) {
    case D3DTADDRESS_MIRROR:
        return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
    case D3DTADDRESS_MIRRORONCE:
        return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
        return GL_CLAMP_TO_BORDER;
    default:
        return GL_REPEAT;
    }
}

} // namespace

Pipeline::Pipeline(Device &device, const gl::Functions &functions)
    : gl(functions), m_device(device), m_cache(functions) {
    gl.GenVertexArrays(1, &m_vao);
    gl.GenBuffers(1, &m_streamVertices);
    gl.GenBuffers(1, &m_streamIndices);
    gl.GenSamplers(kMaxStages, m_samplers.data());
    LiveGlCount() += 3 + kMaxStages;
    gl.BindVertexArray(m_vao);
    // Direct3D has no dithering unless asked for, and its defaults start from these.
    gl.Disable(GL_DITHER);
    gl.Enable(GL_CULL_FACE);
    gl.FrontFace(GL_CCW);
    ForgetEverything();
}

void Pipeline::Abandon() {
    m_cache.Abandon();
    m_abandoned = true;
}

Pipeline::~Pipeline() {
    if (m_abandoned) {
        LiveGlCount() -= 3 + kMaxStages;
        return;
    }
    m_cache.Clear();
    gl.DeleteSamplers(kMaxStages, m_samplers.data());
    gl.DeleteBuffers(1, &m_streamIndices);
    gl.DeleteBuffers(1, &m_streamVertices);
    gl.BindVertexArray(0);
    gl.DeleteVertexArrays(1, &m_vao);
    LiveGlCount() -= 3 + kMaxStages;
}

void Pipeline::ForgetTexture(const void *texture, GLuint name) {
    for (TextureStorage *&bound : m_state.textures)
        if (static_cast<const void *>(bound) == texture) {
            bound = nullptr;
            m_keyDirty = true;
        }
    // Deleting a texture unbinds it from every unit; a later texture may get its name again.
    for (GLuint &held : m_boundTextures)
        if (name && held == name)
            held = 0;
}

void Pipeline::ForgetBuffer(const void *buffer, GLuint name) {
    if (static_cast<const void *>(m_state.stream) == buffer)
        m_state.stream = nullptr;
    if (static_cast<const void *>(m_state.indices) == buffer)
        m_state.indices = nullptr;
    // Deleting a buffer detaches it from the vertex array; a later buffer may get its name again.
    if (name && m_attributeBuffer == name)
        m_attributeBuffer = 0;
    if (name && m_elementBuffer == name)
        m_elementBuffer = 0;
}

void Pipeline::ForgetEverything() {
    m_keyDirty = true;
    for (std::uint64_t &stamp : m_changed)
        stamp = ++m_clock;
    m_held.Forget();
    m_fixedDirty = true;
    m_samplerDirty.fill(true);
    m_boundTextures.fill(0);
    m_attributeBuffer = 0;
    m_elementBuffer = 0;
}

void GlFixedState::Forget() {
    const float unknown = std::numeric_limits<float>::quiet_NaN();
    for (GLint &v : viewport)
        v = -1;
    depthRange[0] = depthRange[1] = unknown;
    depthTest = depthMask = cull = polygonOffset = blend = dither = colourMask = -1;
    depthFunc = cullFace = polygonMode = blendSource = blendDestination = blendEquation = GL_NONE;
    offsetFactor = offsetUnits = unknown;
}

// What each render state reaches. Program choice: the states BuildKey reads; fixed GL state:
// those ApplyFixedState reads; uniforms: those Upload reads.
void Pipeline::RenderStateChanged(D3DRENDERSTATETYPE changed) {
    switch (changed) {
    case D3DRS_NORMALIZENORMALS:
    case D3DRS_LOCALVIEWER:
    case D3DRS_LIGHTING:
    case D3DRS_SPECULARENABLE:
    case D3DRS_COLORVERTEX:
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE:
    case D3DRS_ALPHATESTENABLE:
    case D3DRS_ALPHAFUNC:
        m_keyDirty = true;
        break;
    case D3DRS_ZENABLE:
    case D3DRS_ZFUNC:
    case D3DRS_ZWRITEENABLE:
    case D3DRS_CULLMODE:
    case D3DRS_FILLMODE:
    case D3DRS_ZBIAS:
    case D3DRS_ALPHABLENDENABLE:
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
    case D3DRS_BLENDOP:
    case D3DRS_COLORWRITEENABLE:
    case D3DRS_DITHERENABLE:
        m_fixedDirty = true;
        break;
    case D3DRS_AMBIENT:
        UniformsChanged(UniformGroup::Ambient);
        break;
    case D3DRS_TEXTUREFACTOR:
        UniformsChanged(UniformGroup::TextureFactor);
        break;
    case D3DRS_ALPHAREF:
        UniformsChanged(UniformGroup::AlphaReference);
        break;
    default:
        break; // not drawn with
    }
}

void Pipeline::TextureStageStateChanged(DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
    switch (type) {
    case D3DTSS_ADDRESSU:
    case D3DTSS_ADDRESSV:
    case D3DTSS_ADDRESSW:
    case D3DTSS_BORDERCOLOR:
    case D3DTSS_MAGFILTER:
    case D3DTSS_MINFILTER:
    case D3DTSS_MIPFILTER:
    case D3DTSS_MIPMAPLODBIAS:
    case D3DTSS_MAXMIPLEVEL:
        m_samplerDirty[stage] = true;
        break;
    default:
        m_keyDirty = true;
        break;
    }
}

void Pipeline::SetTexture(DWORD stage, TextureStorage *texture) {
    TextureStorage *&bound = m_state.textures[stage];
    // The program only knows what kind of texture a stage samples, not which one.
    const TextureKind before = bound ? bound->Kind() : TextureKind::None;
    const TextureKind after = texture ? texture->Kind() : TextureKind::None;
    if (before != after)
        m_keyDirty = true;
    bound = texture;
}

ProgramKey Pipeline::BuildKey() const {
    const auto &rs = m_state.render;
    const VertexLayout &layout = m_state.layout;
    ProgramKey key;
    key.pretransformed = layout.pretransformed;
    key.hasNormal = layout.normalOffset >= 0;
    key.hasDiffuse = layout.diffuseOffset >= 0;
    key.hasSpecular = layout.specularOffset >= 0;
    key.texSets = static_cast<std::uint8_t>(layout.texSets);
    for (int i = 0; i < layout.texSets; ++i)
        key.texDims[i] = layout.texDims[i];
    key.normalize = !layout.pretransformed && rs[D3DRS_NORMALIZENORMALS];
    key.localViewer = rs[D3DRS_LOCALVIEWER] != 0;
    if (!layout.pretransformed && rs[D3DRS_LIGHTING]) {
        key.lighting = 1;
        int lights = 0;
        for (const auto &[index, slot] : m_state.lights)
            if (slot.enabled && lights < kMaxLights)
                key.lightTypes[lights++] = static_cast<std::uint8_t>(slot.light.Type);
        key.lightCount = static_cast<std::uint8_t>(lights);
        key.specularEnable = rs[D3DRS_SPECULARENABLE] != 0;
        // A colour source names a vertex colour only when the vertex has it and colour vertex is
        // on; otherwise the material's colour is used.
        auto source = [&](D3DRENDERSTATETYPE s) -> std::uint8_t {
            const DWORD v = rs[s];
            if (!rs[D3DRS_COLORVERTEX])
                return D3DMCS_MATERIAL;
            if (v == D3DMCS_COLOR1 && key.hasDiffuse)
                return D3DMCS_COLOR1;
            if (v == D3DMCS_COLOR2 && key.hasSpecular)
                return D3DMCS_COLOR2;
            return D3DMCS_MATERIAL;
        };
        key.diffuseSource = source(D3DRS_DIFFUSEMATERIALSOURCE);
        key.ambientSource = source(D3DRS_AMBIENTMATERIALSOURCE);
        key.specularSource = source(D3DRS_SPECULARMATERIALSOURCE);
        key.emissiveSource = source(D3DRS_EMISSIVEMATERIALSOURCE);
    } else {
        key.specularEnable = rs[D3DRS_SPECULARENABLE] != 0;
    }
    if (rs[D3DRS_ALPHATESTENABLE])
        key.alphaFunc = static_cast<std::uint8_t>(rs[D3DRS_ALPHAFUNC]);

    for (int i = 0; i < kMaxStages; ++i) {
        const auto &ss = m_state.stage[i];
        if (ss[D3DTSS_COLOROP] == D3DTOP_DISABLE)
            break;
        StageKey &stage = key.stages[i];
        stage.colorOp = static_cast<std::uint8_t>(ss[D3DTSS_COLOROP]);
        stage.colorArg[0] = static_cast<std::uint8_t>(ss[D3DTSS_COLORARG0]);
        stage.colorArg[1] = static_cast<std::uint8_t>(ss[D3DTSS_COLORARG1]);
        stage.colorArg[2] = static_cast<std::uint8_t>(ss[D3DTSS_COLORARG2]);
        stage.alphaOp = static_cast<std::uint8_t>(ss[D3DTSS_ALPHAOP]);
        stage.alphaArg[0] = static_cast<std::uint8_t>(ss[D3DTSS_ALPHAARG0]);
        stage.alphaArg[1] = static_cast<std::uint8_t>(ss[D3DTSS_ALPHAARG1]);
        stage.alphaArg[2] = static_cast<std::uint8_t>(ss[D3DTSS_ALPHAARG2]);
        stage.resultTemp = ss[D3DTSS_RESULTARG] == D3DTA_TEMP;
        const TextureStorage *texture = m_state.textures[i];
        stage.texture = texture ? texture->Kind() : TextureKind::None;
        const DWORD index = ss[D3DTSS_TEXCOORDINDEX];
        stage.texGen = static_cast<std::uint8_t>(layout.pretransformed ? 0 : index >> 16);
        // A stage asking for a coordinate set the vertex lacks reads set 0, as meshes of this
        // era carry one set however many stages sample them.
        int set = static_cast<int>(index & 0xFFFF);
        if (set >= layout.texSets)
            set = 0;
        stage.coordSet = static_cast<std::uint8_t>(set);
        stage.coordDims = layout.texSets > 0 ? layout.texDims[set] : 0;
        const DWORD flags = ss[D3DTSS_TEXTURETRANSFORMFLAGS];
        if (!layout.pretransformed) {
            stage.transform = static_cast<std::uint8_t>(flags & 0xFF);
            stage.projected = (flags & D3DTTFF_PROJECTED) != 0;
        }
        key.stageCount = static_cast<std::uint8_t>(i + 1);
    }
    return key;
}

// The enabled lights in camera space: positions and directions through the view matrix.
void Pipeline::ComputeLights() {
    int n = 0;
    const D3DMATRIX &v = m_state.view;
    for (const auto &[index, slot] : m_state.lights) {
        if (!slot.enabled || n >= kMaxLights)
            continue;
        const D3DLIGHT8 &l = slot.light;
        for (int c = 0; c < 4; ++c) {
            m_lightDiffuse[n * 4 + c] = (&l.Diffuse.r)[c];
            m_lightSpecular[n * 4 + c] = (&l.Specular.r)[c];
            m_lightAmbient[n * 4 + c] = (&l.Ambient.r)[c];
        }
        const D3DVECTOR p = l.Position, d = l.Direction;
        m_lightPosition[n * 3 + 0] = p.x * v._11 + p.y * v._21 + p.z * v._31 + v._41;
        m_lightPosition[n * 3 + 1] = p.x * v._12 + p.y * v._22 + p.z * v._32 + v._42;
        m_lightPosition[n * 3 + 2] = p.x * v._13 + p.y * v._23 + p.z * v._33 + v._43;
        float dx = d.x * v._11 + d.y * v._21 + d.z * v._31;
        float dy = d.x * v._12 + d.y * v._22 + d.z * v._32;
        float dz = d.x * v._13 + d.y * v._23 + d.z * v._33;
        const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
        if (length > 0.0f) {
            dx /= length;
            dy /= length;
            dz /= length;
        }
        m_lightDirection[n * 3 + 0] = dx;
        m_lightDirection[n * 3 + 1] = dy;
        m_lightDirection[n * 3 + 2] = dz;
        m_lightAttenuation[n * 3 + 0] = l.Attenuation0;
        m_lightAttenuation[n * 3 + 1] = l.Attenuation1;
        m_lightAttenuation[n * 3 + 2] = l.Attenuation2;
        m_lightRange[n * 4 + 0] = l.Range;
        m_lightRange[n * 4 + 1] = l.Falloff;
        m_lightRange[n * 4 + 2] = std::cos(l.Theta / 2.0f);
        m_lightRange[n * 4 + 3] = std::cos(l.Phi / 2.0f);
        ++n;
    }
    m_lightCount = n;
}

void Pipeline::Upload(Program &program) {
    // True once per change of `group` that this program has not received yet.
    auto stale = [&](UniformGroup group) {
        const int g = static_cast<int>(group);
        if (program.received[g] == m_changed[g])
            return false;
        program.received[g] = m_changed[g];
        return true;
    };
    const auto &rs = m_state.render;
    if (stale(UniformGroup::Transforms)) {
        const D3DMATRIX worldView = multiply(m_state.world, m_state.view);
        gl.UniformMatrix4fv(program.worldView, 1, GL_FALSE, &worldView._11);
        if (program.normalMatrix >= 0) {
            const auto normal = normalMatrix(worldView);
            gl.UniformMatrix3fv(program.normalMatrix, 1, GL_FALSE, normal.data());
        }
    }
    if (stale(UniformGroup::Projection))
        gl.UniformMatrix4fv(program.projection, 1, GL_FALSE, &m_state.projection._11);
    if (stale(UniformGroup::Viewport) && program.screen >= 0) {
        const D3DVIEWPORT8 &vp = m_state.viewport;
        const float screen[4] = {static_cast<float>(vp.X), static_cast<float>(vp.Y),
                                 2.0f / static_cast<float>(vp.Width),
                                 2.0f / static_cast<float>(vp.Height)};
        gl.Uniform4fv(program.screen, 1, screen);
    }
    if (stale(UniformGroup::TextureMatrices) && program.texMatrix >= 0)
        gl.UniformMatrix4fv(program.texMatrix, kMaxStages, GL_FALSE, &m_state.texture[0]._11);
    if (stale(UniformGroup::Material)) {
        const D3DMATERIAL8 &m = m_state.material;
        gl.Uniform4fv(program.matDiffuse, 1, &m.Diffuse.r);
        gl.Uniform4fv(program.matAmbient, 1, &m.Ambient.r);
        gl.Uniform4fv(program.matSpecular, 1, &m.Specular.r);
        gl.Uniform4fv(program.matEmissive, 1, &m.Emissive.r);
        gl.Uniform1f(program.matPower, m.Power);
    }
    if (stale(UniformGroup::Ambient))
        gl.Uniform4fv(program.globalAmbient, 1, colourOf(rs[D3DRS_AMBIENT]).data());
    if (stale(UniformGroup::TextureFactor))
        gl.Uniform4fv(program.textureFactor, 1, colourOf(rs[D3DRS_TEXTUREFACTOR]).data());
    if (stale(UniformGroup::AlphaReference))
        gl.Uniform1f(program.alphaReference,
                     static_cast<float>(rs[D3DRS_ALPHAREF] & 0xFF) / 255.0f);

    if (program.lightCount == 0 || !stale(UniformGroup::Lights))
        return;
    if (m_lightsComputed != m_changed[static_cast<int>(UniformGroup::Lights)]) {
        ComputeLights();
        m_lightsComputed = m_changed[static_cast<int>(UniformGroup::Lights)];
    }
    const int n = m_lightCount;
    if (n == 0)
        return;
    gl.Uniform4fv(program.lightDiffuse, n, m_lightDiffuse);
    gl.Uniform4fv(program.lightSpecular, n, m_lightSpecular);
    gl.Uniform4fv(program.lightAmbient, n, m_lightAmbient);
    gl.Uniform3fv(program.lightPosition, n, m_lightPosition);
    gl.Uniform3fv(program.lightDirection, n, m_lightDirection);
    gl.Uniform3fv(program.lightAttenuation, n, m_lightAttenuation);
    gl.Uniform4fv(program.lightRange, n, m_lightRange);
}

void Pipeline::ApplyFixedState() {
    const auto &rs = m_state.render;
    GlFixedState &held = m_held;
    // True when OpenGL does not hold `wanted` yet; then it is taken as held.
    auto change = [](auto &current, auto wanted) {
        if (current == wanted)
            return false;
        current = wanted;
        return true;
    };
    auto enable = [&](int &current, bool on, GLenum capability) {
        if (!change(current, on ? 1 : 0))
            return;
        if (on)
            gl.Enable(capability);
        else
            gl.Disable(capability);
    };

    const D3DVIEWPORT8 &vp = m_state.viewport;
    // Row 0 of the back buffer is the picture's top, so the viewport maps without flipping.
    const GLint viewport[4] = {static_cast<GLint>(vp.X), static_cast<GLint>(vp.Y),
                               static_cast<GLsizei>(vp.Width), static_cast<GLsizei>(vp.Height)};
    if (!std::equal(viewport, viewport + 4, held.viewport)) {
        std::copy(viewport, viewport + 4, held.viewport);
        gl.Viewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    }
    if (held.depthRange[0] != vp.MinZ || held.depthRange[1] != vp.MaxZ) {
        held.depthRange[0] = vp.MinZ;
        held.depthRange[1] = vp.MaxZ;
        gl.DepthRange(vp.MinZ, vp.MaxZ);
    }

    enable(held.depthTest, rs[D3DRS_ZENABLE] != 0, GL_DEPTH_TEST);
    if (rs[D3DRS_ZENABLE] && change(held.depthFunc, compareOf(rs[D3DRS_ZFUNC])))
        gl.DepthFunc(held.depthFunc);
    if (change(held.depthMask, rs[D3DRS_ZWRITEENABLE] ? 1 : 0))
        gl.DepthMask(held.depthMask ? GL_TRUE : GL_FALSE);

    // With clip-space y flipped onto a top-down framebuffer, a triangle clockwise on screen is
    // counter-clockwise to OpenGL.
    const DWORD cull = rs[D3DRS_CULLMODE];
    enable(held.cull, cull != D3DCULL_NONE, GL_CULL_FACE);
    if (cull != D3DCULL_NONE &&
        change(held.cullFace, static_cast<GLenum>(cull == D3DCULL_CW ? GL_FRONT : GL_BACK)))
        gl.CullFace(held.cullFace);
    static constexpr GLenum kFill[] = {GL_FILL, GL_POINT, GL_LINE, GL_FILL};
    if (change(held.polygonMode, kFill[rs[D3DRS_FILLMODE] & 3]))
        gl.PolygonMode(GL_FRONT_AND_BACK, held.polygonMode);

    // Each step of depth bias pulls the surface well in front of geometry in the same plane,
    // whatever its slope.
    const DWORD bias = rs[D3DRS_ZBIAS];
    enable(held.polygonOffset, bias != 0, GL_POLYGON_OFFSET_FILL);
    if (bias) {
        const float factor = -1.0f * static_cast<float>(bias);
        const float units = -4.0f * static_cast<float>(bias);
        if (held.offsetFactor != factor || held.offsetUnits != units) {
            held.offsetFactor = factor;
            held.offsetUnits = units;
            gl.PolygonOffset(factor, units);
        }
    }

    enable(held.blend, rs[D3DRS_ALPHABLENDENABLE] != 0, GL_BLEND);
    if (rs[D3DRS_ALPHABLENDENABLE]) {
        DWORD src = rs[D3DRS_SRCBLEND], dst = rs[D3DRS_DESTBLEND];
        if (src == D3DBLEND_BOTHSRCALPHA) {
            src = D3DBLEND_SRCALPHA;
            dst = D3DBLEND_INVSRCALPHA;
        } else if (src == D3DBLEND_BOTHINVSRCALPHA) {
            src = D3DBLEND_INVSRCALPHA;
            dst = D3DBLEND_SRCALPHA;
        }
        const bool source = change(held.blendSource, blendOf(src));
        if (change(held.blendDestination, blendOf(dst)) || source)
            gl.BlendFunc(held.blendSource, held.blendDestination);
        static constexpr GLenum kOp[] = {
            GL_FUNC_ADD, GL_FUNC_ADD, GL_FUNC_SUBTRACT, GL_FUNC_REVERSE_SUBTRACT, GL_MIN, GL_MAX};
        if (change(held.blendEquation, kOp[std::min<DWORD>(rs[D3DRS_BLENDOP], 5)]))
            gl.BlendEquation(held.blendEquation);
    }
    const int mask = static_cast<int>(rs[D3DRS_COLORWRITEENABLE] & 0xF);
    if (change(held.colourMask, mask))
        gl.ColorMask(mask & 1 ? GL_TRUE : GL_FALSE, mask & 2 ? GL_TRUE : GL_FALSE,
                     mask & 4 ? GL_TRUE : GL_FALSE, mask & 8 ? GL_TRUE : GL_FALSE);
    enable(held.dither, rs[D3DRS_DITHERENABLE] != 0, GL_DITHER);
}

void Pipeline::ApplySamplers() {
    // Before any unit is bound: giving a texture its missing levels binds it on unit 0.
    for (TextureStorage *texture : m_state.textures)
        if (texture && texture->HasUnwrittenLevels())
            texture->DefineUnwrittenLevels();
    for (int i = 0; i < kMaxStages; ++i) {
        TextureStorage *texture = m_state.textures[i];
        const GLuint name = texture ? texture->Name() : 0;
        // A stage without a texture samples nothing; whatever its unit holds stays there.
        if (!name)
            continue;
        if (m_boundTextures[i] != name) {
            gl.ActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(i));
            gl.BindTexture(
                texture->Kind() == TextureKind::Cube ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D, name);
            m_boundTextures[i] = name;
        }
        if (m_samplerDirty[i]) {
            const auto &ss = m_state.stage[i];
            const GLuint sampler = m_samplers[i];
            const bool linearMin = ss[D3DTSS_MINFILTER] >= D3DTEXF_LINEAR;
            GLenum minFilter = linearMin ? GL_LINEAR : GL_NEAREST;
            if (ss[D3DTSS_MIPFILTER] == D3DTEXF_POINT)
                minFilter = linearMin ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
            else if (ss[D3DTSS_MIPFILTER] >= D3DTEXF_LINEAR)
                minFilter = linearMin ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
            gl.SamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
            gl.SamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER,
                                 ss[D3DTSS_MAGFILTER] >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
            gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_S,
                                 static_cast<GLint>(addressOf(ss[D3DTSS_ADDRESSU])));
            gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_T,
                                 static_cast<GLint>(addressOf(ss[D3DTSS_ADDRESSV])));
            gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_R,
                                 static_cast<GLint>(addressOf(ss[D3DTSS_ADDRESSW])));
            gl.SamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR,
                                  colourOf(ss[D3DTSS_BORDERCOLOR]).data());
            gl.SamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS,
                                 std::bit_cast<float>(ss[D3DTSS_MIPMAPLODBIAS]));
            gl.SamplerParameterf(sampler, GL_TEXTURE_MIN_LOD,
                                 static_cast<float>(ss[D3DTSS_MAXMIPLEVEL]));
            gl.BindSampler(static_cast<GLuint>(i), sampler);
            m_samplerDirty[i] = false;
        }
    }
}

GLuint Pipeline::StreamVertices(const void *data, std::size_t bytes) {
    gl.BindBuffer(GL_ARRAY_BUFFER, m_streamVertices);
    gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), data, GL_STREAM_DRAW);
    return m_streamVertices;
}

GLuint Pipeline::StreamIndices(const void *data, std::size_t bytes) {
    gl.BindBuffer(GL_ARRAY_BUFFER, m_streamIndices);
    gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), data, GL_STREAM_DRAW);
    return m_streamIndices;
}

// Points the vertex arrays into `call.vertices` for the current vertex format, unless they
// already point there.
void Pipeline::ApplyAttributes(const DrawCall &call) {
    if (call.vertices && call.vertices == m_attributeBuffer && call.stride == m_attributeStride &&
        m_state.fvf == m_attributeFvf)
        return;
    m_attributeBuffer = call.vertices;
    m_attributeStride = call.stride;
    m_attributeFvf = m_state.fvf;
    const VertexLayout &layout = m_state.layout;
    gl.BindBuffer(GL_ARRAY_BUFFER, call.vertices);
    auto attribute = [&](int location, bool on, GLint size, GLenum type, GLboolean normalised,
                         int offset) {
        if (on) {
            gl.VertexAttribPointer(static_cast<GLuint>(location), size, type, normalised,
                                   static_cast<GLsizei>(call.stride),
                                   reinterpret_cast<const void *>(static_cast<size_t>(offset)));
        }
        if (m_attributeOn[location] != (on ? 1 : 0)) {
            if (on)
                gl.EnableVertexAttribArray(static_cast<GLuint>(location));
            else
                gl.DisableVertexAttribArray(static_cast<GLuint>(location));
            m_attributeOn[location] = on ? 1 : 0;
        }
    };
    attribute(kPositionAttribute, true, layout.pretransformed ? 4 : 3, GL_FLOAT, GL_FALSE,
              layout.positionOffset);
    attribute(kNormalAttribute, layout.normalOffset >= 0, 3, GL_FLOAT, GL_FALSE,
              layout.normalOffset);
    // Direct3D colours are 0xAARRGGBB words: blue, green, red, alpha bytes in memory.
    attribute(kDiffuseAttribute, layout.diffuseOffset >= 0, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE,
              layout.diffuseOffset);
    attribute(kSpecularAttribute, layout.specularOffset >= 0, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE,
              layout.specularOffset);
    for (int set = 0; set < 8; ++set)
        attribute(kTexCoordAttribute + set, set < layout.texSets, layout.texDims[set], GL_FLOAT,
                  GL_FALSE, layout.texOffset[set]);
}

HRESULT Pipeline::Draw(const DrawCall &call) {
    if (m_keyDirty) {
        m_program = &m_cache.Get(BuildKey());
        m_keyDirty = false;
    }
    Program &program = *m_program;
    if (!program.id)
        return S_OK; // reported once when it failed to build; the draw is skipped
    if (m_currentProgram != program.id) {
        gl.UseProgram(program.id);
        m_currentProgram = program.id;
    }
    Upload(program);
    if (m_fixedDirty) {
        ApplyFixedState();
        m_fixedDirty = false;
    }
    ApplySamplers();
    ApplyAttributes(call);

    if (call.indices) {
        if (m_elementBuffer != call.indices) {
            gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, call.indices);
            m_elementBuffer = call.indices;
        }
        gl.DrawElementsBaseVertex(
            call.mode, call.count, call.indexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
            reinterpret_cast<const void *>(call.indexOffset), call.baseVertex);
    } else {
        gl.DrawArrays(call.mode, call.first, call.count);
    }
    return S_OK;
}

} // namespace d3d8
