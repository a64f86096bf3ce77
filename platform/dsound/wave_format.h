// Stand-in for the multimedia layer's wave format record while that layer is not in the tree.
#pragma once

#include "platform/win32/types.h"

constexpr WORD WAVE_FORMAT_PCM = 1;

#pragma pack(push, 2)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

using LPWAVEFORMATEX = WAVEFORMATEX *;
using LPCWAVEFORMATEX = const WAVEFORMATEX *;
