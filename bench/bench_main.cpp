// SPDX-License-Identifier: MIT
// Runs the benchmarks, then holds each measured case against the limit it
// must meet relative to its baseline and prints the ratios. Exits 1 when a
// limit is missed, so a slow core shows up as a failure, not as a number
// nobody reads.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <string>
#include <vector>

#include "inputs.h"

namespace {

// Keeps the seconds per iteration of every case while the console reporter
// prints as usual.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            // With --benchmark_repetitions the median stands for the case.
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Iteration && run.iterations == 0) continue;
            if (run.run_type != Run::RT_Iteration && !median) continue;
            const std::string name = run.run_name.str();
            if (!median && medians_.count(name) != 0) continue;
            if (median) medians_.insert(name);
            seconds_[name] =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    const std::map<std::string, double>& Seconds() const { return seconds_; }

  private:
    std::map<std::string, double> seconds_;
    std::set<std::string> medians_;
};

struct Limit {
    std::string measured;
    std::string baseline;
    double max_ratio;
};

std::vector<Limit> Limits() {
    std::vector<Limit> limits;
    for (const char* kind : {"Contacts", "Hotlist"}) {
        const std::string k = kind;
        // A conversion does a few passes over its bytes; no more than five copies' worth.
        limits.push_back({k + "Text/64", k + "CopyBaseline/64", 5.0});
        // Reading and writing dominate a file conversion.
        limits.push_back({k + "File/8", k + "ReadWriteBaseline/8", 2.0});
        limits.push_back({k + "File/64", k + "ReadWriteBaseline/64", 2.0});
        // Eight times the bytes may cost at most nine times the time: no quadratic pass.
        limits.push_back({k + "Text/64", k + "Text/8", 9.0});
        limits.push_back({k + "File/64", k + "File/8", 9.0});
    }
    // The mail export moves each message's bytes once, through a small buffer:
    // no more than twice what reading and writing them takes.
    limits.push_back({"MailExport/16", "MailCatBaseline/16", 2.0});
    limits.push_back({"MailExport/64", "MailCatBaseline/64", 2.0});
    limits.push_back({"MailExport/64", "MailExport/16", 4.5});
    // The notes: 50 MiB may cost at most 8 times 8 MiB (6.25 times the bytes).
    for (const char* notes : {"NotesMarkdown", "NotesEnex", "NotesHtml"})
        limits.push_back({std::string(notes) + "/50", std::string(notes) + "/8", 8.0});
    // At least half the speed of memchr-class scanning.
    for (const char* scan : {"CountOccurrences", "SplitLines", "SplitLinesReused", "JoinLines"}) {
        limits.push_back({std::string(scan) + "/64", "MemchrBaseline/64", 2.0});
    }
    return limits;
}

// Cases held to a time of their own: a 50 MiB notes file in under 2 s.
struct Goal {
    std::string measured;
    double max_seconds;
};

std::vector<Goal> Goals() {
    return {{"NotesMarkdown/50", 2.0}, {"NotesEnex/50", 2.0}, {"NotesHtml/50", 2.0}};
}

std::string Trimmed(const std::string& name) {
    const auto cut = name.find("/real_time");
    return cut == std::string::npos ? name : name.substr(0, cut);
}

int CheckLimits(const std::map<std::string, double>& raw) {
    std::map<std::string, double> seconds;
    for (const auto& [name, value] : raw) seconds[Trimmed(name)] = value;
    int missed = 0;
    int checked = 0;
    std::printf("\n%-26s %-28s %10s %10s %7s %6s\n", "measured", "against", "ms", "base ms",
                "ratio", "limit");
    for (const Limit& limit : Limits()) {
        const auto m = seconds.find(limit.measured);
        const auto b = seconds.find(limit.baseline);
        if (m == seconds.end() || b == seconds.end() || b->second <= 0) continue;
        const double ratio = m->second / b->second;
        const bool ok = ratio <= limit.max_ratio;
        ++checked;
        if (!ok) ++missed;
        std::printf("%-26s %-28s %10.2f %10.2f %7.2f %6.1f %s\n", limit.measured.c_str(),
                    limit.baseline.c_str(), m->second * 1e3, b->second * 1e3, ratio,
                    limit.max_ratio, ok ? "ok" : "MISSED");
    }
    for (const Goal& goal : Goals()) {
        const auto m = seconds.find(goal.measured);
        if (m == seconds.end()) continue;
        const bool ok = m->second <= goal.max_seconds;
        ++checked;
        if (!ok) ++missed;
        std::printf("%-26s %-28s %10.2f %10s %7s %6.1f s %s\n", goal.measured.c_str(), "(a time)",
                    m->second * 1e3, "", "", goal.max_seconds, ok ? "ok" : "MISSED");
    }
    std::printf("%d limits checked, %d missed\n", checked, missed);
    return missed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(__GLIBC__)
    // glibc raises its mmap threshold after the first large free, so repeated
    // 8 MiB buffers come back already mapped while 64 MiB ones are mapped and
    // faulted in afresh every time. A fixed threshold makes every size pay for
    // fresh memory, as a one-shot conversion does, and keeps the growth ratios
    // about the code rather than the allocator.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    benchmark::AddCustomContext("scratch_folder", quarvo::bench::ScratchFolder());
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return CheckLimits(reporter.Seconds());
}
