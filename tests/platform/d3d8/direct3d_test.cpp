// The Direct3D object: adapters, modes, format checks, capabilities and reference counts, on the
// machine's own description and on overridden adapters.
#include "platform/test_seams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

class Direct3DTest : public ::testing::Test {
protected:
    void SetUp() override { seams::ResetAll(); }
    void TearDown() override {
        seams::ResetAll();
        EXPECT_EQ(seams::LiveD3D8Objects(), 0);
    }
};

bool hasMode(IDirect3D8 *d3d, UINT w, UINT h, D3DFORMAT f) {
    for (UINT i = 0; i < d3d->GetAdapterModeCount(0); ++i) {
        D3DDISPLAYMODE mode{};
        EXPECT_EQ(d3d->EnumAdapterModes(0, i, &mode), S_OK);
        if (mode.Width == w && mode.Height == h && mode.Format == f)
            return true;
    }
    return false;
}

TEST_F(Direct3DTest, CreationNeedsTheImplementedVersion) {
    EXPECT_EQ(Direct3DCreate8(120), nullptr);
    seams::InjectFailure("Direct3DCreate8");
    EXPECT_EQ(Direct3DCreate8(D3D_SDK_VERSION), nullptr);
    IDirect3D8 *d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    EXPECT_EQ(d3d->AddRef(), 2u);
    EXPECT_EQ(d3d->Release(), 1u);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(Direct3DTest, MachineAdapterOffersDesktopAndFourThreeModesInSixteenAndThirtyTwoBits) {
    IDirect3D8 *d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    ASSERT_EQ(d3d->GetAdapterCount(), 1u);
    D3DDISPLAYMODE desktop{};
    ASSERT_EQ(d3d->GetAdapterDisplayMode(0, &desktop), S_OK);
    EXPECT_EQ(desktop.Format, D3DFMT_X8R8G8B8);
    EXPECT_GE(desktop.Width, 1u);
    for (D3DFORMAT f : {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8}) {
        EXPECT_TRUE(hasMode(d3d, 640, 480, f));
        EXPECT_TRUE(hasMode(d3d, desktop.Width, desktop.Height, f));
        EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, f, f, FALSE), S_OK);
    }
    // Every mode fits on the desktop (640 x 480 always exists) and none is listed twice.
    for (UINT i = 0; i < d3d->GetAdapterModeCount(0); ++i) {
        D3DDISPLAYMODE a{};
        d3d->EnumAdapterModes(0, i, &a);
        EXPECT_TRUE((a.Width <= desktop.Width && a.Height <= desktop.Height) || a.Width == 640);
        if (a.Width != desktop.Width || a.Height != desktop.Height) {
            EXPECT_EQ(a.Width * 3, a.Height * 4);
        }
        for (UINT j = i + 1; j < d3d->GetAdapterModeCount(0); ++j) {
            D3DDISPLAYMODE b{};
            d3d->EnumAdapterModes(0, j, &b);
            EXPECT_FALSE(a.Width == b.Width && a.Height == b.Height && a.Format == b.Format);
        }
    }
    D3DADAPTER_IDENTIFIER8 id{};
    ASSERT_EQ(d3d->GetAdapterIdentifier(0, D3DENUM_NO_WHQL_LEVEL, &id), S_OK);
    EXPECT_GT(std::strlen(id.Description), 0u);
    d3d->Release();
}

TEST_F(Direct3DTest, StandardAdapterModesStopAtTheDesktopSize) {
    seams::OverrideD3D8Adapters({seams::StandardD3D8Adapter(1280, 1024)});
    IDirect3D8 *d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    // 640, 800, 1024, 1152, 1280 x 960 and the desktop's 1280 x 1024, in two formats.
    EXPECT_EQ(d3d->GetAdapterModeCount(0), 12u);
    EXPECT_TRUE(hasMode(d3d, 1280, 1024, D3DFMT_R5G6B5));
    EXPECT_FALSE(hasMode(d3d, 1400, 1050, D3DFMT_X8R8G8B8));
    D3DDISPLAYMODE mode{};
    EXPECT_EQ(d3d->EnumAdapterModes(0, 12, &mode), D3DERR_INVALIDCALL);
    d3d->Release();
}

