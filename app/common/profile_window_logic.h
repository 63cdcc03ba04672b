// SPDX-License-Identifier: MIT
// The decisions of the window that exports a whole profile, apart from any
// toolkit: the profiles found, what the chosen one holds (each kind with
// its count and a check box), the target folder, the export on a thread of
// its own with its progress and Cancel, and at the end what was written,
// with the folder to open. A front end shows what it is told through
// ProfileExportView and passes its controls' events on.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "desktop.h"
#include "quarvo/conversions/profile_export.h"

namespace quarvo {

// One check box of the window: a kind of the table, in the table's order.
struct ProfileKindLine {
    std::string text;      // "Bookmarks: 340 bookmarks, 21 folders (…/bookmarks.adr)"
    bool found = false;    // the profile holds the kind
    bool exports = false;  // and it can be exported: ticked at first, else disabled
};

// The window's side. Names are the file system's bytes.
class ProfileExportView {
  public:
    // The lines of the profile list; the first is chosen.
    virtual void SetProfiles(const std::vector<std::string>& folders) = 0;
    [[nodiscard]] virtual std::size_t ProfileChoice() const = 0;
    [[nodiscard]] virtual std::string ProfileFolder() const = 0;
    virtual void SetProfileFolder(const std::string& folder) = 0;
    // One line per kind of ProfileKinds(), then the passwords' and cookies'
    // warning (empty when the profile has neither).
    virtual void SetKinds(const std::vector<ProfileKindLine>& kinds,
                          const std::string& untouched) = 0;
    [[nodiscard]] virtual bool KindTicked(std::size_t kind) const = 0;
    [[nodiscard]] virtual std::string TargetName() const = 0;
    virtual void SetTargetName(const std::string& name) = 0;
    // An export runs: the fields and Start are disabled and Cancel enabled,
    // or the other way round.
    virtual void ShowRunning(bool running) = 0;
    virtual void ShowProgress(std::int64_t done, std::int64_t total) = 0;
    virtual void ShowStatus(const std::string& text) = 0;
    // What was written, at the end; empty clears it.
    virtual void ShowReport(const std::string& text) = 0;
    virtual void EnableOpenFolder(bool enabled) = 0;
    // May be called from any thread, as ExportView's.
    virtual void WakeWindowThread() = 0;
    virtual void CloseWindow() = 0;

  protected:
    ~ProfileExportView() = default;
};

class ProfileWindowLogic {
  public:
    ProfileWindowLogic(ProfileExportView& view, Desktop& desktop);
    // An export still running is cancelled and waited for.
    ~ProfileWindowLogic();
    ProfileWindowLogic(const ProfileWindowLogic&) = delete;
    ProfileWindowLogic& operator=(const ProfileWindowLogic&) = delete;

    // The window shows: the first time, lists the profiles found where
    // Opera keeps them, shows what the first holds, and names a target in
    // the user's documents.
    void Shown();
    // A line of the profile list was chosen.
    void ProfileChosen();
    // The profile folder was typed or browsed for: a profile given by hand.
    void ProfileFolderChanged();

    // Starts the export of the ticked kinds; nothing while one runs.
    void Start();
    // Asks a running export to stop; it leaves nothing.
    void Cancel();
    // As ExportWindowLogic::CloseRequested.
    [[nodiscard]] bool CloseRequested();
    // On the window's thread, after WakeWindowThread.
    void Wake();
    // Opens the folder last exported into.
    void OpenFolder();

    [[nodiscard]] bool Running() const { return worker_.joinable(); }
    static constexpr int kWakeInterval = 40;

  private:
    struct Outcome {
        std::optional<ProfileExport> done;
        std::string error;
    };
    void Survey(const OperaProfile& profile);
    void Finish(Outcome outcome);

    ProfileExportView& view_;
    Desktop& desktop_;
    bool filled_ = false;
    bool close_when_done_ = false;
    std::vector<OperaProfile> profiles_;
    std::optional<OperaProfile> chosen_;
    std::string exported_;  // the folder of the last export

    std::atomic<bool> cancel_{false};
    std::atomic<std::int64_t> done_{0};
    std::atomic<std::int64_t> total_{0};
    std::mutex mutex_;
    std::optional<Outcome> outcome_;
    std::thread worker_;
};

// The text the window shows of a finished export: each kind's files and
// counts, what was left out, and where report.html is.
[[nodiscard]] std::string ProfileExportSummary(const ProfileExport& done,
                                               const std::string& folder);

}  // namespace quarvo
