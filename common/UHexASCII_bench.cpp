// Host benchmark of the hex text routines on command-sized buffers.
#include <benchmark/benchmark.h>

#include <string>

#include "common/UHexASCII.h"

namespace {

std::string Bytes(std::size_t n)
{
    std::string b(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<char>(i * 37 + 11);
    return b;
}

void BM_BytesToHexText(benchmark::State& state)
{
    const std::string bytes = Bytes(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(UHexASCII::BytesToHexText(bytes));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BytesToHexText)->Arg(261)->Arg(4096);

void BM_HexTextToBytes(benchmark::State& state)
{
    const std::string text = UHexASCII::BytesToHexText(Bytes(static_cast<std::size_t>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(UHexASCII::HexTextToBytes(text));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_HexTextToBytes)->Arg(261)->Arg(4096);

} // namespace
