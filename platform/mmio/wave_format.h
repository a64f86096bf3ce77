// The wave format records of the multimedia system: how a sound's samples are laid out. The WAV
// reader fills them from a file's "fmt " chunk and the sound buffers are described with them.
#pragma once

#include "platform/win32/types.h"

#include <bit>

static_assert(std::endian::native == std::endian::little,
              "wave format records are read from files byte for byte");

constexpr WORD WAVE_FORMAT_PCM = 1;

// Packed to two bytes so the records have exactly their file sizes (14, 16 and 18 bytes).
#pragma pack(push, 2)
struct WAVEFORMAT {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
};

struct PCMWAVEFORMAT {
    WAVEFORMAT wf;
    WORD wBitsPerSample;
};

// Followed in memory by cbSize extra bytes for formats other than PCM.
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

static_assert(sizeof(WAVEFORMAT) == 14);
static_assert(sizeof(PCMWAVEFORMAT) == 16);
static_assert(sizeof(WAVEFORMATEX) == 18);

using LPWAVEFORMATEX = WAVEFORMATEX *;
using LPCWAVEFORMATEX = const WAVEFORMATEX *;
