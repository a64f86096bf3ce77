// A test application derived from CD3DApplication: it records every virtual step it is asked to
// run, can be told to fail any of them, clears and presents in its render step, and moves the
// virtual clock on so that frames see time pass.
#pragma once

#include "framework/app_timer.h"
#include "framework/d3d_app.h"
#include "platform/test_seams.h"
#include "tests/framework/app_test_seams.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

class TestApp : public CD3DApplication {
public:
    TestApp() {
        m_bWantedWindowed = true;
        m_wantedFullScreenMode = {640, 480, 0, D3DFMT_R5G6B5};
        m_dwCreationWidth = 320;
        m_dwCreationHeight = 240;
        m_bUseDepthBuffer = TRUE;
        m_strWindowTitle = "Tarvos test";
    }

    HRESULT OnStartupComplete() override { return step("OnStartupComplete"); }
    HRESULT AcceptDeviceCaps(const D3DCAPS8 *caps, DWORD behavior, D3DFORMAT format) override {
        trials.push_back({caps->DeviceType, behavior, format});
        if (rejectBehavior & behavior)
            return E_FAIL;
        return S_OK;
    }
    HRESULT InitOnce() override { return step("InitOnce"); }
    HRESULT PrepareDeviceResources() override { return step("PrepareDeviceResources"); }
    HRESULT LoadDeviceResources() override { return step("LoadDeviceResources"); }
    HRESULT UpdateFrame() override {
        ++updates;
        return step("UpdateFrame");
    }
    HRESULT RenderFrame() override {
        ++renders;
        if (m_pDevice) {
            m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, clearColour, 1.0f, 0);
            if (m_bUseDepthBuffer)
                m_pDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        }
        if (onFrame)
            onFrame();
        if (closeAfterRenders > 0 && renders == closeAfterRenders)
            PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
        return step("RenderFrame");
    }
    HRESULT ReleaseDeviceResources() override { return step("ReleaseDeviceResources"); }
    HRESULT DestroyDeviceResources() override { return step("DestroyDeviceResources"); }
    HRESULT FinalShutdown() override { return step("FinalShutdown"); }

    // One frame a time step after the previous one.
    HRESULT Frame() {
        seams::AdvanceVirtualClock(secondsPerFrame);
        return AdvanceFrame();
    }
    // Runs the loop; each time it finds no message the clock moves one time step on and
    // `script` (when given) may post or inject the next messages.
    INT Run(std::function<void()> script = nullptr) {
        seams::OnMessageQueueEmpty([this, script] {
            seams::AdvanceVirtualClock(secondsPerFrame);
            if (script)
                script();
        });
        const INT code = RunMessageLoop();
        seams::OnMessageQueueEmpty(nullptr);
        return code;
    }

    // Steps in the order they ran, and how often each ran.
    int count(const std::string &name) const {
        int n = 0;
        for (const std::string &s : steps)
            n += s == name;
        return n;
    }
    std::vector<std::string> takeSteps() {
        std::vector<std::string> out;
        out.swap(steps);
        return out;
    }

    struct Trial {
        D3DDEVTYPE type;
        DWORD behavior;
        D3DFORMAT format;
    };
    std::vector<Trial> trials;
    std::vector<std::string> steps;
    std::map<std::string, HRESULT> failures; // step name -> result to return
    DWORD rejectBehavior = 0;                // behaviour bits AcceptDeviceCaps refuses
    D3DCOLOR clearColour = D3DCOLOR_XRGB(0, 0, 0);
    double secondsPerFrame = 1.0 / 60.0;
    int closeAfterRenders = 0;
    std::function<void()> onFrame; // called in every render step
    int updates = 0;
    int renders = 0;

private:
    HRESULT step(const char *name) {
        steps.push_back(name);
        auto it = failures.find(name);
        return it == failures.end() ? S_OK : it->second;
    }
};

// Every framework test starts from the platform's real behaviour with captured boxes and a
// virtual clock, and ends with nothing of the device layer left alive.
class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override { test_support::UseApplicationTestSeams(); }
    void TearDown() override {
        seams::TakeDebugOutput();
        seams::TakeMessageBoxes();
        seams::CaptureMessageBoxes(false);
        seams::CaptureDebugOutput(false);
        seams::UseRealClock();
        seams::ScriptMessages(false);
        seams::ResetAll();
        EXPECT_EQ(seams::LiveD3D8Objects(), 0);
    }
};

// Text of the box the framework shows for a code in a mode.
inline std::string ExitText(const std::string &text) {
    return text + "\n\nThis program will now exit.";
}
inline const std::string kSwitchSentence =
    "\n\nSwitching to the reference rasterizer,\na software device that implements the entire\n"
    "Direct3D feature set, but runs very slowly.";
