// Feeds arbitrary text to the effect parser and checks that what it accepts is consistent.
#include "platform/d3dx/effect_parser.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    effect::Effect fx;
    std::string error;
    if (!effect::ParseEffect({reinterpret_cast<const char *>(data), size}, fx, error))
        return 0;
    for (const auto &technique : fx.techniques)
        for (const auto &pass : technique.passes)
            for (const auto &a : pass.assignments)
                if (a.parameter >= static_cast<int>(fx.parameters.size()))
                    __builtin_trap();
    return 0;
}
