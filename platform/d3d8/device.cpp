// The device's life: creation on the window's OpenGL context, presentation parameters, loss and
// Reset, Present and the frame calls, cursor and reference counting.
#include "platform/d3d8/device.h"

#include "platform/d3d8/call_log.h"
#include "platform/d3d8/direct3d.h"
#include "platform/d3d8/frame_capture.h"
#include "platform/d3d8/live_objects.h"
#include "platform/d3d8/pipeline.h"
#include "platform/d3d8/seams.h"
#include "platform/d3d8/surface.h"
#include "platform/d3d8/trace.h"
#include "platform/seams/failure_injection.h"
#include "platform/seams/frame_clock.h"
#include "platform/win32/window.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <string>

namespace d3d8 {
namespace {

// Every live device, so that a test can make them all lost at once.
std::mutex g_devicesLock;
std::set<Device *> g_devices;

} // namespace

HRESULT Device::Create(Direct3D *owner, UINT adapter, D3DDEVTYPE type, HWND focusWindow,
                       DWORD behaviour, const D3DPRESENT_PARAMETERS &parameters,
                       IDirect3DDevice8 **out) {
    HWND window = parameters.hDeviceWindow ? parameters.hDeviceWindow : focusWindow;
    SDL_Window *sdlWindow = win32::SdlWindowOf(window);
    if (!sdlWindow) {
        Trace("CreateDevice: no device window");
        return D3DERR_INVALIDCALL;
    }
    Device *device = new Device(owner, adapter, type, window, sdlWindow, behaviour);

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    device->m_context = SDL_GL_CreateContext(sdlWindow);
    if (!device->m_context) {
        Trace(std::string("CreateDevice: no OpenGL 3.3 context: ") + SDL_GetError());
        device->Release();
        return D3DERR_NOTAVAILABLE;
    }
    ++LiveGlCount();
    if (!device->MakeCurrent() || !gl::LoadFunctions(device->m_gl)) {
        device->Release();
        return D3DERR_NOTAVAILABLE;
    }
    device->m_pipeline = std::make_unique<Pipeline>(*device, device->m_gl);
    const HRESULT hr = device->ApplyPresentation(parameters);
    if (FAILED(hr)) {
        device->Release();
        return hr;
    }
    *out = device;
    return S_OK;
}

Device::Device(Direct3D *owner, UINT adapter, D3DDEVTYPE type, HWND window, SDL_Window *sdlWindow,
               DWORD behaviour)
    : m_owner(owner), m_adapter(adapter), m_type(type), m_window(window), m_sdlWindow(sdlWindow),
      m_behaviour(behaviour) {
    ++LiveObjectCount();
    m_owner->AddRef();
    m_backBuffer = new BackBufferSurface(this);
    const Uint32 flags = SDL_GetWindowFlags(sdlWindow);
    m_windowMinimised = (flags & SDL_WINDOW_MINIMIZED) != 0;
    m_windowId = SDL_GetWindowID(sdlWindow);
    SDL_AddEventWatch(&Device::WatchWindowEvents, this);
    std::lock_guard guard(g_devicesLock);
    g_devices.insert(this);
}

Device::~Device() {
    {
        std::lock_guard guard(g_devicesLock);
        g_devices.erase(this);
    }
    SDL_DelEventWatch(&Device::WatchWindowEvents, this);
    const bool windowAlive = WindowAlive();
    if (m_context && windowAlive && MakeCurrent()) {
        m_pipeline.reset();
        DestroyBackBuffer();
        if (m_texelFramebuffer) {
            m_gl.DeleteFramebuffers(1, &m_texelFramebuffer);
            m_texelFramebuffer = 0;
            --LiveGlCount();
        }
    } else {
        if (m_pipeline)
            m_pipeline->Abandon();
        m_pipeline.reset();
        // Without its window the context cannot be made current; deleting the context frees
        // the objects it owns.
        for (GLuint *object : {&m_framebuffer, &m_colour, &m_depth, &m_texelFramebuffer}) {
            if (*object) {
                *object = 0;
                --LiveGlCount();
            }
        }
    }
    if (m_context) {
        if (windowAlive)
            SDL_GL_MakeCurrent(m_sdlWindow, nullptr);
        SDL_GL_DeleteContext(m_context);
        --LiveGlCount();
    }
    // Leaving full screen gives the desktop its window back.
    if (m_fullScreen && windowAlive) {
        SDL_SetWindowFullscreen(m_sdlWindow, 0);
        win32::RestoreFrame(m_window);
    }
    delete m_backBuffer;
    --LiveObjectCount();
    m_owner->Release();
}

HRESULT Device::QueryInterface(REFIID, void **object) {
    if (object)
        *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Device::Release() {
    // A test can make one release keep its reference, as a leaked reference would.
    if (RefCount() > 0 && seams::ShouldFail("DeviceRelease"))
        return RefCount();
    return RefCounted<IDirect3DDevice8>::Release();
}

bool Device::WindowAlive() const {
    return win32::SdlWindowOf(m_window) == m_sdlWindow;
}

bool Device::MakeCurrent() {
    if (!WindowAlive()) {
        Trace("the device window no longer exists");
        return false;
    }
    if (SDL_GL_GetCurrentContext() == m_context && SDL_GL_GetCurrentWindow() == m_sdlWindow)
        return true;
    if (SDL_GL_MakeCurrent(m_sdlWindow, m_context) != 0) {
        Trace(std::string("cannot make the device's context current: ") + SDL_GetError());
        return false;
    }
    return true;
}

bool Device::MakeContextCurrent() {
    if (seams::ShouldFail("MakeContextCurrent")) {
        Trace("the device's context cannot be made current");
        return false;
    }
    return MakeCurrent();
}

void Device::SetFullScreen(bool fullScreen) {
    if (fullScreen == m_fullScreen)
        return;
    if (SDL_SetWindowFullscreen(m_sdlWindow, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
        Trace(std::string("cannot change full-screen state: ") + SDL_GetError());
    m_fullScreen = fullScreen;
    if (!fullScreen)
        win32::RestoreFrame(m_window);
    // Full screen follows the display's refresh; a window presents at once.
    SDL_GL_SetSwapInterval(fullScreen ? 1 : 0);
}

HRESULT Device::ApplyPresentation(const D3DPRESENT_PARAMETERS &parameters) {
    D3DPRESENT_PARAMETERS pp = parameters;
    if (pp.Windowed && (pp.BackBufferWidth == 0 || pp.BackBufferHeight == 0)) {
        // A windowed back buffer of size 0 takes the window's client size.
        int w = 0, h = 0;
        SDL_GetWindowSize(m_sdlWindow, &w, &h);
        if (pp.BackBufferWidth == 0)
            pp.BackBufferWidth = static_cast<UINT>(std::max(w, 1));
        if (pp.BackBufferHeight == 0)
            pp.BackBufferHeight = static_cast<UINT>(std::max(h, 1));
    }
    // The bound is the largest renderbuffer common GL drivers make, far past any window a user
    // drags out; a smaller driver limit shows as a framebuffer that cannot be completed.
    if (pp.BackBufferWidth == 0 || pp.BackBufferHeight == 0 || pp.BackBufferWidth > 16384 ||
        pp.BackBufferHeight > 16384) {
        Trace("invalid back-buffer size");
        return D3DERR_INVALIDCALL;
    }
    if (pp.BackBufferCount == 0)
        pp.BackBufferCount = 1;
    if (!pp.hDeviceWindow)
        pp.hDeviceWindow = m_window;

    m_inReset = true;
    SetFullScreen(!pp.Windowed);
    m_inReset = false;

    DestroyBackBuffer();
    m_pp = pp;
    if (!CreateBackBuffer()) {
        DestroyBackBuffer();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    ResetStateToDefaults();
    m_inScene = false;
    m_lostByWindow = false;
    m_needsReset = false;
    m_injectedLostChecks = 0;
    m_windowFocused = true;
    return S_OK;
}

bool Device::CreateBackBuffer() {
    const D3DPRESENT_PARAMETERS &pp = m_pp;
    const GLsizei w = static_cast<GLsizei>(pp.BackBufferWidth);
    const GLsizei h = static_cast<GLsizei>(pp.BackBufferHeight);
    m_gl.GenFramebuffers(1, &m_framebuffer);
    ++LiveGlCount();
    m_gl.BindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);

    m_gl.GenRenderbuffers(1, &m_colour);
    ++LiveGlCount();
    m_gl.BindRenderbuffer(GL_RENDERBUFFER, m_colour);
    // A 16-bit mode keeps 16-bit precision where the driver offers it, else 8 bits per channel.
    const bool sixteenBit = D3DColorFormatBits(pp.BackBufferFormat) == 16;
    while (m_gl.GetError() != GL_NO_ERROR) {
    }
    m_gl.RenderbufferStorage(GL_RENDERBUFFER, sixteenBit ? GL_RGB565 : GL_RGBA8, w, h);
    if (sixteenBit && m_gl.GetError() != GL_NO_ERROR)
        m_gl.RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
    m_gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_colour);

    m_hasStencil = false;
    if (pp.EnableAutoDepthStencil) {
        GLenum storage = GL_DEPTH24_STENCIL8;
        GLenum attachment = GL_DEPTH_STENCIL_ATTACHMENT;
        switch (pp.AutoDepthStencilFormat) {
        case D3DFMT_D16:
            // Backed by 24 bits: a program sees a depth format's precision only by locking it,
            // which a non-lockable format forbids, and 16 bits cannot keep surfaces a few
            // centimetres apart once the near plane comes within a centimetre of the eye.
            storage = GL_DEPTH_COMPONENT24;
            attachment = GL_DEPTH_ATTACHMENT;
            break;
        case D3DFMT_D24X8:
        case D3DFMT_D32:
            storage = GL_DEPTH_COMPONENT24;
            attachment = GL_DEPTH_ATTACHMENT;
            break;
        default: // formats with stencil bits
            m_hasStencil = true;
            break;
        }
        m_gl.GenRenderbuffers(1, &m_depth);
        ++LiveGlCount();
        m_gl.BindRenderbuffer(GL_RENDERBUFFER, m_depth);
        m_gl.RenderbufferStorage(GL_RENDERBUFFER, storage, w, h);
        m_gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, m_depth);
    }
    const GLenum status = m_gl.CheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        Trace("back-buffer framebuffer incomplete: " + std::to_string(status));
        return false;
    }
    m_gl.Viewport(0, 0, w, h);
    return true;
}

void Device::DestroyBackBuffer() {
    if (m_framebuffer) {
        m_gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
        m_gl.DeleteFramebuffers(1, &m_framebuffer);
        m_framebuffer = 0;
        --LiveGlCount();
    }
    for (GLuint *buffer : {&m_colour, &m_depth}) {
        if (*buffer) {
            m_gl.DeleteRenderbuffers(1, buffer);
            *buffer = 0;
            --LiveGlCount();
        }
    }
}

void Device::ResetStateToDefaults() {
    m_gl.Viewport(0, 0, static_cast<GLsizei>(m_pp.BackBufferWidth),
                  static_cast<GLsizei>(m_pp.BackBufferHeight));
    if (m_pipeline)
        m_pipeline->ResetToDefaults(m_pp.BackBufferWidth, m_pp.BackBufferHeight,
                                    m_pp.EnableAutoDepthStencil != FALSE);
}

int Device::WatchWindowEvents(void *self, SDL_Event *event) {
    auto *device = static_cast<Device *>(self);
    if (event->type != SDL_WINDOWEVENT || event->window.windowID != device->m_windowId)
        return 0;
    switch (event->window.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST:
        device->m_windowFocused = false;
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        device->m_windowFocused = true;
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        device->m_windowMinimised = true;
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        device->m_windowMinimised = false;
        break;
    default:
        return 0;
    }
    // A full-screen device that is no longer in front is lost until it is restored and reset.
    if (device->m_fullScreen && !device->m_inReset &&
        (!device->m_windowFocused || device->m_windowMinimised))
        device->m_lostByWindow = true;
    return 0;
}

void Device::InjectLoss(int lostChecks) {
    m_injectedLostChecks = std::max(lostChecks, 0);
    m_needsReset = true;
}

HRESULT Device::TestCooperativeLevel() {
    // The framework's frame step always starts here: this call marks the program's frames.
    seams::NoteFrameBegins();
    HRESULT injected = S_OK;
    if (seams::ShouldFail("TestCooperativeLevel", &injected))
        return injected;
    if (m_injectedLostChecks > 0) {
        --m_injectedLostChecks;
        return D3DERR_DEVICELOST;
    }
    if (m_lostByWindow) {
        if (!m_windowFocused || m_windowMinimised)
            return D3DERR_DEVICELOST;
        m_lostByWindow = false;
        m_needsReset = true;
    }
    return m_needsReset ? D3DERR_DEVICENOTRESET : S_OK;
}

HRESULT Device::Reset(D3DPRESENT_PARAMETERS *parameters) {
    LogCall("Reset", parameters ? parameters->BackBufferWidth : 0,
            parameters ? parameters->BackBufferHeight : 0,
            parameters ? parameters->BackBufferFormat : 0, parameters ? parameters->Windowed : 0);
    if (!parameters)
        return D3DERR_INVALIDCALL;
    if (m_lostByWindow && (!m_windowFocused || m_windowMinimised))
        return D3DERR_DEVICELOST;
    // Resources in the default pool live in video memory that a reset rebuilds: they must be
    // released first (the back buffer held by the program counts as one).
    if (m_defaultPoolResources > 0) {
        Trace("Reset refused: default-pool resources are still alive");
        m_needsReset = true;
        return D3DERR_INVALIDCALL;
    }
    HRESULT injected = S_OK;
    if (seams::ShouldFail("Reset", &injected)) {
        m_needsReset = true;
        return injected;
    }
    if (!m_owner->ValidPresentation(m_adapter, m_type, *parameters) || !MakeCurrent()) {
        m_needsReset = true;
        return D3DERR_INVALIDCALL;
    }
    const HRESULT hr = ApplyPresentation(*parameters);
    if (FAILED(hr)) {
        m_needsReset = true;
        return hr;
    }
    *parameters = m_pp;
    return S_OK;
}

HRESULT Device::Present(const RECT *, const RECT *, HWND, const void *) {
    LogCall("Present");
    if (m_lostByWindow || m_needsReset || m_injectedLostChecks > 0)
        return D3DERR_DEVICELOST;
    if (m_inScene || !m_framebuffer || !MakeCurrent())
        return D3DERR_INVALIDCALL;
    OnPresent([this](std::uint32_t &w, std::uint32_t &h, std::vector<std::uint8_t> &rgba) {
        return ReadBackBuffer(w, h, rgba);
    });

    m_pipeline->ForgetWriteMasks(); // they change below
    int windowW = 0, windowH = 0;
    SDL_GL_GetDrawableSize(m_sdlWindow, &windowW, &windowH);
    m_gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    m_gl.Disable(GL_SCISSOR_TEST);
    m_gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    if (windowW > 0 && windowH > 0) {
        const PresentArea area = FitPicture(m_pp.BackBufferWidth, m_pp.BackBufferHeight,
                                            static_cast<UINT>(windowW), static_cast<UINT>(windowH));
        // The picture covers the window but for the bars that keep its shape: only they are
        // cleared, and a picture that fills the window needs no clear at all.
        m_gl.ClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        m_gl.Enable(GL_SCISSOR_TEST);
        for (const RECT &bar : area.bars) {
            m_gl.Scissor(bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top);
            m_gl.Clear(GL_COLOR_BUFFER_BIT);
        }
        m_gl.Disable(GL_SCISSOR_TEST);
        const RECT &to = area.picture;
        const bool sameSize = to.right - to.left == static_cast<LONG>(m_pp.BackBufferWidth) &&
                              to.bottom - to.top == static_cast<LONG>(m_pp.BackBufferHeight);
        m_gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
        // Row 0 of the back buffer is the picture's top: flip into the window.
        m_gl.BlitFramebuffer(0, 0, static_cast<GLint>(m_pp.BackBufferWidth),
                             static_cast<GLint>(m_pp.BackBufferHeight), to.left, to.bottom,
                             to.right, to.top, GL_COLOR_BUFFER_BIT,
                             sameSize ? GL_NEAREST : GL_LINEAR);
    }
    SDL_GL_SwapWindow(m_sdlWindow);
    m_gl.BindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    return S_OK;
}

PresentArea FitPicture(UINT pictureWidth, UINT pictureHeight, UINT windowWidth, UINT windowHeight) {
    // Scaled to fit with its shape kept, in the middle of the window.
    const double scale =
        std::min(double(windowWidth) / pictureWidth, double(windowHeight) / pictureHeight);
    const LONG w = std::clamp<LONG>(static_cast<LONG>(pictureWidth * scale + 0.5), 1,
                                    static_cast<LONG>(windowWidth));
    const LONG h = std::clamp<LONG>(static_cast<LONG>(pictureHeight * scale + 0.5), 1,
                                    static_cast<LONG>(windowHeight));
    const LONG x = (static_cast<LONG>(windowWidth) - w) / 2;
    const LONG y = (static_cast<LONG>(windowHeight) - h) / 2;
    const LONG right = static_cast<LONG>(windowWidth), top = static_cast<LONG>(windowHeight);
    PresentArea area;
    area.picture = RECT{x, y, x + w, y + h};
    // The bars (rows below and above the picture, columns beside it), in the window's
    // bottom-up pixels; empty ones are left out.
    for (const RECT &bar : {RECT{0, 0, right, y}, RECT{0, y + h, right, top}, RECT{0, y, x, y + h},
                            RECT{x + w, y, right, y + h}})
        if (bar.right > bar.left && bar.bottom > bar.top)
            area.bars.push_back(bar);
    return area;
}

bool Device::ReadBackBuffer(std::uint32_t &width, std::uint32_t &height,
                            std::vector<std::uint8_t> &rgba) {
    if (!m_framebuffer || !MakeCurrent())
        return false;
    width = m_pp.BackBufferWidth;
    height = m_pp.BackBufferHeight;
    rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    m_gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
    m_gl.ReadBuffer(GL_COLOR_ATTACHMENT0);
    m_gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    m_gl.ReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_RGBA,
                    GL_UNSIGNED_BYTE, rgba.data());
    m_gl.BindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    // The back-buffer formats carry no alpha to show.
    for (size_t i = 3; i < rgba.size(); i += 4)
        rgba[i] = 0xFF;
    return m_gl.GetError() == GL_NO_ERROR;
}

