// Recording of the device's states: render states, texture stage states, transforms, material,
// lights and viewport, with Direct3D 8's defaults and its refusal of values it does not define.
// Nothing reaches OpenGL here; draws apply what they need.
#include "platform/d3d8/call_log.h"
#include "platform/d3d8/device.h"
#include "platform/d3d8/pipeline.h"
#include "platform/d3d8/trace.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <string>

namespace d3d8 {
namespace {

DWORD floatBits(float value) {
    return std::bit_cast<DWORD>(value);
}

enum class Values {
    None,
    Any,
    Bool,
    ZBuffer,
    Fill,
    Shade,
    Blend,
    Cull,
    Compare,
    Fog,
    StencilOp,
    ColourSource,
    BlendOp,
    VertexBlend,
    Patch
};

struct RenderStateInfo {
    Values values = Values::None; // None: Direct3D 8 has no such state
    DWORD initial = 0;
};

// Direct3D 8's render states with their published defaults. ZENABLE's default depends on the
// presentation and is set separately.
const std::array<RenderStateInfo, kRenderStateCount> &renderStateTable() {
    static const auto table = [] {
        std::array<RenderStateInfo, kRenderStateCount> t{};
        auto set = [&](D3DRENDERSTATETYPE s, Values v, DWORD initial) { t[s] = {v, initial}; };
        set(D3DRS_ZENABLE, Values::ZBuffer, D3DZB_FALSE);
        set(D3DRS_FILLMODE, Values::Fill, D3DFILL_SOLID);
        set(D3DRS_SHADEMODE, Values::Shade, D3DSHADE_GOURAUD);
        set(D3DRS_LINEPATTERN, Values::Any, 0);
        set(D3DRS_ZWRITEENABLE, Values::Bool, TRUE);
        set(D3DRS_ALPHATESTENABLE, Values::Bool, FALSE);
        set(D3DRS_LASTPIXEL, Values::Bool, TRUE);
        set(D3DRS_SRCBLEND, Values::Blend, D3DBLEND_ONE);
        set(D3DRS_DESTBLEND, Values::Blend, D3DBLEND_ZERO);
        set(D3DRS_CULLMODE, Values::Cull, D3DCULL_CCW);
        set(D3DRS_ZFUNC, Values::Compare, D3DCMP_LESSEQUAL);
        set(D3DRS_ALPHAREF, Values::Any, 0);
        set(D3DRS_ALPHAFUNC, Values::Compare, D3DCMP_ALWAYS);
        set(D3DRS_DITHERENABLE, Values::Bool, FALSE);
        set(D3DRS_ALPHABLENDENABLE, Values::Bool, FALSE);
        set(D3DRS_FOGENABLE, Values::Bool, FALSE);
        set(D3DRS_SPECULARENABLE, Values::Bool, FALSE);
        set(D3DRS_ZVISIBLE, Values::Bool, FALSE);
        set(D3DRS_FOGCOLOR, Values::Any, 0);
        set(D3DRS_FOGTABLEMODE, Values::Fog, D3DFOG_NONE);
        set(D3DRS_FOGSTART, Values::Any, floatBits(0.0f));
        set(D3DRS_FOGEND, Values::Any, floatBits(1.0f));
        set(D3DRS_FOGDENSITY, Values::Any, floatBits(1.0f));
        set(D3DRS_EDGEANTIALIAS, Values::Bool, FALSE);
        set(D3DRS_ZBIAS, Values::Any, 0);
        set(D3DRS_RANGEFOGENABLE, Values::Bool, FALSE);
        set(D3DRS_STENCILENABLE, Values::Bool, FALSE);
        set(D3DRS_STENCILFAIL, Values::StencilOp, D3DSTENCILOP_KEEP);
        set(D3DRS_STENCILZFAIL, Values::StencilOp, D3DSTENCILOP_KEEP);
        set(D3DRS_STENCILPASS, Values::StencilOp, D3DSTENCILOP_KEEP);
        set(D3DRS_STENCILFUNC, Values::Compare, D3DCMP_ALWAYS);
        set(D3DRS_STENCILREF, Values::Any, 0);
        set(D3DRS_STENCILMASK, Values::Any, 0xFFFFFFFF);
        set(D3DRS_STENCILWRITEMASK, Values::Any, 0xFFFFFFFF);
        set(D3DRS_TEXTUREFACTOR, Values::Any, 0xFFFFFFFF);
        for (int wrap = D3DRS_WRAP0; wrap <= D3DRS_WRAP7; ++wrap)
            t[wrap] = {Values::Any, 0};
        set(D3DRS_CLIPPING, Values::Bool, TRUE);
        set(D3DRS_LIGHTING, Values::Bool, TRUE);
        set(D3DRS_AMBIENT, Values::Any, 0);
        set(D3DRS_FOGVERTEXMODE, Values::Fog, D3DFOG_NONE);
        set(D3DRS_COLORVERTEX, Values::Bool, TRUE);
        set(D3DRS_LOCALVIEWER, Values::Bool, TRUE);
        set(D3DRS_NORMALIZENORMALS, Values::Bool, FALSE);
        set(D3DRS_DIFFUSEMATERIALSOURCE, Values::ColourSource, D3DMCS_COLOR1);
        set(D3DRS_SPECULARMATERIALSOURCE, Values::ColourSource, D3DMCS_COLOR2);
        set(D3DRS_AMBIENTMATERIALSOURCE, Values::ColourSource, D3DMCS_MATERIAL);
        set(D3DRS_EMISSIVEMATERIALSOURCE, Values::ColourSource, D3DMCS_MATERIAL);
        set(D3DRS_VERTEXBLEND, Values::VertexBlend, 0);
        set(D3DRS_CLIPPLANEENABLE, Values::Any, 0);
        set(D3DRS_SOFTWAREVERTEXPROCESSING, Values::Bool, FALSE);
        set(D3DRS_POINTSIZE, Values::Any, floatBits(1.0f));
        set(D3DRS_POINTSIZE_MIN, Values::Any, floatBits(0.0f));
        set(D3DRS_POINTSPRITEENABLE, Values::Bool, FALSE);
        set(D3DRS_POINTSCALEENABLE, Values::Bool, FALSE);
        set(D3DRS_POINTSCALE_A, Values::Any, floatBits(1.0f));
        set(D3DRS_POINTSCALE_B, Values::Any, floatBits(0.0f));
        set(D3DRS_POINTSCALE_C, Values::Any, floatBits(0.0f));
        set(D3DRS_MULTISAMPLEANTIALIAS, Values::Bool, TRUE);
        set(D3DRS_MULTISAMPLEMASK, Values::Any, 0xFFFFFFFF);
        set(D3DRS_PATCHEDGESTYLE, Values::Bool, 0);
        set(D3DRS_PATCHSEGMENTS, Values::Any, floatBits(1.0f));
        set(D3DRS_DEBUGMONITORTOKEN, Values::Any, 0);
        set(D3DRS_POINTSIZE_MAX, Values::Any, floatBits(64.0f));
        set(D3DRS_INDEXEDVERTEXBLENDENABLE, Values::Bool, FALSE);
        set(D3DRS_COLORWRITEENABLE, Values::Any, 0xF);
        set(D3DRS_TWEENFACTOR, Values::Any, floatBits(0.0f));
        set(D3DRS_BLENDOP, Values::BlendOp, D3DBLENDOP_ADD);
        set(D3DRS_POSITIONORDER, Values::Patch, 3);
        set(D3DRS_NORMALORDER, Values::Patch, 1);
        return t;
    }();
    return table;
}

bool validRenderValue(D3DRENDERSTATETYPE state, Values values, DWORD v) {
    switch (values) {
    case Values::None:
        return false;
    case Values::Any:
        return state != D3DRS_COLORWRITEENABLE || v <= 0xF;
    case Values::Bool:
        return v <= 1;
    case Values::ZBuffer:
        return v <= 2;
    case Values::Fill:
    case Values::Shade:
    case Values::Cull:
        return v >= 1 && v <= 3;
    case Values::Blend:
        return v >= 1 && v <= 13;
    case Values::Compare:
    case Values::StencilOp:
        return v >= 1 && v <= 8;
    case Values::Fog:
        return v <= 3;
    case Values::ColourSource:
        return v <= 2;
    case Values::BlendOp:
        return v >= 1 && v <= 5;
    case Values::VertexBlend:
        return v <= 3 || v == 255;
    case Values::Patch:
        return v == 1 || v == 3;
    }
    return false;
}

bool validArgument(DWORD v) {
    return (v & ~0x3Fu) == 0 && (v & D3DTA_SELECTMASK) <= D3DTA_TEMP;
}

bool validStageValue(D3DTEXTURESTAGESTATETYPE type, DWORD v) {
    switch (type) {
    case D3DTSS_COLOROP:
    case D3DTSS_ALPHAOP:
        return v >= D3DTOP_DISABLE && v <= D3DTOP_LERP;
    case D3DTSS_COLORARG0:
    case D3DTSS_COLORARG1:
    case D3DTSS_COLORARG2:
    case D3DTSS_ALPHAARG0:
    case D3DTSS_ALPHAARG1:
    case D3DTSS_ALPHAARG2:
        return validArgument(v);
    case D3DTSS_RESULTARG:
        return v == D3DTA_CURRENT || v == D3DTA_TEMP;
    case D3DTSS_TEXCOORDINDEX:
        return (v & 0xFFFF) < 8 && (v >> 16) <= 3;
    case D3DTSS_ADDRESSU:
    case D3DTSS_ADDRESSV:
    case D3DTSS_ADDRESSW:
        return v >= D3DTADDRESS_WRAP && v <= D3DTADDRESS_MIRRORONCE;
    case D3DTSS_MAGFILTER:
    case D3DTSS_MINFILTER:
    case D3DTSS_MIPFILTER:
        return v <= D3DTEXF_GAUSSIANCUBIC;
    case D3DTSS_TEXTURETRANSFORMFLAGS:
        return (v & ~static_cast<DWORD>(D3DTTFF_PROJECTED)) <= D3DTTFF_COUNT4;
    case D3DTSS_BUMPENVMAT00:
    case D3DTSS_BUMPENVMAT01:
    case D3DTSS_BUMPENVMAT10:
    case D3DTSS_BUMPENVMAT11:
    case D3DTSS_BORDERCOLOR:
    case D3DTSS_MIPMAPLODBIAS:
    case D3DTSS_MAXMIPLEVEL:
    case D3DTSS_MAXANISOTROPY:
    case D3DTSS_BUMPENVLSCALE:
    case D3DTSS_BUMPENVLOFFSET:
        return true;
    default:
        return false;
    }
}

D3DMATRIX identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// The recorded matrix of a transform type; null when Direct3D has none of that type.
template <typename State>
auto transformOf(State &state, D3DTRANSFORMSTATETYPE type) -> decltype(&state.view) {
    const int t = type;
    if (t == D3DTS_VIEW)
        return &state.view;
    if (t == D3DTS_PROJECTION)
        return &state.projection;
    if (t >= D3DTS_TEXTURE0 && t <= D3DTS_TEXTURE7)
        return &state.texture[t - D3DTS_TEXTURE0];
    if (t == D3DTS_WORLD)
        return &state.world;
    if (t > D3DTS_WORLD && t <= D3DTS_WORLD + 3)
        return &state.blendWorld[t - D3DTS_WORLD - 1];
    return nullptr;
}

bool validColour(const D3DCOLORVALUE &c) {
    return std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b) && std::isfinite(c.a);
}

} // namespace