TEST_F(Direct3DTest, FormatChecksFollowTheDeviceTypeAndTheDesktop) {
    IDirect3D8 *d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    // A window can only show the desktop's format.
    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE),
              S_OK);
    EXPECT_TRUE(
        FAILED(d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, TRUE)));
    EXPECT_TRUE(
        FAILED(d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X1R5G5B5, D3DFMT_X1R5G5B5, FALSE)));
    EXPECT_TRUE(
        FAILED(d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_X8R8G8B8, FALSE)));
    // No reference rasteriser on this machine.
    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_REF, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, FALSE),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceType(1, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, FALSE),
              D3DERR_INVALIDCALL);

    for (D3DFORMAT depth : {D3DFMT_D16, D3DFMT_D24X8, D3DFMT_D24S8}) {
        EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DUSAGE_DEPTHSTENCIL,
                                         D3DRTYPE_SURFACE, depth),
                  S_OK);
        EXPECT_EQ(
            d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, depth),
            S_OK);
    }
    for (D3DFORMAT depth : {D3DFMT_D15S1, D3DFMT_D24X4S4, D3DFMT_D32}) {
        EXPECT_TRUE(FAILED(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8,
                                                  D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, depth)));
        EXPECT_TRUE(FAILED(d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8,
                                                       D3DFMT_X8R8G8B8, depth)));
    }
    d3d->Release();
}

TEST_F(Direct3DTest, CapabilitiesOfTheOpenGlDeviceAndOfMissingTypes) {
    IDirect3D8 *d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DCAPS8 caps{};
    ASSERT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), S_OK);
    EXPECT_EQ(caps.DeviceType, D3DDEVTYPE_HAL);
    EXPECT_TRUE(caps.Caps2 & D3DCAPS2_CANRENDERWINDOWED);
    EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
    EXPECT_TRUE(caps.TextureCaps & D3DPTEXTURECAPS_CUBEMAP);
    EXPECT_FALSE(caps.PrimitiveMiscCaps & D3DPMISCCAPS_NULLREFERENCE);
    EXPECT_GE(caps.MaxSimultaneousTextures, 2u);

    std::memset(&caps, 0xCD, sizeof caps);
    EXPECT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_REF, &caps), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(caps.Caps2, 0u); // no stale bits for a caller that does not test the result
    EXPECT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, nullptr), D3DERR_INVALIDCALL);
    d3d->Release();
}

TEST_F(Direct3DTest, OverriddenAdaptersAreReportedAsGiven) {
    d3d8::AdapterInfo first = seams::StandardD3D8Adapter(800, 600);
    first.description = "first";
    d3d8::AdapterInfo second;
    second.description = "second";
    second.desktop = {1024, 768, 75, D3DFMT_R5G6B5};
    second.modes = {{1024, 768, 75, D3DFMT_R5G6B5}, {1024, 768, 60, D3DFMT_R5G6B5}};
    second.ref.available = true;
    second.ref.caps.PrimitiveMiscCaps = D3DPMISCCAPS_NULLREFERENCE;
    second.ref.displayFormats = {D3DFMT_R5G6B5};
    seams::OverrideD3D8Adapters({first, second});

    IDirect3D8 *d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    ASSERT_EQ(d3d->GetAdapterCount(), 2u);
    D3DADAPTER_IDENTIFIER8 id{};
    d3d->GetAdapterIdentifier(1, 0, &id);
    EXPECT_STREQ(id.Description, "second");
    EXPECT_EQ(d3d->GetAdapterModeCount(1), 2u);
    D3DDISPLAYMODE desktop{};
    d3d->GetAdapterDisplayMode(1, &desktop);
    EXPECT_EQ(desktop.RefreshRate, 75u);
    EXPECT_EQ(d3d->CheckDeviceType(1, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, FALSE),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceType(1, D3DDEVTYPE_REF, D3DFMT_R5G6B5, D3DFMT_R5G6B5, TRUE), S_OK);
    D3DCAPS8 caps{};
    EXPECT_EQ(d3d->GetDeviceCaps(1, D3DDEVTYPE_REF, &caps), S_OK);
    EXPECT_EQ(caps.AdapterOrdinal, 1u);
    EXPECT_EQ(caps.DeviceType, D3DDEVTYPE_REF);
    EXPECT_TRUE(caps.PrimitiveMiscCaps & D3DPMISCCAPS_NULLREFERENCE);
    d3d->Release();

    // The override applies to objects created after it; clearing it brings the machine back.
    seams::ClearD3D8AdapterOverride();
    d3d = Direct3DCreate8(D3D_SDK_VERSION);
    EXPECT_EQ(d3d->GetAdapterCount(), 1u);
    d3d->Release();
}

} // namespace
