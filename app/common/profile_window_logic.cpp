// SPDX-License-Identifier: MIT
#include "profile_window_logic.h"

#include <chrono>
#include <cstdlib>
#include <exception>

#include "default_locations.h"
#include "quarvo/base/errors.h"
#include "quarvo/conversions/profile_kinds.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/profile/profile_discovery.h"
#include "shell_folders.h"

namespace quarvo {
namespace {

constexpr std::size_t kLongestCountsText = 64;

std::string CountsText(const ProfileKindSurvey& kind) {
    if (!kind.problem.empty()) return "not readable: " + kind.problem;
    if (kind.counts.empty()) return "found, not converted by this version";
    std::string text;
    for (const auto& [label, count] : kind.counts)
        text += (text.empty() ? "" : ", ") + std::to_string(count) + " " + label;
    // A line too long for the window's check box gives what is left out as
    // one sum; the report names each.
    if (text.size() > kLongestCountsText) {
        std::string kept;
        std::int64_t left_out = 0;
        for (const auto& [label, count] : kind.counts) {
            if (label.find("left out") != std::string::npos) {
                left_out += count;
                continue;
            }
            kept += (kept.empty() ? "" : ", ") + std::to_string(count) + " " + label;
        }
        if (left_out > 0) kept += " (" + std::to_string(left_out) + " left out)";
        text = std::move(kept);
    }
    const ProfileKind* known = ProfileKindOf(kind.kind);
    if (known && !known->Exports()) text += "; not in the export yet";
    return text;
}

std::vector<ProfileKindLine> KindLines(const ProfileSurvey& survey) {
    std::vector<ProfileKindLine> lines;
    for (const ProfileKind& kind : ProfileKinds()) {
        ProfileKindLine line{std::string(kind.title) + ": not found", false, false};
        for (const ProfileKindSurvey& found : survey.kinds) {
            if (found.kind != kind.id) continue;
            line.text = std::string(kind.title) + ": " + CountsText(found);
            line.found = true;
            line.exports = kind.Exports() && found.problem.empty();
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// Short enough for the window; the report says more.
std::string UntouchedText(const ProfileSurvey& survey) {
    std::string text;
    if (survey.passwords)
        text +=
            "Saved passwords (wand.dat): never read or copied by Quarvo. Without a master "
            "password the file is as readable as a list: keep it safe. ";
    if (survey.cookies) text += "Cookies (cookies4.dat): never read or copied.";
    return text;
}

}  // namespace

std::string ProfileExportSummary(const ProfileExport& done, const std::string& folder) {
    std::string text;
    for (const ProfileKindExport& kind : done.kinds) {
        const ProfileKind* known = ProfileKindOf(kind.kind);
        const std::string title(known ? known->title : kind.kind);
        if (!kind.problem.empty()) {
            text += title + ": not exported: " + kind.problem + "\n";
            continue;
        }
        if (kind.files.empty()) {
            text += title + ": not converted by this version\n";
            continue;
        }
        std::string files;
        for (const std::string& file : kind.files) files += (files.empty() ? "" : ", ") + file;
        text += title + ": " + files + "\n";
    }
    for (const std::string& id : done.left_out) {
        const ProfileKind* known = ProfileKindOf(id);
        text += std::string(known ? known->title : id) + ": left out\n";
    }
    text += "What was left out and why, and how to import each file: " + folder + kPathSeparator +
            kProfileReportName;
    return text;
}

ProfileWindowLogic::ProfileWindowLogic(ProfileExportView& view, Desktop& desktop)
    : view_(view), desktop_(desktop) {}

ProfileWindowLogic::~ProfileWindowLogic() {
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
}

void ProfileWindowLogic::Shown() {
    if (filled_) return;
    filled_ = true;
    RunReporting(desktop_, [this] {
        OperaPlaces places =
            DefaultOperaPlaces(desktop_.LookUpFolder(kProgramFilesFolder), desktop_);
#ifdef _WIN32
        if (const char* local = std::getenv("LOCALAPPDATA")) places.local_app_data = local;
#endif
        profiles_ = FindOperaProfiles(places);
        std::vector<std::string> folders;
        for (const OperaProfile& profile : profiles_) folders.push_back(profile.folder);
        view_.SetProfiles(folders);
        view_.SetTargetName(desktop_.LookUpFolder(kPersonalFolder) + "Opera profile");
        if (!profiles_.empty()) {
            view_.SetProfileFolder(profiles_.front().folder);
            Survey(profiles_.front());
        } else {
            view_.SetKinds(KindLines({}), {});
            view_.ShowStatus("No Opera profile found: enter its folder.");
        }
    });
}

void ProfileWindowLogic::ProfileChosen() {
    const std::size_t choice = view_.ProfileChoice();
    if (choice >= profiles_.size()) return;
    view_.SetProfileFolder(profiles_[choice].folder);
    Survey(profiles_[choice]);
}

void ProfileWindowLogic::ProfileFolderChanged() {
    const std::string folder = view_.ProfileFolder();
    if (folder.empty() || (chosen_ && chosen_->folder == folder)) return;
    for (const OperaProfile& found : OperaProfilesIn(folder, {})) {
        if (!found.HoldsAnything()) continue;
        Survey(found);
        return;
    }
    chosen_.reset();
    view_.SetKinds(KindLines({}), {});
    view_.ShowStatus("No Opera profile in " + folder + ".");
}

void ProfileWindowLogic::Survey(const OperaProfile& profile) {
    chosen_ = profile;
    const ProfileSurvey survey = SurveyProfile(profile);
    view_.SetKinds(KindLines(survey), UntouchedText(survey));
    view_.ShowStatus({});
    view_.ShowReport({});
}

void ProfileWindowLogic::Start() {
    if (Running()) return;
    if (!chosen_) {
        desktop_.ShowMessage("Choose the Opera profile to export first.");
        return;
    }
    const std::string target = view_.TargetName();
    if (target.empty()) {
        desktop_.ShowMessage("Enter the new folder to export into first.");
        return;
    }
    ProfileExportOptions options;
    const std::vector<ProfileKind>& kinds = ProfileKinds();
    bool any = false;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (!kinds[i].Exports()) continue;
        if (view_.KindTicked(i) && !kinds[i].source(*chosen_).empty())
            any = true;
        else
            options.without.emplace_back(kinds[i].id);
    }
    if (!any) {
        desktop_.ShowMessage("Tick what to export first.");
        return;
    }
    cancel_ = false;
    done_ = 0;
    total_ = 0;
    outcome_.reset();
    view_.ShowRunning(true);
    view_.EnableOpenFolder(false);
    view_.ShowProgress(0, 0);
    view_.ShowReport({});
    view_.ShowStatus("Exporting...");
    worker_ = std::thread([this, profile = *chosen_, target, options] {
        Outcome outcome;
        try {
            outcome.done = ExportProfile(
                profile, target, options,
                [this](std::string_view, std::size_t done, std::size_t total) {
                    done_ = static_cast<std::int64_t>(done);
                    total_ = static_cast<std::int64_t>(total);
                    view_.WakeWindowThread();
                },
                &cancel_);
        } catch (const std::exception& error) {
            outcome.error = error.what();
        }
        {
            const std::lock_guard lock(mutex_);
            outcome_ = std::move(outcome);
        }
        view_.WakeWindowThread();
    });
    exported_ = target;
}

void ProfileWindowLogic::Wake() {
    if (!Running()) return;
    std::optional<Outcome> outcome;
    {
        const std::lock_guard lock(mutex_);
        outcome.swap(outcome_);
    }
    view_.ShowProgress(done_, total_);
    if (!outcome) return;
    worker_.join();
    Finish(std::move(*outcome));
}

void ProfileWindowLogic::Finish(Outcome outcome) {
    view_.ShowRunning(false);
    if (outcome.done && outcome.done->cancelled) {
        view_.ShowProgress(0, 0);
        view_.ShowStatus("Cancelled: nothing was written.");
    } else if (outcome.done) {
        view_.ShowProgress(total_, total_);
        view_.ShowStatus("Exported into " + exported_ + ".");
        view_.ShowReport(ProfileExportSummary(*outcome.done, exported_));
        view_.EnableOpenFolder(true);
    } else {
        view_.ShowStatus("Not exported: nothing was written.");
        desktop_.ReportError(outcome.error);
    }
    if (close_when_done_) {
        close_when_done_ = false;
        view_.CloseWindow();
    }
}

void ProfileWindowLogic::Cancel() {
    if (!Running()) return;
    cancel_ = true;
    view_.ShowStatus("Cancelling...");
}

bool ProfileWindowLogic::CloseRequested() {
    if (!Running()) return true;
    close_when_done_ = true;
    Cancel();
    return false;
}

void ProfileWindowLogic::OpenFolder() {
    if (!exported_.empty()) desktop_.OpenLink(exported_);
}

}  // namespace quarvo
