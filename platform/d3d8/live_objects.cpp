// The live-object counters behind seams::LiveD3D8Objects and seams::LiveGlObjects.
#include "platform/d3d8/live_objects.h"

#include "platform/d3d8/seams.h"

namespace d3d8 {

std::atomic<int> &LiveObjectCount() {
    static std::atomic<int> count{0};
    return count;
}

std::atomic<int> &LiveGlCount() {
    static std::atomic<int> count{0};
    return count;
}

} // namespace d3d8

int seams::LiveD3D8Objects() {
    return d3d8::LiveObjectCount().load();
}
int seams::LiveGlObjects() {
    return d3d8::LiveGlCount().load();
}
