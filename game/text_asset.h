// Captions: the 28 pictures of text on the game's screens, each drawn on one quad at any centre,
// size and brightness in overlay space.
#pragma once

#include "platform/d3dx/d3dx8.h"

enum class CaptionId : INT {
    Title = 0,
    Paused,
    HallOfFame,
    Options,
    Credits,
    Wave1,
    Wave2,
    Wave3,
    Wave4,
    Wave5,
    Wave6,
    Wave7,
    Wave8,
    Lives0,
    Lives1,
    Lives2,
    Lives3,
    GameOver,
    WaveCleared,
    TehSuck,
    SpaceJunk,
    Briefing,
    ZelGame,
    Score,
    Intermission,
    NoDamage,
    WaveFailed,
    TimeRemaining,
};

class TextAsset {
public:
    static constexpr int kCaptionCount = 28;
    // The picture of each caption, in CaptionId order.
    static const char *const kFiles[kCaptionCount];

    TextAsset();
    virtual ~TextAsset() = default;

    TextAsset(const TextAsset &) = delete;
    TextAsset &operator=(const TextAsset &) = delete;

    void LoadResources();
    void ReleaseResources();
    // Draws caption `index` centred at (x, y), w by h overlay pixels, its colour scaled by
    // `alpha` (1.0 or more is full brightness).
    void Render(CaptionId index, float x, float y, float w, float h, float alpha);

    // The grey level a brightness below 1.0 gives: truncated, never below black.
    static DWORD FadeLevel(float alpha);

    D3DXMATRIX scale;
    D3DXMATRIX translation;
    IDirect3DDevice8 *device = nullptr; // not owned: the owner sets it before each load
    ID3DXBuffer *materials = nullptr;
    D3DXMATERIAL *materialRecords = nullptr;
    IDirect3DTexture8 **textures = nullptr; // kCaptionCount entries while loaded
    ID3DXMesh *mesh = nullptr;
};
