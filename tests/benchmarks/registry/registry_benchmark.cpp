// Parsing and formatting the registry's text form: a key with many values (the cost must grow
// linearly with the count) and a single value of the largest size a file may hold; and loading a
// hand-made store over its limits, beside its floor.
#include "platform/win32/registry_file.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/seams.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

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

// A store over its limits (0: 5,000 foreign keys; 1: 70,000 foreign values), the program's own key
// last, as the hostile stores of a review were made.
std::string overfullStore(std::int64_t kind) {
    std::string text = "tarvos-registry 1\n";
    if (kind == 0) {
        for (int i = 0; i < 5000; ++i)
            text += "key \"Other\\" + std::to_string(i) + "\"\n";
    } else {
        text += "key \"Other\"\n";
        for (int i = 0; i < 70000; ++i)
            text += "value \"v" + std::to_string(i) + "\" 4 4 01000000\n";
    }
    return text + "key \"Software\\Tarvos\"\nvalue \"SteeringSensitivity\" 4 4 07000000\nend\n";
}

// The floor: one parse of the store's text.
void ParseOverfullStore(benchmark::State &state) {
    const std::string text = overfullStore(state.range(0));
    for (auto _ : state) {
        ParseResult parsed = ParseHive(text);
        benchmark::DoNotOptimize(parsed.valuesKept);
    }
}
BENCHMARK(ParseOverfullStore)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A start's load of it: read, parsed, the key in use parsed again on its own, the file kept by a
// second name and the repaired store written over it and flushed.
void LoadOverfullStore(benchmark::State &state) {
    const std::string text = overfullStore(state.range(0));
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("bench-registry-" + std::to_string(::getpid()));
    const std::string path = (folder / "current_user.reg").string();
    seams::CaptureDebugOutput(true);
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::ofstream(path, std::ios::binary) << text;
        seams::TakeDebugOutput();
        state.ResumeTiming();
        LoadedHive loaded = LoadHiveFile(path, "Software\\Tarvos");
        benchmark::DoNotOptimize(loaded.hive.ValueCount());
    }
    seams::CaptureDebugOutput(false);
    std::filesystem::remove_all(folder);
}
BENCHMARK(LoadOverfullStore)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
