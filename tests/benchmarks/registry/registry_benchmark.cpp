// Parsing and formatting the registry's text form: a key with many values (the cost must grow
// linearly with the count) and a single value of the largest size a file may hold.
#include "platform/win32/registry_store.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace win32::registry;

std::string manyValues(std::size_t count) {
    Hive hive;
    Key *key = hive.Create("Software\\Tarvos", nullptr);
    for (std::size_t i = 0; i < count; ++i)
        hive.SetValue(*key, "Score" + std::to_string(i), 4, {1, 2, 3, 4});
    return FormatHive(hive);
}

void ParseManyValues(benchmark::State &state) {
    const std::string text = manyValues(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        ParseResult parsed = ParseHive(text);
        benchmark::DoNotOptimize(parsed.valuesKept);
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ParseManyValues)->RangeMultiplier(8)->Range(64, 32768)->Complexity();

void ParseLargestValue(benchmark::State &state) {
    Hive hive;
    hive.SetValue(*hive.Create("Software\\Tarvos", nullptr), "Blob", 3,
                  std::vector<BYTE>(kMaxValueBytes, 0x5A));
    const std::string text = FormatHive(hive);
    for (auto _ : state) {
        ParseResult parsed = ParseHive(text);
        benchmark::DoNotOptimize(parsed.valuesKept);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ParseLargestValue);

void FormatManyValues(benchmark::State &state) {
    const ParseResult parsed = ParseHive(manyValues(static_cast<std::size_t>(state.range(0))));
    for (auto _ : state) {
        std::string text = FormatHive(parsed.hive);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(FormatManyValues)->RangeMultiplier(8)->Range(64, 32768)->Complexity();

} // namespace
