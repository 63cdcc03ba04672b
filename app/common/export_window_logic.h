// SPDX-License-Identifier: MIT
// The export window's decisions, apart from any toolkit: its default names,
// the target's name following the chosen output, and the export itself,
// which runs on a thread of its own so that the window keeps painting.
// Progress reaches the window on its own thread, at most 25 times a
// second; Cancel stops the export between two items and leaves nothing
// written. A front end shows what it is told through ExportView and passes
// its controls' events on.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "desktop.h"
#include "export_kind.h"

namespace quarvo {

// The window's side. Names are the file system's bytes.
class ExportView {
  public:
    [[nodiscard]] virtual std::string SourceName() const = 0;
    virtual void SetSourceName(const std::string& name) = 0;
    [[nodiscard]] virtual std::string TargetName() const = 0;
    virtual void SetTargetName(const std::string& name) = 0;
    // The chosen line of the output list.
    [[nodiscard]] virtual std::size_t Choice() const = 0;
    [[nodiscard]] virtual bool OptionTicked(std::size_t option) const = 0;
    // An export runs: the fields, the choice and Start are disabled and
    // Cancel enabled, or the other way round.
    virtual void ShowRunning(bool running) = 0;
    // `done` of `total` items; total 0 while unknown.
    virtual void ShowProgress(std::int64_t done, std::int64_t total) = 0;
    virtual void ShowStatus(const std::string& text) = 0;
    // May be called from any thread: asks the window's thread to call
    // ExportWindowLogic::Wake soon. Calls after the window is gone are
    // dropped.
    virtual void WakeWindowThread() = 0;
    virtual void CloseWindow() = 0;

  protected:
    ~ExportView() = default;
};

class ExportWindowLogic {
  public:
    ExportWindowLogic(const ExportKind& kind, ExportView& view, Desktop& desktop);
    // An export still running is cancelled and waited for.
    ~ExportWindowLogic();
    ExportWindowLogic(const ExportWindowLogic&) = delete;
    ExportWindowLogic& operator=(const ExportWindowLogic&) = delete;

    [[nodiscard]] const ExportKind& kind() const { return kind_; }

    // The window shows: the first time, fills in the source found where
    // Opera keeps it and the target in the user's documents.
    void Shown();

    // Another output was chosen: the target's name takes its ending.
    void ChoiceChanged();

    // Starts the export; a target that names another output's file, or
    // that the kind's check refuses, is refused first, and a target folder
    // that holds files is replaced only when the user says so, for a kind
    // that asks. Nothing while one runs.
    void Start();

    // Asks a running export to stop between two items.
    void Cancel();

    // The user closes the window: true when it may close now; else the
    // export is cancelled and the window closed once it has stopped.
    [[nodiscard]] bool CloseRequested();

    // On the window's thread, after WakeWindowThread: shows the progress,
    // and the result once the export has ended.
    void Wake();

    [[nodiscard]] bool Running() const { return worker_.joinable(); }

    // Fewest milliseconds between two wakes for progress.
    static constexpr int kWakeInterval = 40;

  private:
    // How an export ended.
    struct Outcome {
        std::optional<ExportResult> result;
        std::string error;  // the message of the error that ended it
        bool cancelled = false;
    };
    void Convert(const ExportRequest& request);
    void Progress(const ExportStep& step);
    void Finish(const Outcome& outcome, std::int64_t total);
    [[nodiscard]] std::optional<std::string> TargetProblem(const std::string& target) const;
    // False when the target folder holds files and the user keeps it.
    [[nodiscard]] bool MayReplace(ExportRequest& request);
    [[nodiscard]] std::string_view StageText(std::size_t stage) const;

    const ExportKind& kind_;
    ExportView& view_;
    Desktop& desktop_;
    bool filled_ = false;
    bool close_when_done_ = false;
    std::size_t shown_stage_ = 0;

    // Shared with the export's thread.
    std::atomic<bool> cancel_{false};
    std::atomic<std::int64_t> items_{0};      // the item markers of the source
    std::atomic<std::int64_t> last_wake_{0};  // steady-clock milliseconds
    std::mutex mutex_;
    ExportStep step_;                 // the last one told
    std::optional<Outcome> outcome_;  // set by the thread as it ends
    std::thread worker_;
};

}  // namespace quarvo
