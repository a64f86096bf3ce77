// The wave format records of the multimedia system: how a sound's samples are laid out. The WAV
// reader fills them from a file's "fmt " chunk and the sound buffers are described with them.
#pragma once

#include "platform/win32/types.h"

#include <bit>

static_assert(std::endian::native == std::endian::little,
              "wave format records are read from files byte for byte");

constexpr WORD WAVE_FORMAT_PCM = 1;
// The header whose sample layout is named by a sub-format identifier after the record.
constexpr WORD WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

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

// The extensible header: the record, then 22 extra bytes naming the valid bits of each sample,
// the speaker positions and the sample layout.
struct WAVEFORMATEXTENSIBLE {
    WAVEFORMATEX Format;
    union {
        WORD wValidBitsPerSample;
        WORD wSamplesPerBlock;
        WORD wReserved;
    } Samples;
    DWORD dwChannelMask;
    GUID SubFormat;
};
#pragma pack(pop)

static_assert(sizeof(WAVEFORMAT) == 14);
static_assert(sizeof(PCMWAVEFORMAT) == 16);
static_assert(sizeof(WAVEFORMATEX) == 18);
static_assert(sizeof(WAVEFORMATEXTENSIBLE) == 40);
constexpr WORD kExtensibleExtraBytes = sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX);

using LPWAVEFORMATEX = WAVEFORMATEX *;
using LPCWAVEFORMATEX = const WAVEFORMATEX *;

namespace mmio {

// The rates and channel counts a sound can be played with.
constexpr WORD kMaxWaveChannels = 8;
constexpr DWORD kMinWaveSamplesPerSec = 100;
constexpr DWORD kMaxWaveSamplesPerSec = 200000;

// Why a format record read from a file cannot describe a sound, or null when it can. A record
// other than PCM is followed in memory by its cbSize extra bytes.
const char *WaveFormatProblem(const WAVEFORMATEX &format);

// Whether a record that passed WaveFormatProblem holds plain PCM samples: PCM itself, or the
// extensible header with the PCM sub-format.
bool IsPcmWaveFormat(const WAVEFORMATEX &format);

} // namespace mmio
