// How a program that draws with the software rasteriser wants the C heap to behave. A program sets
// it once, at its entry, before it allocates much; no library call changes the process's heap.
#pragma once

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace win32 {

// The software rasteriser allocates and frees tens of megabytes per frame. With glibc's defaults
// the free space at the top of the heap goes back to the system at each frame and is faulted back
// in, zero-filled, by the next: thousands of page faults per frame, about half of a busy frame.
// This keeps up to 128 MB of freed heap for reuse instead (well above one frame's churn, and
// memory the process has just used anyway), and keeps blocks up to 32 MB on the heap rather than
// mapping each afresh (the most glibc's own adaptive rule would pick; setting the trim threshold
// switches that rule off, leaving 128 KB).
inline void KeepFreedMemoryForReuse() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
#endif
}

} // namespace win32
