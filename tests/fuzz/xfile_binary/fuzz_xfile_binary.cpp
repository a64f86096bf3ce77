// Feeds arbitrary binary tokens to the X-file reader through the mesh loader's and the frame
// loader's paths. The first input byte chooses: bit 1 set, the rest is a whole file with its own
// header (so versions, encodings and the refusal of compressed files are fuzzed too); otherwise
// bit 0 chooses the 32- or 64-bit float header that the rest follows.
#include "tests/fuzz/quiet_traces.h"
#include "tests/fuzz/xfile_checks.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    fuzzing::QuietTraces();
    if (size == 0)
        return 0;
    if (data[0] & 2) {
        fuzzing::CheckXFile({data + 1, size - 1});
    } else {
        const char *header = (data[0] & 1) ? "xof 0303bin 0064" : "xof 0303bin 0032";
        std::vector<std::uint8_t> file(header, header + 16);
        file.insert(file.end(), data + 1, data + size);
        fuzzing::CheckXFile(file);
    }
    seams::TakeDebugOutput();
    return 0;
}
