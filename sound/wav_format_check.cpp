// The WAV reader's format check.
#include "sound/wav_format_check.h"

namespace wav {

bool IsAcceptableFormat(const PCMWAVEFORMAT &format) {
    const WAVEFORMAT &wf = format.wf;
    if (wf.nChannels == 0 || wf.nChannels > kMaxChannels)
        return false;
    if (wf.nSamplesPerSec < kMinSamplesPerSec || wf.nSamplesPerSec > kMaxSamplesPerSec)
        return false;
    if (wf.nBlockAlign == 0)
        return false;
    if (wf.wFormatTag != WAVE_FORMAT_PCM)
        return true;
    // PCM frames are whole samples of every channel, nothing more.
    const WORD bits = format.wBitsPerSample;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    return wf.nBlockAlign == wf.nChannels * (bits / 8);
}

} // namespace wav
