// The plain math and colour records of Direct3D 8 that both the device and the utility library's
// math build on: vectors, 4x4 row-vector matrices, float colours and packed 32-bit colours.
#pragma once

#include "platform/win32/types.h"

struct D3DVECTOR {
    float x;
    float y;
    float z;
};

// Row-major 4x4 matrix; points are row vectors multiplied on the left (v * M).
struct D3DMATRIX {
    union {
        struct {
            float _11, _12, _13, _14;
            float _21, _22, _23, _24;
            float _31, _32, _33, _34;
            float _41, _42, _43, _44;
        };
        float m[4][4];
    };
};

struct D3DCOLORVALUE {
    float r;
    float g;
    float b;
    float a;
};

struct D3DRECT {
    LONG x1;
    LONG y1;
    LONG x2;
    LONG y2;
};

// Packed colour: alpha in the top byte, then red, green, blue.
using D3DCOLOR = DWORD;

constexpr D3DCOLOR D3DCOLOR_ARGB(DWORD a, DWORD r, DWORD g, DWORD b) {
    return ((a & 0xFF) << 24) | ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
}
constexpr D3DCOLOR D3DCOLOR_XRGB(DWORD r, DWORD g, DWORD b) {
    return D3DCOLOR_ARGB(0xFF, r, g, b);
}
constexpr D3DCOLOR D3DCOLOR_RGBA(DWORD r, DWORD g, DWORD b, DWORD a) {
    return D3DCOLOR_ARGB(a, r, g, b);
}