HRESULT Device::GetDeviceCaps(D3DCAPS8 *caps) {
    return m_owner->GetDeviceCaps(m_adapter, m_type, caps);
}

HRESULT Device::GetDisplayMode(D3DDISPLAYMODE *mode) {
    if (!mode)
        return D3DERR_INVALIDCALL;
    if (m_pp.Windowed)
        return m_owner->GetAdapterDisplayMode(m_adapter, mode);
    D3DDISPLAYMODE desktop{};
    m_owner->GetAdapterDisplayMode(m_adapter, &desktop);
    mode->Width = m_pp.BackBufferWidth;
    mode->Height = m_pp.BackBufferHeight;
    mode->RefreshRate = desktop.RefreshRate;
    mode->Format = m_pp.BackBufferFormat;
    return S_OK;
}

HRESULT Device::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8 **surface) {
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (index != 0 || type != D3DBACKBUFFER_TYPE_MONO)
        return D3DERR_INVALIDCALL;
    m_backBuffer->AddRef();
    *surface = m_backBuffer;
    return S_OK;
}

UINT Device::GetAvailableTextureMem() {
    return 256u * 1024u * 1024u;
}

HRESULT Device::Clear(DWORD count, const D3DRECT *rects, DWORD flags, D3DCOLOR color, float z,
                      DWORD stencil) {
    LogCall("Clear", count, flags, color, z, stencil);
    if ((count > 0 && !rects) || flags == 0 ||
        (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)))
        return D3DERR_INVALIDCALL;
    if ((flags & D3DCLEAR_ZBUFFER) && !m_depth)
        return D3DERR_INVALIDCALL;
    if ((flags & D3DCLEAR_STENCIL) && !m_hasStencil)
        return D3DERR_INVALIDCALL;
    if (!m_framebuffer || !MakeCurrent())
        return D3DERR_INVALIDCALL;

    GLbitfield mask = 0;
    m_gl.BindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    m_pipeline->ForgetWriteMasks(); // they change below
    if (flags & D3DCLEAR_TARGET) {
        mask |= GL_COLOR_BUFFER_BIT;
        m_gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        m_gl.ClearColor(((color >> 16) & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f,
                        (color & 0xFF) / 255.0f, ((color >> 24) & 0xFF) / 255.0f);
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        mask |= GL_DEPTH_BUFFER_BIT;
        m_gl.DepthMask(GL_TRUE);
        m_gl.ClearDepth(std::clamp(z, 0.0f, 1.0f));
    }
    if (flags & D3DCLEAR_STENCIL) {
        mask |= GL_STENCIL_BUFFER_BIT;
        m_gl.StencilMask(0xFF);
        m_gl.ClearStencil(static_cast<GLint>(stencil & 0xFF));
    }
    if (count == 0) {
        m_gl.Disable(GL_SCISSOR_TEST);
        m_gl.Clear(mask);
        return S_OK;
    }
    // Rectangles are in back-buffer pixels from the top-left, which is the framebuffer's origin.
    const LONG w = static_cast<LONG>(m_pp.BackBufferWidth);
    const LONG h = static_cast<LONG>(m_pp.BackBufferHeight);
    m_gl.Enable(GL_SCISSOR_TEST);
    for (DWORD i = 0; i < count; ++i) {
        const LONG x1 = std::clamp(rects[i].x1, 0, w), x2 = std::clamp(rects[i].x2, 0, w);
        const LONG y1 = std::clamp(rects[i].y1, 0, h), y2 = std::clamp(rects[i].y2, 0, h);
        if (x2 <= x1 || y2 <= y1)
            continue;
        m_gl.Scissor(x1, y1, x2 - x1, y2 - y1);
        m_gl.Clear(mask);
    }
    m_gl.Disable(GL_SCISSOR_TEST);
    return S_OK;
}

