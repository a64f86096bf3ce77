// Counters of the layer's live objects, so that tests can prove nothing leaks.
#pragma once

#include <atomic>

namespace d3d8 {

std::atomic<int> &LiveObjectCount(); // Direct3D objects, devices, surfaces
std::atomic<int> &LiveGlCount();     // contexts, framebuffers, renderbuffers

} // namespace d3d8
