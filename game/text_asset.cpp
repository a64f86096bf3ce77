// Loading and drawing the caption pictures.
#include "game/text_asset.h"
#include "game/release_interface.h"

const char *const TextAsset::kFiles[kCaptionCount] = {
    "title.png",     "paused.png",     "halloffame.png",   "options.png",     "credits.png",
    "wave1.png",     "wave2.png",      "wave3.png",        "wave4.png",       "wave5.png",
    "wave6.png",     "wave7.png",      "wave8.png",        "lives0.png",      "lives1.png",
    "lives2.png",    "lives3.png",     "gameover.png",     "wavecleared.png", "tehsuck.png",
    "spacejunk.png", "briefing.png",   "zelgame.png",      "score.png",       "intermission.png",
    "nodamage.png",  "wavefailed.png", "timeremaining.png"};

TextAsset::TextAsset() {
    D3DXMatrixIdentity(&scale);
    D3DXMatrixIdentity(&translation);
}

void TextAsset::LoadResources() {
    if (!device)
        return;
    ReleaseResources();
    textures = new IDirect3DTexture8 *[kCaptionCount]();
    // Without the quad no caption can be drawn, but the pictures still load so that a later
    // mesh is all that is missing.
    D3DXLoadMeshFromX("textasset.x", 0, device, nullptr, &materials, nullptr, &mesh);
    materialRecords =
        materials ? static_cast<D3DXMATERIAL *>(materials->GetBufferPointer()) : nullptr;
    for (int i = 0; i < kCaptionCount; ++i)
        if (FAILED(D3DXCreateTextureFromFileA(device, kFiles[i], &textures[i])))
            textures[i] = nullptr;
}

void TextAsset::ReleaseResources() {
    ReleaseInterface(mesh);
    if (textures) {
        for (int i = 0; i < kCaptionCount; ++i)
            if (textures[i])
                textures[i]->Release();
    }
    ReleaseInterface(materials);
    materialRecords = nullptr;
    delete[] textures;
    textures = nullptr;
}

DWORD TextAsset::FadeLevel(float alpha) {
    // A negative or NaN brightness would wrap to a bright grey through the low eight bits of a
    // negative number: it means black.
    if (!(alpha > 0.0f))
        return 0;
    return static_cast<DWORD>(static_cast<int>(alpha * 255.0f)) & 0xFF;
}

void TextAsset::Render(CaptionId index, float x, float y, float w, float h, float alpha) {
    const int caption = static_cast<int>(index);
    if (!device || !mesh || caption < 0 || caption >= kCaptionCount)
        return;
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    device->SetTexture(0, textures ? textures[caption] : nullptr);
    D3DXMatrixScaling(&scale, w, h, 128.0f);
    D3DXMatrixTranslation(&translation, x, y, 0.0f);
    const D3DXMATRIX world = scale * translation;
    device->SetTransform(D3DTS_WORLD, &world);
    const bool faded = alpha < 1.0f;
    if (faded) {
        const DWORD c = FadeLevel(alpha);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
        device->SetRenderState(D3DRS_TEXTUREFACTOR, (c << 16) | (c << 8) | c);
    }
    mesh->DrawSubset(0);
    if (faded)
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
}
