// SPDX-License-Identifier: MIT
// The file viewer on large Opera files: showing one (read, load into the
// editor, write the backup, paint) and saving it back, beside a baseline
// that only reads and writes the same bytes. Each case also reports the
// memory the process holds after it and at its peak, beyond what it held
// before, as multiples of the file's size (held_x, peak_x).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app_globals.h"
#include "inputs.h"
#include "qt_desktop.h"
#include "quarvo/files/file_layer.h"
#include "uFileViewer.h"

namespace quarvo::bench {
namespace {

// Resident memory of the process, in bytes.
double ResidentBytes() {
    long pages = 0, resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * 4096.0;
}

// Starts the count of PeakBytes afresh, so that making the input does not count.
void ResetPeak() {
    if (std::FILE* clear_refs = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", clear_refs);
        std::fclose(clear_refs);
    }
}

// The peak of ResidentBytes since the last ResetPeak.
double PeakBytes() {
    double peak = 0;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) peak = std::stod(line.substr(6)) * 1024.0;
    }
    return peak;
}

// A hotlist of `mib` MiB on disk; the viewer's backup goes beside it.
std::string HotlistFile(std::size_t mib) {
    const std::filesystem::path folder = ScratchFolder();
    std::filesystem::current_path(folder);
    const std::string name = (folder / ("opera6-" + std::to_string(mib) + ".adr")).string();
    WriteWholeFile(name, HotlistInput(mib));
    return name;
}

// Made in main(), after the application and gone before it.
TfFileViewer* the_viewer = nullptr;

TfFileViewer& Viewer() {
    return *the_viewer;
}

// What the program holds before any file is made or shown.
double StartBytes() {
    static const double bytes = ResidentBytes();
    return bytes;
}

void Report(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.SetComplexityN(static_cast<std::int64_t>(bytes));
    const double file = static_cast<double>(bytes);
    // The program's own memory and the benchmark's copy of the input are
    // not the viewer's.
    const double others = StartBytes() + file;
    state.counters["held_x"] = (ResidentBytes() - others) / file;
    state.counters["peak_x"] = (PeakBytes() - others) / file;
}

void BM_ReadWriteBaseline(benchmark::State& state) {
    const auto mib = static_cast<std::size_t>(state.range(0));
    const std::string name = HotlistFile(mib);
    ResetPeak();
    for (auto _ : state) {
        const std::string bytes = ReadWholeFile(name);
        WriteWholeFile(name, bytes);
    }
    Report(state, HotlistInput(mib).size());
}

// What a showing does, up to the first paint of the loaded text.
void BM_ViewerOpen(benchmark::State& state) {
    const auto mib = static_cast<std::size_t>(state.range(0));
    ViewedFileName = HotlistFile(mib);
    TfFileViewer& viewer = Viewer();
    viewer.show();
    QApplication::processEvents();
    ResetPeak();
    for (auto _ : state) {
        viewer.FormActivate();
        viewer.repaint();
        QApplication::processEvents();
    }
    Report(state, HotlistInput(mib).size());
}

void BM_ViewerSave(benchmark::State& state) {
    const auto mib = static_cast<std::size_t>(state.range(0));
    ViewedFileName = HotlistFile(mib);
    TfFileViewer& viewer = Viewer();
    viewer.show();
    viewer.FormActivate();
    QApplication::processEvents();
    ResetPeak();
    for (auto _ : state) {
        viewer.tbSaveFileClick();
        QApplication::processEvents();
    }
    Report(state, HotlistInput(mib).size());
}

// One key typed at the end of the file, up to its paint.
void BM_ViewerTypeAtEnd(benchmark::State& state) {
    const auto mib = static_cast<std::size_t>(state.range(0));
    ViewedFileName = HotlistFile(mib);
    TfFileViewer& viewer = Viewer();
    viewer.show();
    viewer.FormActivate();
    QWidget* editor = viewer.findChild<QWidget*>(QStringLiteral("jmeFile"));
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(editor, &end);
    QApplication::processEvents();
    for (auto _ : state) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(editor, &key);
        editor->repaint();
        QApplication::processEvents();
    }
    state.SetComplexityN(static_cast<std::int64_t>(HotlistInput(mib).size()));
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(8)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
}

BENCHMARK(BM_ReadWriteBaseline)->Name("ViewerReadWriteBaseline")->Apply(Sizes);
BENCHMARK(BM_ViewerOpen)->Name("ViewerOpen")->Apply(Sizes);
BENCHMARK(BM_ViewerSave)->Name("ViewerSave")->Apply(Sizes);
BENCHMARK(BM_ViewerTypeAtEnd)->Name("ViewerTypeAtEnd")->Apply(Sizes)->Iterations(10);

// The goals for a 50 MiB file: open and save in two seconds each, with at
// most four times the file's size in memory at any moment; a key typed at
// its end shown within a frame of 16 ms.
class GoalReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.run_name.str();
            if (run.error_occurred) continue;
            const double seconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            const std::string shown = name.substr(0, name.find('/', name.find('/') + 1));
            if (name.rfind("ViewerTypeAtEnd/50", 0) == 0) {
                const bool ok = seconds <= 0.016;
                missed_ += ok ? 0 : 1;
                std::printf("%-18s %6.1f ms (goal 16)  %s\n", shown.c_str(), seconds * 1000,
                            ok ? "ok" : "MISSED");
                continue;
            }
            const bool goal =
                name.rfind("ViewerOpen/50", 0) == 0 || name.rfind("ViewerSave/50", 0) == 0;
            if (!goal) continue;
            const double peak = run.counters.at("peak_x");
            const bool ok = seconds <= 2.0 && peak <= 4.0;
            missed_ += ok ? 0 : 1;
            std::printf("%-18s %6.2f s (goal 2)  peak %4.1fx (goal 4)  %s\n", shown.c_str(),
                        seconds, peak, ok ? "ok" : "MISSED");
        }
    }
    int missed() const { return missed_; }

  private:
    int missed_ = 0;
};

}  // namespace
}  // namespace quarvo::bench

int main(int argc, char** argv) {
    // The windows need no display to be measured.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#if defined(__GLIBC__)
    // Large buffers go back to the system when freed, so that the memory
    // figures show what is held, not what the allocator keeps for later.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
    QApplication app(argc, argv);
    quarvo::QtDesktop desktop;
    TfFileViewer viewer(desktop);
    quarvo::bench::the_viewer = &viewer;
    quarvo::bench::StartBytes();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    quarvo::bench::GoalReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.missed() == 0 ? 0 : 1;
}
