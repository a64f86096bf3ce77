// The check every reader of WAV headers shares: a record is either a sound that can be described
// truthfully or damage with a reason, whichever reader (the WAV file class, the music loader) met
// it.
#include "platform/mmio/wave_format.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace mmio {

namespace {

// Registered tags whose records we know how to describe, whether or not anything here plays them.
constexpr WORD kKnownTags[] = {
    WAVE_FORMAT_PCM,
    0x0002, // adaptive delta PCM
    0x0003, // IEEE floating point
    0x0006, // A-law
    0x0007, // mu-law
    0x0011, // IMA adaptive delta PCM
    0x0031, // GSM 6.10
    0x0050, // MPEG
    0x0055, // MPEG layer 3
    WAVE_FORMAT_EXTENSIBLE,
};

// Sub-formats are the registered tags in the first field of one fixed identifier.
constexpr GUID kSubFormatBase = {
    0x00000000, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

bool IsKnownTag(DWORD tag) {
    return std::find(std::begin(kKnownTags), std::end(kKnownTags), tag) != std::end(kKnownTags);
}

// The tag the sub-format identifier stands for, or 0 when it is not one of the registered tags.
WORD SubFormatTag(const GUID &subFormat) {
    GUID base = subFormat;
    base.Data1 = 0;
    if (base != kSubFormatBase || subFormat.Data1 == WAVE_FORMAT_EXTENSIBLE ||
        !IsKnownTag(subFormat.Data1))
        return 0;
    return static_cast<WORD>(subFormat.Data1);
}

const WAVEFORMATEXTENSIBLE &AsExtensible(const WAVEFORMATEX &format) {
    return *reinterpret_cast<const WAVEFORMATEXTENSIBLE *>(&format);
}

const char *PcmProblem(const WAVEFORMATEX &format) {
    const WORD bits = format.wBitsPerSample;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return "PCM samples are not 8, 16, 24 or 32 bits";
    if (format.nBlockAlign != format.nChannels * (bits / 8))
        return "PCM frames are not one whole sample per channel";
    return nullptr;
}

} // namespace

const char *WaveFormatProblem(const WAVEFORMATEX &format) {
    if (format.nChannels == 0)
        return "no channels";
    if (format.nChannels > kMaxWaveChannels)
        return "more channels than a sound can have";
    if (format.nSamplesPerSec < kMinWaveSamplesPerSec ||
        format.nSamplesPerSec > kMaxWaveSamplesPerSec)
        return "sample rate out of range";
    if (format.nBlockAlign == 0)
        return "block alignment 0";
    if (format.wFormatTag == 0)
        return "format tag 0 names no format";
    if (!IsKnownTag(format.wFormatTag))
        return "unknown format tag";
    if (format.wFormatTag == WAVE_FORMAT_PCM)
        return PcmProblem(format);
    if (format.wFormatTag != WAVE_FORMAT_EXTENSIBLE)
        return nullptr;

    if (format.cbSize < kExtensibleExtraBytes)
        return "extensible header without its 22 extra bytes";
    const WAVEFORMATEXTENSIBLE &ext = AsExtensible(format);
    const WORD subTag = SubFormatTag(ext.SubFormat);
    if (subTag == 0)
        return "unknown extensible sub-format";
    // With a container size the union holds the valid bits; without one, samples per block.
    const WORD validBits = ext.Samples.wValidBitsPerSample;
    if (format.wBitsPerSample != 0 && validBits > format.wBitsPerSample)
        return "more valid bits than the sample container holds";
    if (subTag != WAVE_FORMAT_PCM)
        return nullptr;
    if (validBits == 0)
        return "PCM samples without valid bits";
    return PcmProblem(format);
}

bool IsPcmWaveFormat(const WAVEFORMATEX &format) {
    if (format.wFormatTag == WAVE_FORMAT_PCM)
        return true;
    return format.wFormatTag == WAVE_FORMAT_EXTENSIBLE && format.cbSize >= kExtensibleExtraBytes &&
           SubFormatTag(AsExtensible(format).SubFormat) == WAVE_FORMAT_PCM;
}

} // namespace mmio
