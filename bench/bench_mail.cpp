// SPDX-License-Identifier: MIT
// The mail export of a generated store beside a baseline that reads every
// message file and writes the same bytes into one file, as `cat` would.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "inputs.h"
#include "mail_gen.h"
#include "quarvo/conversions/mail_export.h"
#include "quarvo/files/file_layer.h"

namespace quarvo::bench {
namespace {

namespace fs = std::filesystem;

// About 11 KB a message: `mib` MiB of store.
struct MailStore {
    std::string folder;
    std::uint64_t bytes = 0;
    std::vector<std::string> files;
};

const MailStore& MailInput(std::size_t mib) {
    static std::map<std::size_t, MailStore> cache;
    auto found = cache.find(mib);
    if (found != cache.end()) return found->second;
    MailStore store;
    store.folder = ScratchFolder() + kPathSeparator + "mail-" + std::to_string(mib);
    fs::remove_all(store.folder);
    store.bytes = gen::WriteMailFolder(store.folder, mib * kMiB / (11 * 1024), 7000);
    for (const auto& entry : fs::recursive_directory_iterator(store.folder + "/store"))
        if (entry.is_regular_file()) store.files.push_back(entry.path().string());
    return cache.emplace(mib, std::move(store)).first->second;
}

void BM_MailCatBaseline(benchmark::State& state) {
    const MailStore& store = MailInput(static_cast<std::size_t>(state.range(0)));
    std::unique_ptr<char[]> chunk(new char[1 << 20]);
    for (auto _ : state) {
        FileReplacement out(store.folder + ".cat");
        for (const std::string& name : store.files) {
            FileReading in(name);
            for (std::size_t at = 0; at < in.size(); at += 1 << 20) {
                const std::size_t bytes = std::min<std::size_t>(1 << 20, in.size() - at);
                in.ReadAt(at, chunk.get(), bytes);
                out.Write(std::string_view(chunk.get(), bytes));
            }
        }
        out.Commit();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * store.bytes));
}

void BM_MailExport(benchmark::State& state) {
    const MailStore& store = MailInput(static_cast<std::size_t>(state.range(0)));
    MailExportOptions options;
    options.replace = true;
    for (auto _ : state) {
        ConversionReport report;
        const MailExportOutcome done =
            ExportOperaMail(store.folder, store.folder + ".out", options, report);
        benchmark::DoNotOptimize(done.messages);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * store.bytes));
}

void MailSizes(benchmark::internal::Benchmark* b) {
    b->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_MailCatBaseline)->Name("MailCatBaseline")->Apply(MailSizes);
BENCHMARK(BM_MailExport)->Name("MailExport")->Apply(MailSizes);

}  // namespace
}  // namespace quarvo::bench
