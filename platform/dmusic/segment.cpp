// WAV segments read with the multimedia file functions: the "fmt " and "data" chunks of a RIFF
// WAVE file, in any order, checked to be PCM the mixer can play; a refused file is traced.
#include "platform/dmusic/segment.h"

#include "platform/mmio/mmio.h"

#include "platform/win32/debug_output.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace dmusic {

namespace {

struct MmioFile {
    HMMIO handle = nullptr;
    ~MmioFile() {
        if (handle)
            mmioClose(handle, 0);
    }
};

// The mixer plays mono and stereo samples of 8 and 16 bits.
bool playable(const WAVEFORMATEX &format) {
    return (format.nChannels == 1 || format.nChannels == 2) &&
           (format.wBitsPerSample == 8 || format.wBitsPerSample == 16);
}

HRESULT refuse(const std::string &path, const char *why) {
    OutputDebugStringA(("dmusic: " + path + ": " + why + "\n").c_str());
    return DMUS_E_UNSUPPORTED_STREAM;
}

// Reads the "fmt " chunk the file handle stands in into `format`, as the plain PCM record the
// mixer is given; the extensible header with the PCM sub-format counts as PCM.
HRESULT readFormat(HMMIO handle, const MMCKINFO &chunk, const std::string &path,
                   WAVEFORMATEX &format) {
    WAVEFORMATEXTENSIBLE header{};
    const LONG wanted = static_cast<LONG>(std::min<DWORD>(chunk.cksize, sizeof header));
    if (chunk.cksize < sizeof(PCMWAVEFORMAT) ||
        mmioRead(handle, reinterpret_cast<HPSTR>(&header), wanted) != wanted)
        return refuse(path, "no complete format record");
    if (header.Format.wFormatTag == WAVE_FORMAT_PCM)
        header.Format.cbSize = 0;
    else if (chunk.cksize < sizeof(WAVEFORMATEX) + std::size_t{header.Format.cbSize})
        return refuse(path, "format record longer than its chunk");
    if (const char *problem = mmio::WaveFormatProblem(header.Format))
        return refuse(path, problem);
    if (!mmio::IsPcmWaveFormat(header.Format) || !playable(header.Format))
        return refuse(path, "not mono or stereo PCM of 8 or 16 bits");
    format = header.Format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.cbSize = 0;
    return S_OK;
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
        return refuse(path, "not a RIFF WAVE file");

    MMCKINFO chunk{};
    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(file.handle, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR)
        return refuse(path, "no \"fmt \" chunk");
    WAVEFORMATEX format{};
    if (const HRESULT hr = readFormat(file.handle, chunk, path, format); FAILED(hr))
        return hr;

    // The data may come before or after the format: search the whole RIFF body again.
    chunk = {};
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioSeek(file.handle, static_cast<LONG>(riff.dwDataOffset + 4), SEEK_SET) == -1 ||
        mmioDescend(file.handle, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR)
        return refuse(path, "no \"data\" chunk");
    const DWORD frames = chunk.cksize / format.nBlockAlign;
    if (frames == 0)
        return refuse(path, "no whole frame of samples");
    // Read where a sound buffer will play them: the music's voice shares this memory.
    auto samples = std::make_shared<dsound::SampleData>(format, frames * format.nBlockAlign);
    samples->lent = true;
    const auto size = static_cast<LONG>(samples->bytes.size());
    if (mmioRead(file.handle, reinterpret_cast<HPSTR>(samples->bytes.data()), size) != size)
        return refuse(path, "samples cut short");

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
