// ID3DXEffect over the parsed effect text: parameters hold textures and matrices, the first
// technique's passes apply their assignments to the device, and Begin/End save and restore the
// render states, texture stage states and transforms the technique touches.
#include "platform/d3dx/d3dx8.h"
#include "platform/d3dx/effect_parser.h"
#include "platform/win32/debug_output.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

D3DRENDERSTATETYPE renderStateOf(effect::State state) {
    switch (state) {
    case effect::State::ZEnable:
        return D3DRS_ZENABLE;
    case effect::State::ZWriteEnable:
        return D3DRS_ZWRITEENABLE;
    case effect::State::ZFunc:
        return D3DRS_ZFUNC;
    case effect::State::AlphaBlendEnable:
        return D3DRS_ALPHABLENDENABLE;
    case effect::State::SrcBlend:
        return D3DRS_SRCBLEND;
    case effect::State::DestBlend:
        return D3DRS_DESTBLEND;
    case effect::State::Lighting:
        return D3DRS_LIGHTING;
    default:
        return D3DRS_CULLMODE;
    }
}

D3DTEXTURESTAGESTATETYPE stageStateOf(effect::State state) {
    switch (state) {
    case effect::State::ColorOp:
        return D3DTSS_COLOROP;
    case effect::State::ColorArg1:
        return D3DTSS_COLORARG1;
    case effect::State::ColorArg2:
        return D3DTSS_COLORARG2;
    case effect::State::AlphaOp:
        return D3DTSS_ALPHAOP;
    case effect::State::AlphaArg1:
        return D3DTSS_ALPHAARG1;
    case effect::State::AlphaArg2:
        return D3DTSS_ALPHAARG2;
    case effect::State::MinFilter:
        return D3DTSS_MINFILTER;
    case effect::State::MagFilter:
        return D3DTSS_MAGFILTER;
    case effect::State::MipFilter:
        return D3DTSS_MIPFILTER;
    case effect::State::AddressU:
        return D3DTSS_ADDRESSU;
    case effect::State::AddressV:
        return D3DTSS_ADDRESSV;
    case effect::State::AddressW:
        return D3DTSS_ADDRESSW;
    case effect::State::TexCoordIndex:
        return D3DTSS_TEXCOORDINDEX;
    default:
        return D3DTSS_TEXTURETRANSFORMFLAGS;
    }
}

D3DTRANSFORMSTATETYPE transformOf(const effect::Assignment &a) {
    switch (a.state) {
    case effect::State::ViewTransform:
        return D3DTS_VIEW;
    case effect::State::ProjectionTransform:
        return D3DTS_PROJECTION;
    default:
        return D3DTS_WORLDMATRIX(a.index);
    }
}

struct ParameterValue {
    IDirect3DBaseTexture8 *texture = nullptr; // one reference held
    D3DXMATRIX matrix{};
    bool set = false;
};

class Effect final : public RefCounted<ID3DXEffect> {
public:
    Effect(IDirect3DDevice8 *device, effect::Effect parsed)
        : m_device(device), m_effect(std::move(parsed)), m_values(m_effect.parameters.size()) {
        m_device->AddRef();
    }
    ~Effect() override {
        for (ParameterValue &value : m_values)
            if (value.texture)
                value.texture->Release();
        m_device->Release();
    }

    HRESULT QueryInterface(REFIID iid, void **out) override {
        return AnswerQuery(iid, {IID_ID3DXEffect}, out);
    }
    HRESULT GetDevice(IDirect3DDevice8 **device) override {
        if (!device)
            return D3DERR_INVALIDCALL;
        m_device->AddRef();
        *device = m_device;
        return S_OK;
    }

    HRESULT SetTexture(D3DXHANDLE name, IDirect3DBaseTexture8 *texture) override {
        ParameterValue *value = find(name, effect::ParameterType::Texture);
        if (!value)
            return D3DERR_INVALIDCALL;
        if (texture)
            texture->AddRef();
        if (value->texture)
            value->texture->Release();
        value->texture = texture;
        value->set = true;
        return S_OK;
    }

    HRESULT SetMatrix(D3DXHANDLE name, const D3DXMATRIX *matrix) override {
        ParameterValue *value = find(name, effect::ParameterType::Matrix);
        if (!value || !matrix)
            return D3DERR_INVALIDCALL;
        value->matrix = *matrix;
        value->set = true;
        return S_OK;
    }

    HRESULT Begin(UINT *passes, DWORD flags) override {
        if (m_effect.techniques.empty() || m_begun)
            return D3DERR_INVALIDCALL;
        const effect::Technique &technique = m_effect.techniques.front();
        if (passes)
            *passes = static_cast<UINT>(technique.passes.size());
        m_saved.clear();
        if (!(flags & D3DXFX_DONOTSAVESTATE))
            for (const effect::Pass &pass : technique.passes)
                for (const effect::Assignment &a : pass.assignments)
                    save(a);
        m_begun = true;
        return S_OK;
    }