HRESULT Device::BeginScene() {
    LogCall("BeginScene");
    HRESULT injected = S_OK;
    if (seams::ShouldFail("BeginScene", &injected))
        return injected;
    if (m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = true;
    return S_OK;
}

HRESULT Device::EndScene() {
    LogCall("EndScene");
    if (!m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = false;
    return S_OK;
}

void Device::SetCursorPosition(int x, int y, DWORD) {
    // The device cursor is drawn by the system's pointer, which already follows the mouse.
    m_cursor = {x, y};
}

BOOL Device::ShowCursor(BOOL show) {
    const BOOL previous = m_cursorShown;
    m_cursorShown = show ? TRUE : FALSE;
    m_deviceCursor.Show(m_cursorShown);
    return previous;
}
} // namespace d3d8

void seams::InjectDeviceLoss(int lostChecks) {
    std::lock_guard guard(d3d8::g_devicesLock);
    for (d3d8::Device *device : d3d8::g_devices)
        device->InjectLoss(lostChecks);
}

bool seams::ReadBackBuffer(IDirect3DDevice8 *device, image::Rgba8Image &out) {
    auto *ours = dynamic_cast<d3d8::Device *>(device);
    if (!ours)
        return false;
    out.hasAlpha = false;
    return ours->ReadBackBuffer(out.width, out.height, out.pixels);
}
