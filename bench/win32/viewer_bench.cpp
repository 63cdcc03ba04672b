// SPDX-License-Identifier: MIT
// The Windows program on large files. The file viewer: showing one (read,
// load into the editor, write the backup, first paint) and saving it back,
// for generated hotlists of 8 and 50 MiB, with the memory the process held
// at its peak beyond what it held before, as a multiple of the file's size;
// and one key typed at the end of the file, up to its paint.
// The main window: Start conversion and typing beside a large file
// (window_bench.h). It needs a display: under Wine, run it on Xvfb
// (bench/README.md). Prints each figure beside its goal and exits with 1
// when one is missed.
#include <windows.h>
// psapi.h needs the types of windows.h.
#include <Scintilla.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "inputs.h"
#include "resource_ids.h"
#include "start_up.h"
#include "ui_driver.h"
#include "win32_desktop.h"
#include "window_bench.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

double PeakBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize);
}

struct Figures {
    double open = 0;
    double key = 0;  // the slowest of kKeys
    bool typed = false;
    double save = 0;
    bool saved = false;
};

constexpr int kKeys = 10;

// Keys typed at the end of the text, each up to its paint: the slowest, and
// whether every key went into the text.
void TypeAtEnd(HWND viewer, Figures& figures) {
    HWND editor = GetDlgItem(viewer, IDC_EDITOR);
    SendMessageW(editor, SCI_DOCUMENTEND, 0, 0);
    UpdateWindow(editor);
    const LRESULT length = SendMessageW(editor, SCI_GETLENGTH, 0, 0);
    for (int key = 0; key < kKeys; ++key) {
        const Clock::time_point start = Clock::now();
        SendMessageW(editor, WM_CHAR, 'x', 1);
        UpdateWindow(editor);
        figures.key = std::max(figures.key, Seconds(start, Clock::now()));
    }
    figures.typed = SendMessageW(editor, SCI_GETLENGTH, 0, 0) == length + kKeys;
}

// One showing of `name`: open up to the first paint, keys at the end, then
// Save, then Close.
Figures ShowAndSave(quarvo::win32::ProgramWindows& windows, const std::string& name) {
    HWND viewer = windows.viewer().handle();
    Figures figures;
    const Clock::time_point shown = Clock::now();
    Clock::time_point painted;
    // A timer's tick comes only once the loop has nothing else to do: after
    // the load and the paint it set off.
    quarvo::testing::Script script({[&] {
                                        painted = Clock::now();
                                        TypeAtEnd(viewer, figures);
                                        // Save writes only over a file that is there.
                                        std::ofstream(name, std::ios::binary | std::ios::trunc)
                                            << 'x';
                                        const Clock::time_point start = Clock::now();
                                        SendMessageA(viewer, WM_COMMAND, ID_SAVE, 0);
                                        figures.save = Seconds(start, Clock::now());
                                        figures.saved = std::filesystem::file_size(name) > 1;
                                    },
                                    [&] { PostMessageA(viewer, WM_COMMAND, ID_CLOSE_VIEWER, 0); }},
                                   10);
    windows.viewer().ShowFile(name);
    figures.open = Seconds(shown, painted);
    return figures;
}

}  // namespace

// With an argument, only the viewer's cases ("viewer") or the main
// window's ("window", with the hotlist sizes to convert after it, such as
// "5,50").
int main(int argc, char** argv) {
    using namespace quarvo;
    const std::string only = argc > 1 ? argv[1] : "";
    win32::InitializeControls();
    win32::Win32Desktop desktop;
    win32::ProgramWindows windows(desktop);
    windows.main().Show();
    testing::PumpMessages(windows.main().handle(), 200);

    const std::filesystem::path folder = bench::ScratchFolder();
    std::filesystem::current_path(folder);  // where the viewer's backup goes
    int missed = 0;
    for (const std::size_t mib : {8, 50}) {
        if (only == "window") break;
        const std::string& input = bench::HotlistInput(mib);
        const std::string name = (folder / ("opera6-" + std::to_string(mib) + ".adr")).string();
        std::ofstream(name, std::ios::binary)
            .write(input.data(), static_cast<std::streamsize>(input.size()));
        // The program's own memory and this program's copy of the input are
        // not the viewer's.
        const double before = PeakBytes() + static_cast<double>(input.size());
        const Figures figures = ShowAndSave(windows, name);
        const double peak = (PeakBytes() - before) / static_cast<double>(input.size());
        const bool goal = mib == 50;
        const bool ok = figures.saved && figures.typed &&
                        (!goal || (figures.open <= 2 && figures.key <= 0.016 && figures.save <= 2 &&
                                   peak <= 4));
        missed += ok ? 0 : 1;
        std::printf(
            "ViewerOpen/%-3zu %6.2f s  ViewerTypeAtEnd/%-3zu %5.1f ms  ViewerSave/%-3zu %6.2f s  "
            "peak %4.1fx%s  %s\n",
            mib, figures.open, mib, figures.key * 1000, mib, figures.save, peak,
            goal ? "  (goals 2 s, 16 ms, 2 s, 4x)" : "",
            !figures.saved   ? "NOT SAVED"
            : !figures.typed ? "NOT TYPED"
            : ok             ? "ok"
                             : "MISSED");
    }
    if (only != "viewer") {
        std::vector<std::size_t> sizes;
        for (const char* at = argc > 2 ? argv[2] : "5,50"; *at;) {
            char* end = nullptr;
            sizes.push_back(std::strtoul(at, &end, 10));
            at = *end == ',' ? end + 1 : end;
        }
        missed += bench::RunMainWindowCases(windows, folder.string(), sizes);
    }
    return missed == 0 ? 0 : 1;
}