    HRESULT Pass(UINT index) override {
        if (!m_begun || index >= m_effect.techniques.front().passes.size())
            return D3DERR_INVALIDCALL;
        for (const effect::Assignment &a : m_effect.techniques.front().passes[index].assignments)
            apply(a);
        return S_OK;
    }

    HRESULT End() override {
        if (!m_begun)
            return D3DERR_INVALIDCALL;
        // In reverse, so a state saved twice ends at its first value.
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            switch (it->group) {
            case effect::StateGroup::Render:
                m_device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(it->type), it->value);
                break;
            case effect::StateGroup::TextureStage:
                m_device->SetTextureStageState(
                    it->stage, static_cast<D3DTEXTURESTAGESTATETYPE>(it->type), it->value);
                break;
            default:
                m_device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(it->type), &it->matrix);
            }
        }
        m_saved.clear();
        m_begun = false;
        return S_OK;
    }

private:
    struct Saved {
        effect::StateGroup group;
        DWORD stage = 0;
        int type = 0;
        DWORD value = 0;
        D3DMATRIX matrix{};
    };

    ParameterValue *find(D3DXHANDLE name, effect::ParameterType type) {
        if (!name)
            return nullptr;
        const int index = m_effect.FindParameter(name);
        if (index < 0 || m_effect.parameters[index].type != type)
            return nullptr;
        return &m_values[index];
    }

    // The device's interface reads back states and transforms; the bound texture and vertex
    // format are set by every draw of the program, so they are left as the pass set them.
    void save(const effect::Assignment &a) {
        Saved saved{effect::GroupOf(a.state)};
        switch (saved.group) {
        case effect::StateGroup::Render:
            saved.type = renderStateOf(a.state);
            if (FAILED(m_device->GetRenderState(renderStateOf(a.state), &saved.value)))
                return;
            break;
        case effect::StateGroup::TextureStage:
            saved.stage = a.index;
            saved.type = stageStateOf(a.state);
            if (FAILED(
                    m_device->GetTextureStageState(a.index, stageStateOf(a.state), &saved.value)))
                return;
            break;
        case effect::StateGroup::Transform:
            saved.type = transformOf(a);
            if (FAILED(m_device->GetTransform(transformOf(a), &saved.matrix)))
                return;
            break;
        default:
            return;
        }
        m_saved.push_back(saved);
    }

    void apply(const effect::Assignment &a) {
        switch (effect::GroupOf(a.state)) {
        case effect::StateGroup::Render:
            m_device->SetRenderState(renderStateOf(a.state), a.value);
            break;
        case effect::StateGroup::TextureStage:
            m_device->SetTextureStageState(a.index, stageStateOf(a.state), a.value);
            break;
        case effect::StateGroup::VertexShader:
            m_device->SetVertexShader(a.value);
            break;
        case effect::StateGroup::Transform:
            if (a.parameter >= 0 && m_values[a.parameter].set)
                m_device->SetTransform(transformOf(a), &m_values[a.parameter].matrix);
            break;
        case effect::StateGroup::Texture:
            if (a.parameter >= 0)
                m_device->SetTexture(a.index, m_values[a.parameter].texture);
            break;
        }
    }

    IDirect3DDevice8 *m_device;
    effect::Effect m_effect;
    std::vector<ParameterValue> m_values;
    std::vector<Saved> m_saved;
    bool m_begun = false;
};

} // namespace

HRESULT D3DXCreateEffect(IDirect3DDevice8 *device, LPCVOID data, UINT length,
                         ID3DXEffect **effectOut, ID3DXBuffer **compilationErrors) {
    if (compilationErrors)
        *compilationErrors = nullptr;
    if (!effectOut)
        return D3DERR_INVALIDCALL;
    *effectOut = nullptr;
    if (!device || !data)
        return D3DERR_INVALIDCALL;
    effect::Effect parsed;
    std::string error;
    if (!effect::ParseEffect(std::string_view(static_cast<const char *>(data), length), parsed,
                             error) ||
        parsed.techniques.empty()) {
        if (error.empty())
            error = "no technique";
        OutputDebugStringA(("D3DX: effect not created: " + error + "\n").c_str());
        if (compilationErrors &&
            SUCCEEDED(D3DXCreateBuffer(static_cast<DWORD>(error.size() + 1), compilationErrors)))
            std::memcpy((*compilationErrors)->GetBufferPointer(), error.c_str(), error.size() + 1);
        return D3DXERR_INVALIDDATA;
    }
    *effectOut = new (std::nothrow) Effect(device, std::move(parsed));
    return *effectOut ? S_OK : E_OUTOFMEMORY;
}
