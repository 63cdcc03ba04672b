// SPDX-License-Identifier: MIT
// The notes out, file to file, in each of their outputs, beside the baseline
// that only reads the notes file and writes as many bytes back. The goal:
// a 50 MiB notes file in under 2 s (bench_main.cpp holds them to it).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "inputs.h"
#include "quarvo/report/conversion_report.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/conversions/notes_export.h"

namespace quarvo::bench {
namespace {

std::string StoreNotes(std::size_t mib) {
    const std::string name =
        ScratchFolder() + kPathSeparator + "notes-" + std::to_string(mib) + ".adr";
    if (!PlainFileExists(name)) WriteWholeFile(name, NotesInput(mib));
    return name;
}

void CountBytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.SetComplexityN(static_cast<std::int64_t>(bytes));
}

void BM_NotesReadWriteBaseline(benchmark::State& state) {
    const auto mib = static_cast<std::size_t>(state.range(0));
    const std::string in = StoreNotes(mib);
    for (auto _ : state) WriteWholeFile(in + ".copy", ReadWholeFile(in));
    CountBytes(state, NotesInput(mib).size());
}

template <NotesFormat Format>
void BM_Notes(benchmark::State& state) {
    const auto mib = static_cast<std::size_t>(state.range(0));
    const std::string in = StoreNotes(mib);
    const std::string out = in + (Format == NotesFormat::kEnex   ? ".enex"
                                  : Format == NotesFormat::kHtml ? ".html"
                                                                 : ".md");
    std::int64_t notes = 0;
    for (auto _ : state) {
        // A folder output is made afresh each time, as a first export is.
        state.PauseTiming();
        std::filesystem::remove_all(out);
        state.ResumeTiming();
        ConversionReport report;
        notes = RunNotesExport({in, out}, {Format, false, false}, report).notes;
    }
    state.counters["notes"] = static_cast<double>(notes);
    CountBytes(state, NotesInput(mib).size());
    std::filesystem::remove_all(out);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(8)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_NotesReadWriteBaseline)->Name("NotesReadWriteBaseline")->Apply(Sizes);
BENCHMARK(BM_Notes<NotesFormat::kMarkdown>)->Name("NotesMarkdown")->Apply(Sizes);
BENCHMARK(BM_Notes<NotesFormat::kEnex>)->Name("NotesEnex")->Apply(Sizes);
BENCHMARK(BM_Notes<NotesFormat::kHtml>)->Name("NotesHtml")->Apply(Sizes);

}  // namespace
}  // namespace quarvo::bench
