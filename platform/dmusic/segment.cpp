// WAV segments read with the multimedia file functions: the "fmt " and "data" chunks of a RIFF
// WAVE file, in any order, checked to be PCM the mixer can play.
#include "platform/dmusic/segment.h"

#include "platform/mmio/mmio.h"

#include <cstdio>
#include <cstring>

namespace dmusic {

namespace {

struct MmioFile {
    HMMIO handle = nullptr;
    ~MmioFile() {
        if (handle)
            mmioClose(handle, 0);
    }
};

bool playable(const WAVEFORMATEX &format) {
    return format.wFormatTag == WAVE_FORMAT_PCM &&
           (format.nChannels == 1 || format.nChannels == 2) &&
           (format.wBitsPerSample == 8 || format.wBitsPerSample == 16) &&
           format.nBlockAlign == format.nChannels * format.wBitsPerSample / 8 &&
           format.nSamplesPerSec >= 100 && format.nSamplesPerSec <= 200000;
}

} // namespace

HRESULT Segment::Load(const std::string &path, Segment **segment) {
    *segment = nullptr;
    MmioFile file;
    file.handle = mmioOpenA(path.c_str(), nullptr, MMIO_ALLOCBUF | MMIO_READ);
    if (!file.handle)
        return DMUS_E_LOADER_FAILEDOPEN;

    MMCKINFO riff{};
    if (mmioDescend(file.handle, &riff, nullptr, 0) != MMSYSERR_NOERROR ||
        riff.ckid != FOURCC_RIFF || riff.fccType != mmioFOURCC('W', 'A', 'V', 'E'))
        return DMUS_E_UNSUPPORTED_STREAM;

    MMCKINFO chunk{};
    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(file.handle, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR ||
        chunk.cksize < 16)
        return DMUS_E_UNSUPPORTED_STREAM;
    WAVEFORMATEX format{};
    if (mmioRead(file.handle, reinterpret_cast<HPSTR>(&format), 16) != 16 || !playable(format))
        return DMUS_E_UNSUPPORTED_STREAM;
    format.cbSize = 0;

    // The data may come before or after the format: search the whole RIFF body again.
    if (mmioSeek(file.handle, static_cast<LONG>(riff.dwDataOffset + 4), SEEK_SET) == -1)
        return DMUS_E_UNSUPPORTED_STREAM;
    chunk = {};
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(file.handle, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR)
        return DMUS_E_UNSUPPORTED_STREAM;
    const DWORD frames = chunk.cksize / format.nBlockAlign;
    if (frames == 0)
        return DMUS_E_UNSUPPORTED_STREAM;
    std::vector<BYTE> samples(std::size_t{frames} * format.nBlockAlign);
    if (mmioRead(file.handle, reinterpret_cast<HPSTR>(samples.data()),
                 static_cast<LONG>(samples.size())) != static_cast<LONG>(samples.size()))
        return DMUS_E_UNSUPPORTED_STREAM;

    auto *loaded = new Segment();
    loaded->m_format = format;
    loaded->m_samples = std::move(samples);
    *segment = loaded;
    return S_OK;
}

Segment *AsSegment(IUnknown *object) {
    return dynamic_cast<Segment *>(object);
}

HRESULT Segment::QueryInterface(REFIID iid, void **object) {
    return AnswerQuery(iid, {IID_IDirectMusicSegment8}, object);
}

HRESULT Segment::Download(IUnknown *audioPathOrPerformance) {
    return audioPathOrPerformance ? S_OK : E_POINTER;
}

HRESULT Segment::Unload(IUnknown *audioPathOrPerformance) {
    return audioPathOrPerformance ? S_OK : E_POINTER;
}

} // namespace dmusic
