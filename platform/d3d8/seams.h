// Test seams of the Direct3D 8 layer. Declared for tests only; the program never calls them, and
// none changes behaviour until a test turns it on.
//
// Failure points (seams::InjectFailure with these names):
//   "Direct3DCreate8"       Direct3DCreate8 returns NULL
//   "CreateDevice"          IDirect3D8::CreateDevice fails with the injected code
//   "Reset"                 IDirect3DDevice8::Reset fails with the injected code (device stays
//   lost) "TestCooperativeLevel"  TestCooperativeLevel returns the injected code once per arming
//   "BeginScene"            BeginScene fails with the injected code
//   "CompileProgram"        the next fixed-function program fails to compile (draws skipped)
//   "DeviceRelease"         the next device Release keeps its reference: the count it returns
//                           stays above zero and a later Release frees the device
//   "MakeContextCurrent"    a resource cannot make its device's context current, as when the
//                           window is already gone
#pragma once

#include "platform/d3d8/adapters.h"
#include "platform/d3d8/call_log.h"
#include "platform/d3d8/d3d8.h"
#include "platform/image/image.h"
#include "platform/seams/failure_injection.h"

#include <string>
#include <vector>

namespace seams {

// Adapters, modes and capabilities that Direct3D objects created from now on report, instead of
// the machine's. Devices are still real OpenGL devices.
void OverrideD3D8Adapters(std::vector<d3d8::AdapterInfo> adapters);
void ClearD3D8AdapterOverride();
// The machine's adapter as this layer describes it for a desktop of the given size, to start from.
d3d8::AdapterInfo StandardD3D8Adapter(int desktopWidth = 1024, int desktopHeight = 768);

// Makes every live device lost, as when a full-screen device loses the focus: TestCooperativeLevel
// reports D3DERR_DEVICELOST for the next `lostChecks` calls, then D3DERR_DEVICENOTRESET until a
// successful Reset.
void InjectDeviceLoss(int lostChecks = 1);

// Counts of live layer objects, for leak checks.
int LiveD3D8Objects(); // Direct3D objects, devices and surfaces not yet freed
int LiveGlObjects();   // GL contexts, framebuffers and renderbuffers not yet deleted

// Frame capture: the presented frames whose numbers (presents counted from 1 since the capture
// was set) are listed are written as <folder>/frame-<n>.png. The program reads the same settings
// from TARVOS_CAPTURE_DIR and TARVOS_CAPTURE_FRAMES.
void CaptureFrames(const std::string &folder, std::vector<unsigned> frames);
unsigned PresentCount();

// Reads the device's back buffer as it stands (rows top to bottom).
bool ReadBackBuffer(IDirect3DDevice8 *device, image::Rgba8Image &out);

// The log of device calls with their arguments, in order: empty and off until started; a seams
// reset turns it off. Each entry reads as "Method(arg, ...)" with numbers in decimal. Besides the
// device's methods it records the texels a texture moves between memory and OpenGL:
// ReadTexels(face, level, left, top, right, bottom) when a lock reads a rectangle back, and
// SendTexels(face, level, left, top, right, bottom) when an unlock or a first use sends one.
void StartDeviceCallLog();
void StopDeviceCallLog();
const std::vector<d3d8::DeviceCall> &DeviceCalls();
std::vector<std::string> DeviceCallTexts();

// New texture storage in OpenGL filled with a pattern instead of what the driver gives (which may
// be zeros), so that a level the layer forgot to define shows.
void PoisonNewTextureStorage(bool on);

// The image and hot spot the device's cursor was last given (SetCursorProperties); false when
// none was.
bool DeviceCursorImage(IDirect3DDevice8 *device, image::Rgba8Image &out, POINT &hotSpot);

// Fixed-function programs the device has built so far (each state combination builds one).
std::size_t D3D8ProgramCount(IDirect3DDevice8 *device);

} // namespace seams
