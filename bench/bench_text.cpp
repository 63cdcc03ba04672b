// SPDX-License-Identifier: MIT
// The scans the main window and the file viewer run over whole files: marker
// counting on every keystroke, and splitting into and joining from lines.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "inputs.h"
#include "quarvo/text/line_list.h"
#include "quarvo/text/text_search.h"

namespace quarvo::bench {
namespace {

void CountBytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.SetComplexityN(static_cast<std::int64_t>(bytes));
}

// The fastest way to visit every line of a text: memchr from one LF to the
// next. Counting and splitting cannot beat it by much.
void BM_MemchrBaseline(benchmark::State& state) {
    const std::string& text = HotlistInput(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::size_t lines = 0;
        const char* at = text.data();
        const char* const end = at + text.size();
        while (const void* hit = std::memchr(at, '\n', static_cast<std::size_t>(end - at))) {
            ++lines;
            at = static_cast<const char*>(hit) + 1;
        }
        benchmark::DoNotOptimize(lines);
    }
    CountBytes(state, text.size());
}

void BM_CountOccurrences(benchmark::State& state) {
    const std::string& text = HotlistInput(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(CountOccurrences(text, "#URL"));
    }
    CountBytes(state, text.size());
}

void BM_SplitLines(benchmark::State& state) {
    const std::string& text = HotlistInput(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        LineList lines;
        SplitLines(text, lines);
        benchmark::DoNotOptimize(lines.size());
    }
    CountBytes(state, text.size());
}

// The viewer refills the list it already holds when a file is loaded again:
// the buffers are there, only the scanning and copying are left.
void BM_SplitLinesReused(benchmark::State& state) {
    const std::string& text = HotlistInput(static_cast<std::size_t>(state.range(0)));
    LineList lines;
    SplitLines(text, lines);
    for (auto _ : state) {
        SplitLines(text, lines);
        benchmark::DoNotOptimize(lines.size());
    }
    CountBytes(state, text.size());
}

void BM_JoinLines(benchmark::State& state) {
    const std::string& text = HotlistInput(static_cast<std::size_t>(state.range(0)));
    LineList lines;
    SplitLines(text, lines);
    for (auto _ : state) {
        std::string joined = JoinLines(lines);
        benchmark::DoNotOptimize(joined.data());
    }
    CountBytes(state, text.size());
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(8)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_MemchrBaseline)->Name("MemchrBaseline")->Apply(Sizes)->Complexity(benchmark::oN);
BENCHMARK(BM_CountOccurrences)->Name("CountOccurrences")->Apply(Sizes)->Complexity(benchmark::oN);
BENCHMARK(BM_SplitLines)->Name("SplitLines")->Apply(Sizes)->Complexity(benchmark::oN);
BENCHMARK(BM_SplitLinesReused)->Name("SplitLinesReused")->Apply(Sizes)->Complexity(benchmark::oN);
BENCHMARK(BM_JoinLines)->Name("JoinLines")->Apply(Sizes)->Complexity(benchmark::oN);

}  // namespace
}  // namespace quarvo::bench
