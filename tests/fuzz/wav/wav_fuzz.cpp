// Feeds arbitrary bytes to the WAV reader as a module resource (read through a memory image) and
// as a file, reads the data in uneven slices and rewinds; then walks every chunk of the bytes with
// the chunk functions. Anything but a clean result or a clean refusal is a finding.
#include "platform/mmio/mmio.h"
#include "platform/test_seams.h"
#include "sound/wav_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::string &TempPath() {
    static const std::string path = [] {
        std::string pattern = "/tmp/tarvos-fuzz-wav-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd >= 0)
            ::close(fd);
        std::atexit([] { std::remove(TempPath().c_str()); });
        return pattern;
    }();
    return path;
}

void ReadThrough(WavFile &wav) {
    const DWORD size = wav.GetSize();
    if (!wav.m_pwfx)
        std::abort();
    std::vector<BYTE> buffer(4096);
    DWORD total = 0;
    for (DWORD slice = 1;; slice = slice * 3 + 1) {
        DWORD got = 0;
        const DWORD want = slice % 4096 + 1;
        if (FAILED(wav.Read(buffer.data(), want, &got)))
            return;
        if (got > want)
            std::abort();
        total += got;
        if (got == 0)
            break;
    }
    if (total != size)
        std::abort();
    if (SUCCEEDED(wav.ResetFile())) {
        DWORD got = 0;
        wav.Read(buffer.data(), static_cast<DWORD>(buffer.size()), &got);
    }
}

// Visits every chunk inside `parent` (or the whole image), two levels deep into lists.
void WalkChunks(HMMIO h, const MMCKINFO *parent, int depth) {
    for (int i = 0; i < 64; ++i) {
        MMCKINFO ck{};
        if (mmioDescend(h, &ck, parent, 0) != MMSYSERR_NOERROR)
            return;
        if (parent && ck.dwDataOffset + ck.cksize > parent->dwDataOffset + parent->cksize)
            std::abort();
        if ((ck.ckid == FOURCC_RIFF || ck.ckid == FOURCC_LIST) && depth < 2)
            WalkChunks(h, &ck, depth + 1);
        char head[8];
        mmioRead(h, head, sizeof head);
        if (mmioAscend(h, &ck, 0) != MMSYSERR_NOERROR)
            return;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const bool quiet = [] {
        seams::CaptureDebugOutput(true);
        seams::CaptureMessageBoxes(true);
        return true;
    }();
    (void)quiet;
    const std::vector<BYTE> bytes(data, data + size);

    seams::AddModuleResource("tarvos-fuzz-resource", "WAVE", bytes);
    {
        WavFile wav;
        if (SUCCEEDED(wav.Open("tarvos-fuzz-resource", nullptr, WAVEFILE_READ)))
            ReadThrough(wav);
    }
    seams::ClearModuleResources();

    if (std::FILE *file = std::fopen(TempPath().c_str(), "wb")) {
        if (!bytes.empty())
            std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        WavFile wav;
        if (SUCCEEDED(wav.Open(TempPath().c_str(), nullptr, WAVEFILE_READ)))
            ReadThrough(wav);
    }

    std::vector<char> image(bytes.begin(), bytes.end());
    MMIOINFO info{};
    info.fccIOProc = FOURCC_MEM;
    info.cchBuffer = static_cast<LONG>(image.size());
    info.pchBuffer = image.data();
    if (HMMIO h = mmioOpenA(nullptr, &info, MMIO_READ)) {
        WalkChunks(h, nullptr, 0);
        mmioClose(h, 0);
    }

    seams::TakeDebugOutput();
    seams::TakeMessageBoxes();
    return 0;
}
