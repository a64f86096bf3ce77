// Where the parts of the cockpit show on the reference plane z = 1 as the pilot's eye at
// (0, 0.4, -0.3) sees it (x right, y up; the view spans y -0.1385 ... 0.9385, and x +-0.718 at 4:3,
// +-0.957 at 16:9), and the atlas regions their textures are painted in. The mesh and its pictures
// both read this, so UVs and paint agree.
#pragma once

#include "tools/mediagen/canvas.h"

namespace mediagen::cockpit {

constexpr float kEyeY = 0.4f, kEyeZ = -0.3f, kPlaneDistance = 1.3f;

// Windscreen frame: pillars leaning in toward the roof bar, standing on the coaming.
constexpr float kSillBottom = 0.105f, kSillTop = 0.178f;
constexpr float kRoofBottom = 1.06f, kRoofTop = 1.14f;
constexpr float kPillarHalf = 0.024f, kFillet = 0.035f;
// Side panels and console ledges run far past the widest screen; their instruments stay within
// |x| 0.54, which every screen from 5:4 to 21:9 shows whatever the sway.
constexpr float kPanelTop = 0.38f, kPanelOuterTop = 0.32f, kDetailEdge = 0.54f, kFar = 2.25f;
constexpr float kLedgeInner = 0.335f, kLedgeTop = 0.19f;
// The speed bar's slot in the coaming.
constexpr float kBarHalf = 0.16f, kBarBottom = 0.128f, kBarTop = 0.152f;
// The lower dashboard hangs from the coaming and runs past the bottom of the screen and, behind
// the side panels and ledges, past its sides. A trim runs along its top; below kPlainTop it is
// plain and dark, for the time, the score and the cheat label are drawn over it there and the sway
// carries them up to 0.09 across it (on a 640 x 400 screen, as high as 0.078).
constexpr float kDashBottom = -0.30f, kDashSideTop = 0.15f, kPlainTop = 0.08f;
constexpr float kTrimBottom = 0.087f, kTrimTop = 0.1f;
// Beyond this the dashboard is never seen, up to 21:9 with the sway.
constexpr float kDashSeen = 1.45f;
inline float pillarCentre(float y) {
    return 0.30f - 0.06f * (y - 0.1f);
}
inline float pillarInner(float y) {
    return pillarCentre(y) - kPillarHalf;
}
inline float pillarOuter(float y) {
    return pillarCentre(y) + kPillarHalf;
}

// An atlas region of "cockpit-body.jpg" and "cockpit-lights.jpg" (pixels of 512) and the part of
// the reference plane it covers, so painting and UVs agree.
struct Region {
    float px0, py0, px1, py1;
    float x0, x1, yTop, yBottom;
    Point pixel(float x, float y) const {
        return {px0 + (x - x0) / (x1 - x0) * (px1 - px0),
                py0 + (yTop - y) / (yTop - yBottom) * (py1 - py0)};
    }
    Point uv(float x, float y) const {
        Point p = pixel(x, y);
        return {p[0] / 512, p[1] / 512};
    }
    Point plane(float px, float py) const {
        return {x0 + (px - px0) / (px1 - px0) * (x1 - x0),
                yTop - (py - py0) / (py1 - py0) * (yTop - yBottom)};
    }
    bool contains(float px, float py) const {
        return px >= px0 && px < px1 && py >= py0 && py < py1;
    }
    // The scale of the region in pixels per reference-plane unit.
    float scale() const { return (px1 - px0) / (x1 - x0); }
};
inline constexpr Region kFrameRegion{256, 0, 512, 512, -0.35f, 0.35f, 1.2f, 0.05f};
inline constexpr Region kLeftRegion{0, 0, 128, 256, -0.56f, -0.29f, 0.47f, 0.09f};
inline constexpr Region kRightRegion{128, 0, 256, 256, 0.29f, 0.56f, 0.47f, 0.09f};
// Beyond the instruments both sides share one plain strip (by |x|).
inline constexpr Region kOuterRegion{0, 256, 256, 320, 0.5f, 2.3f, 0.47f, 0.09f};
// The lower dashboard, mirrored about x = 0 (by |x|); the columns left of x = 0 repeat its mirror
// image, so filtering across the axis meets the same paint.
inline constexpr Region kDashRegion{4, 320, 256, 512, 0.0f, kDashSeen, kDashSideTop, kDashBottom};

struct Lamp {
    float x, y, r;
    unsigned colour;
};
struct Dial {
    float x, y, r;
};

// The instruments of the side panels, mirrored left and right.
inline constexpr Dial kDials[] = {{0.393f, 0.288f, 0.045f}};
inline constexpr Lamp kLamps[] = {
    {0.467f, 0.297f, 0.0075f, 0x40ff70}, {0.493f, 0.297f, 0.0075f, 0x40ff70},
    {0.519f, 0.297f, 0.0075f, 0xffb020}, {0.467f, 0.333f, 0.0075f, 0x40c0ff},
    {0.493f, 0.333f, 0.0075f, 0xffb020}, {0.519f, 0.333f, 0.0075f, 0xff3020}};
// Tell-tales on the dashboard's trim, mirrored left and right.
inline constexpr Lamp kTellTales[] = {{0.19f, 0.0935f, 0.0042f, 0x40ff70},
                                      {0.215f, 0.0935f, 0.0042f, 0xffb020},
                                      {0.24f, 0.0935f, 0.0042f, 0x40ff70}};
// Small bar-graph screens under the lamps.
constexpr float kScreenX0 = 0.455f, kScreenX1 = 0.53f, kScreenY0 = 0.205f, kScreenY1 = 0.268f;

} // namespace mediagen::cockpit
