// SPDX-License-Identifier: MIT
// The two conversions, bytes to bytes and file to file, each beside a
// baseline that only moves the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "inputs.h"
#include "quarvo/conversions/contacts.h"
#include "quarvo/conversions/hotlist.h"
#include "quarvo/files/file_layer.h"

namespace quarvo::bench {
namespace {

using InputFn = const std::string& (*)(std::size_t);

void CountBytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.SetComplexityN(static_cast<std::int64_t>(bytes));
}

// What any conversion must at least do: allocate a fresh string and copy the
// input into it.
template <InputFn Input>
void BM_CopyBaseline(benchmark::State& state) {
    const std::string& input = Input(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::string copy(input.size(), '\0');
        std::memcpy(copy.data(), input.data(), input.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    CountBytes(state, input.size());
}

void BM_ContactsText(benchmark::State& state) {
    const std::string& input = ContactsInput(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        ContactsConversion result = ConvertContactsText(input);
        benchmark::DoNotOptimize(result.csv.data());
    }
    CountBytes(state, input.size());
}

void BM_HotlistText(benchmark::State& state) {
    const std::string& input = HotlistInput(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        auto result = ConvertHotlistText(input);
        if (!result) state.SkipWithError("generated hotlist rejected");
        benchmark::DoNotOptimize(result);
    }
    CountBytes(state, input.size());
}

std::string StoreInput(const char* kind, std::size_t mib, const std::string& bytes) {
    const std::string name =
        ScratchFolder() + kPathSeparator + kind + "-" + std::to_string(mib) + ".adr";
    if (!PlainFileExists(name)) WriteWholeFile(name, bytes);
    return name;
}

// What any file conversion must at least do: read the input whole and write
// as many bytes back, through the same file layer.
template <InputFn Input>
void BM_ReadWriteBaseline(benchmark::State& state) {
    const auto mib = static_cast<std::size_t>(state.range(0));
    const std::string& input = Input(mib);
    const std::string in = StoreInput(Input == ContactsInput ? "contacts" : "hotlist", mib, input);
    const std::string out = in + ".copy";
    for (auto _ : state) {
        WriteWholeFile(out, ReadWholeFile(in));
    }
    CountBytes(state, input.size());
}

void BM_ContactsFile(benchmark::State& state) {
    const auto mib = static_cast<std::size_t>(state.range(0));
    const std::string& input = ContactsInput(mib);
    const std::string in = StoreInput("contacts", mib, input);
    const std::string out = in + ".csv";
    for (auto _ : state) {
        benchmark::DoNotOptimize(ConvertOperaContacts(in, out));
    }
    CountBytes(state, input.size());
}

void BM_HotlistFile(benchmark::State& state) {
    const auto mib = static_cast<std::size_t>(state.range(0));
    const std::string& input = HotlistInput(mib);
    const std::string in = StoreInput("hotlist", mib, input);
    const std::string out = in + ".html";
    for (auto _ : state) {
        benchmark::DoNotOptimize(ConvertOperaBookmarks(in, out));
    }
    CountBytes(state, input.size());
}

// Sizes in MiB; the time unit keeps 64 MiB figures readable.
void TextSizes(benchmark::internal::Benchmark* b) {
    b->Arg(1)->Arg(8)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();
}
void FileSizes(benchmark::internal::Benchmark* b) {
    b->Arg(8)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_CopyBaseline<ContactsInput>)
    ->Name("ContactsCopyBaseline")
    ->Apply(TextSizes)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_ContactsText)->Name("ContactsText")->Apply(TextSizes)->Complexity(benchmark::oN);
BENCHMARK(BM_CopyBaseline<HotlistInput>)
    ->Name("HotlistCopyBaseline")
    ->Apply(TextSizes)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_HotlistText)->Name("HotlistText")->Apply(TextSizes)->Complexity(benchmark::oN);

BENCHMARK(BM_ReadWriteBaseline<ContactsInput>)
    ->Name("ContactsReadWriteBaseline")
    ->Apply(FileSizes)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_ContactsFile)->Name("ContactsFile")->Apply(FileSizes)->Complexity(benchmark::oN);
BENCHMARK(BM_ReadWriteBaseline<HotlistInput>)
    ->Name("HotlistReadWriteBaseline")
    ->Apply(FileSizes)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_HotlistFile)->Name("HotlistFile")->Apply(FileSizes)->Complexity(benchmark::oN);

}  // namespace
}  // namespace quarvo::bench
