// The value codec's throughput, encoding and decoding, over the lengths that
// INI values take (a number, a name, a path, and the longest text whose
// encoding fits the 1024-byte buffers the settings use).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "settings/value_codec.h"

namespace {

constexpr std::int32_t CAPACITY = 1024;

// Printable bytes and code page 932 lead and trail bytes, as values hold them.
std::string sampleText(std::size_t length) {
    std::string text(length, '\0');
    for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>(0x20 + (i * 37) % 0xDF);
    return text;
}

void encode(benchmark::State& state) {
    const std::string plain = sampleText(static_cast<std::size_t>(state.range(0)));
    std::vector<char> encoded(CAPACITY);
    for (auto _ : state) {
        benchmark::DoNotOptimize(codeValue('+', plain.c_str(), encoded.data(), CAPACITY));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void decode(benchmark::State& state) {
    const std::string plain = sampleText(static_cast<std::size_t>(state.range(0)));
    std::vector<char> encoded(CAPACITY);
    std::vector<char> decoded(CAPACITY);
    if (codeValue('+', plain.c_str(), encoded.data(), CAPACITY) != 0) {
        state.SkipWithError("the sample does not encode");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(codeValue('-', encoded.data(), decoded.data(), CAPACITY));
        benchmark::ClobberMemory();
    }
    // Counted in plain bytes, so that both directions compare.
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

// 2 bytes: a level number; 24: a name; 120: a path; 510: the longest text
// whose 2n + 2 encoded characters and NUL fit 1024 bytes.
BENCHMARK(encode)->Arg(2)->Arg(24)->Arg(120)->Arg(510);
BENCHMARK(decode)->Arg(2)->Arg(24)->Arg(120)->Arg(510);

}  // namespace

BENCHMARK_MAIN();