void Pipeline::ResetToDefaults(UINT width, UINT height, bool hasDepth) {
    const auto &table = renderStateTable();
    for (int i = 0; i < kRenderStateCount; ++i)
        m_state.render[i] = table[i].initial;
    m_state.render[D3DRS_ZENABLE] = hasDepth ? D3DZB_TRUE : D3DZB_FALSE;
    for (int s = 0; s < kMaxStages; ++s) {
        auto &stage = m_state.stage[s];
        stage.fill(0);
        stage[D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        stage[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        stage[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        stage[D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        stage[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        stage[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        stage[D3DTSS_COLORARG0] = D3DTA_CURRENT;
        stage[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
        stage[D3DTSS_RESULTARG] = D3DTA_CURRENT;
        stage[D3DTSS_TEXCOORDINDEX] = static_cast<DWORD>(s);
        stage[D3DTSS_ADDRESSU] = stage[D3DTSS_ADDRESSV] = stage[D3DTSS_ADDRESSW] = D3DTADDRESS_WRAP;
        stage[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
        stage[D3DTSS_MINFILTER] = D3DTEXF_POINT;
        stage[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
        stage[D3DTSS_MAXANISOTROPY] = 1;
        stage[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
        m_state.texture[s] = identity();
        m_state.textures[s] = nullptr;
        m_samplerDirty[s] = true;
    }
    m_state.world = m_state.view = m_state.projection = identity();
    m_state.blendWorld.fill(identity());
    m_state.material = D3DMATERIAL8{};
    m_state.lights.clear();
    m_state.viewport = D3DVIEWPORT8{0, 0, width, height, 0.0f, 1.0f};
    m_state.fvf = 0;
    m_state.layout = VertexLayout{};
    m_state.stream = nullptr;
    m_state.stride = 0;
    m_state.indices = nullptr;
    m_state.baseVertex = 0;
    ForgetEverything();
}

void Pipeline::SetRenderState(D3DRENDERSTATETYPE type, DWORD value) {
    if (m_state.render[type] == value)
        return;
    m_state.render[type] = value;
    RenderStateChanged(type);
}

void Pipeline::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    DWORD &slot = m_state.stage[stage][type];
    if (slot == value)
        return;
    slot = value;
    TextureStageStateChanged(stage, type);
}

bool Pipeline::SetTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX &matrix) {
    D3DMATRIX *slot = transformOf(m_state, type);
    if (!slot)
        return false;
    if (std::memcmp(slot, &matrix, sizeof *slot) == 0)
        return true;
    *slot = matrix;
    const int t = type;
    if (t == D3DTS_WORLD) {
        UniformsChanged(UniformGroup::Transforms);
    } else if (t == D3DTS_VIEW) {
        UniformsChanged(UniformGroup::Transforms);
        UniformsChanged(UniformGroup::Lights);
    } else if (t == D3DTS_PROJECTION) {
        UniformsChanged(UniformGroup::Projection);
    } else if (t >= D3DTS_TEXTURE0 && t <= D3DTS_TEXTURE7) {
        UniformsChanged(UniformGroup::TextureMatrices);
    }
    return true;
}

void Pipeline::SetMaterial(const D3DMATERIAL8 &material) {
    m_state.material = material;
    UniformsChanged(UniformGroup::Material);
}

void Pipeline::SetLight(DWORD index, const D3DLIGHT8 &light) {
    m_state.lights[index].light = light;
    UniformsChanged(UniformGroup::Lights);
    KeyChanged(); // its type may have changed
}

bool Pipeline::EnableLight(DWORD index, bool on) {
    auto &lights = m_state.lights;
    auto found = lights.find(index);
    if (found == lights.end()) {
        // Enabling a light never set gives it the default: white, directional, along +z.
        LightSlot slot;
        slot.light.Type = D3DLIGHT_DIRECTIONAL;
        slot.light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
        slot.light.Direction = {0.0f, 0.0f, 1.0f};
        found = lights.emplace(index, slot).first;
    }
    if (on) {
        int enabled = 0;
        for (const auto &[i, slot] : lights)
            enabled += (slot.enabled && i != index) ? 1 : 0;
        if (enabled >= kMaxLights)
            return false;
    }
    found->second.enabled = on;
    UniformsChanged(UniformGroup::Lights);
    KeyChanged();
    return true;
}

void Pipeline::SetViewport(const D3DVIEWPORT8 &viewport) {
    m_state.viewport = viewport;
    UniformsChanged(UniformGroup::Viewport);
    FixedStateChanged();
}

void Pipeline::SetVertexFormat(DWORD fvf, const VertexLayout &layout) {
    if (m_state.fvf == fvf)
        return;
    m_state.fvf = fvf;
    m_state.layout = layout;
    KeyChanged();
}

void Pipeline::SetStream(VertexBuffer *buffer, UINT stride) {
    m_state.stream = buffer;
    m_state.stride = stride;
}

void Pipeline::SetIndices(IndexBuffer *buffer, UINT baseVertex) {
    m_state.indices = buffer;
    m_state.baseVertex = baseVertex;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    LogCall("SetRenderState", state, value);
    const auto &table = renderStateTable();
    if (state < 0 || state >= kRenderStateCount ||
        !validRenderValue(state, table[state].values, value)) {
        Trace("SetRenderState: state " + std::to_string(state) + " cannot take " +
              std::to_string(value));
        return D3DERR_INVALIDCALL;
    }
    m_pipeline->SetRenderState(state, value);
    return S_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD *value) {
    if (!value || state < 0 || state >= kRenderStateCount ||
        renderStateTable()[state].values == Values::None)
        return D3DERR_INVALIDCALL;
    *value = m_pipeline->State().render[state];
    return S_OK;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    LogCall("SetTextureStageState", stage, type, value);
    if (stage >= static_cast<DWORD>(kMaxStages) || !validStageValue(type, value)) {
        Trace("SetTextureStageState: stage " + std::to_string(stage) + " state " +
              std::to_string(type) + " cannot take " + std::to_string(value));
        return D3DERR_INVALIDCALL;
    }
    m_pipeline->SetTextureStageState(stage, type, value);
    return S_OK;
}

HRESULT Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD *value) {
    // Types 1..28 exist except 12.
    if (!value || stage >= static_cast<DWORD>(kMaxStages) || type < D3DTSS_COLOROP ||
        type > D3DTSS_RESULTARG || type == 12)
        return D3DERR_INVALIDCALL;
    *value = m_pipeline->State().stage[stage][type];
    return S_OK;
}

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX *matrix) {
    if (matrix)
        LogCall("SetTransform", type, matrix->_11, matrix->_12, matrix->_13, matrix->_14,
                matrix->_21, matrix->_22, matrix->_23, matrix->_24, matrix->_31, matrix->_32,
                matrix->_33, matrix->_34, matrix->_41, matrix->_42, matrix->_43, matrix->_44);
    else
        LogCall("SetTransform", type, "NULL");
    if (!matrix || !m_pipeline->SetTransform(type, *matrix))
        return D3DERR_INVALIDCALL;
    return S_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX *matrix) {
    const D3DMATRIX *slot = transformOf(m_pipeline->State(), type);
    if (!slot || !matrix)
        return D3DERR_INVALIDCALL;
    *matrix = *slot;
    return S_OK;
}

HRESULT Device::SetMaterial(const D3DMATERIAL8 *material) {
    if (!material) {
        LogCall("SetMaterial", "NULL");
        return D3DERR_INVALIDCALL;
    }
    const D3DMATERIAL8 &m = *material;
    LogCall("SetMaterial", m.Diffuse.r, m.Diffuse.g, m.Diffuse.b, m.Diffuse.a, m.Ambient.r,
            m.Ambient.g, m.Ambient.b, m.Ambient.a, m.Specular.r, m.Specular.g, m.Specular.b,
            m.Specular.a, m.Emissive.r, m.Emissive.g, m.Emissive.b, m.Emissive.a, m.Power);
    if (!validColour(m.Diffuse) || !validColour(m.Ambient) || !validColour(m.Specular) ||
        !validColour(m.Emissive) || !std::isfinite(m.Power))
        return D3DERR_INVALIDCALL;
    m_pipeline->SetMaterial(m);
    return S_OK;
}

HRESULT Device::GetMaterial(D3DMATERIAL8 *material) {
    if (!material)
        return D3DERR_INVALIDCALL;
    *material = m_pipeline->State().material;
    return S_OK;
}

HRESULT Device::SetLight(DWORD index, const D3DLIGHT8 *light) {
    if (!light) {
        LogCall("SetLight", index, "NULL");
        return D3DERR_INVALIDCALL;
    }
    const D3DLIGHT8 &l = *light;
    LogCall("SetLight", index, l.Type, l.Diffuse.r, l.Diffuse.g, l.Diffuse.b, l.Diffuse.a,
            l.Specular.r, l.Specular.g, l.Specular.b, l.Specular.a, l.Ambient.r, l.Ambient.g,
            l.Ambient.b, l.Ambient.a, l.Position.x, l.Position.y, l.Position.z, l.Direction.x,
            l.Direction.y, l.Direction.z, l.Range, l.Falloff, l.Attenuation0, l.Attenuation1,
            l.Attenuation2, l.Theta, l.Phi);
    const bool directed = l.Type == D3DLIGHT_DIRECTIONAL || l.Type == D3DLIGHT_SPOT;
    const float directionLength = l.Direction.x * l.Direction.x + l.Direction.y * l.Direction.y +
                                  l.Direction.z * l.Direction.z;
    if (l.Type < D3DLIGHT_POINT || l.Type > D3DLIGHT_DIRECTIONAL || !(l.Range >= 0.0f) ||
        l.Range > D3DLIGHT_RANGE_MAX || (directed && !(directionLength > 0.0f)) ||
        (l.Type == D3DLIGHT_SPOT && !(l.Theta >= 0.0f && l.Theta <= l.Phi && l.Phi <= 3.1416f)) ||
        l.Attenuation0 < 0.0f || l.Attenuation1 < 0.0f || l.Attenuation2 < 0.0f) {
        Trace("SetLight: light " + std::to_string(index) + " is not a valid light");
        return D3DERR_INVALIDCALL;
    }
    m_pipeline->SetLight(index, l);
    return S_OK;
}

HRESULT Device::GetLight(DWORD index, D3DLIGHT8 *light) {
    const auto found = m_pipeline->State().lights.find(index);
    if (!light || found == m_pipeline->State().lights.end())
        return D3DERR_INVALIDCALL;
    *light = found->second.light;
    return S_OK;
}

HRESULT Device::LightEnable(DWORD index, BOOL enable) {
    LogCall("LightEnable", index, enable);
    if (!m_pipeline->EnableLight(index, enable != FALSE)) {
        Trace("LightEnable: no more than 8 lights can be on");
        return D3DERR_INVALIDCALL;
    }
    return S_OK;
}

HRESULT Device::GetLightEnable(DWORD index, BOOL *enable) {
    const auto found = m_pipeline->State().lights.find(index);
    if (!enable || found == m_pipeline->State().lights.end())
        return D3DERR_INVALIDCALL;
    *enable = found->second.enabled ? TRUE : FALSE;
    return S_OK;
}

HRESULT Device::SetViewport(const D3DVIEWPORT8 *viewport) {
    if (!viewport) {
        LogCall("SetViewport", "NULL");
        return D3DERR_INVALIDCALL;
    }
    const D3DVIEWPORT8 &v = *viewport;
    LogCall("SetViewport", v.X, v.Y, v.Width, v.Height, v.MinZ, v.MaxZ);
    if (v.Width == 0 || v.Height == 0 ||
        static_cast<std::uint64_t>(v.X) + v.Width > m_pp.BackBufferWidth ||
        static_cast<std::uint64_t>(v.Y) + v.Height > m_pp.BackBufferHeight ||
        !(v.MinZ >= 0.0f && v.MinZ <= 1.0f && v.MaxZ >= 0.0f && v.MaxZ <= 1.0f))
        return D3DERR_INVALIDCALL;
    m_pipeline->SetViewport(v);
    return S_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT8 *viewport) {
    if (!viewport)
        return D3DERR_INVALIDCALL;
    *viewport = m_pipeline->State().viewport;
    return S_OK;
}

} // namespace d3d8
