// Feeds arbitrary text to the X-file reader through the mesh loader's and the frame loader's
// paths. Inputs that begin with "xof " bring their own header (so versions, encodings and the
// refusal of compressed files are fuzzed too); the others follow the text header.
#include "tests/fuzz/quiet_traces.h"
#include "tests/fuzz/xfile_checks.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    fuzzing::QuietTraces();
    if (size >= 4 && std::memcmp(data, "xof ", 4) == 0) {
        fuzzing::CheckXFile({data, size});
    } else {
        static const char kHeader[] = "xof 0303txt 0032";
        std::vector<std::uint8_t> file(kHeader, kHeader + 16);
        file.insert(file.end(), data, data + size);
        fuzzing::CheckXFile(file);
    }
    seams::TakeDebugOutput();
    return 0;
}
