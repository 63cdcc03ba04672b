// SPDX-License-Identifier: MIT
#include "export_window_logic.h"

#include <algorithm>
#include <exception>

#include "default_locations.h"
#include "quarvo/base/errors.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/files/folder_listing.h"
#include "quarvo/text/text_search.h"
#include "shell_folders.h"

namespace quarvo {
namespace {

std::int64_t NowMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool EndsWithFolded(std::string_view name, std::string_view end) {
    if (end.empty() || name.size() < end.size()) return false;
    name.remove_prefix(name.size() - end.size());
    for (std::size_t i = 0; i < end.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        };
        if (lower(name[i]) != lower(end[i])) return false;
    }
    return true;
}

// Calls `visit` with each ending of a choice, the first first.
template <class Visit>
void ForEachEnding(const ExportChoice& choice, Visit visit) {
    std::string_view rest = choice.extensions;
    while (!rest.empty()) {
        const std::size_t bar = rest.find('|');
        visit(rest.substr(0, bar));
        rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
    }
}

std::string_view FirstEnding(const ExportChoice& choice) {
    return choice.extensions.substr(0, choice.extensions.find('|'));
}

}  // namespace

ExportWindowLogic::ExportWindowLogic(const ExportKind& kind, ExportView& view, Desktop& desktop)
    : kind_(kind), view_(view), desktop_(desktop) {}

ExportWindowLogic::~ExportWindowLogic() {
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
}

void ExportWindowLogic::Shown() {
    if (filled_) return;
    filled_ = true;
    RunReporting(desktop_, [this] {
        const std::string program_files = desktop_.LookUpFolder(kProgramFilesFolder);
        if (kind_.find_source)
            if (const auto source = kind_.find_source(DefaultOperaPlaces(program_files, desktop_)))
                view_.SetSourceName(*source);
        const ExportChoice& choice = kind_.choices[view_.Choice()];
        view_.SetTargetName(desktop_.LookUpFolder(kPersonalFolder) +
                            std::string(kind_.default_target) + std::string(FirstEnding(choice)));
    });
}

void ExportWindowLogic::ChoiceChanged() {
    std::string target = view_.TargetName();
    if (target.empty()) return;
    // The ending of whichever output the name was given for goes first.
    for (const ExportChoice& other : kind_.choices) {
        ForEachEnding(other, [&](std::string_view ending) {
            if (EndsWithFolded(target, ending)) target.resize(target.size() - ending.size());
        });
    }
    view_.SetTargetName(target + std::string(FirstEnding(kind_.choices[view_.Choice()])));
}

std::optional<std::string> ExportWindowLogic::TargetProblem(const std::string& target) const {
    const ExportChoice& choice = kind_.choices[view_.Choice()];
    if (!choice.folder) return std::nullopt;
    for (const ExportChoice& other : kind_.choices) {
        std::optional<std::string> problem;
        ForEachEnding(other, [&](std::string_view ending) {
            if (!problem && EndsWithFolded(target, ending))
                problem = target + " ends in " + std::string(ending) +
                          ", the name of a file, but \"" + std::string(choice.label) +
                          "\" writes a folder: choose \"" + std::string(other.label) +
                          "\", or a name without " + std::string(ending) + ".";
        });
        if (problem) return problem;
    }
    return std::nullopt;
}

void ExportWindowLogic::Start() {
    if (Running()) return;
    ExportRequest request{view_.SourceName(), view_.TargetName(), view_.Choice(), {}};
    if (request.source.empty()) {
        desktop_.ShowMessage(kind_.source_folder ? "Enter the Opera folder to export first."
                                                 : "Enter the Opera file to export first.");
        return;
    }
    if (request.target.empty()) {
        desktop_.ShowMessage("Enter where to export to first.");
        return;
    }
    if (const auto problem = TargetProblem(request.target)) {
        desktop_.ShowMessage(*problem);
        return;
    }
    // A file is given its output's ending, as a save dialog gives it.
    const ExportChoice& choice = kind_.choices[request.choice];
    bool has_ending = choice.folder || FirstEnding(choice).empty();
    ForEachEnding(choice, [&](std::string_view ending) {
        has_ending = has_ending || EndsWithFolded(request.target, ending);
    });
    if (!has_ending) {
        request.target += std::string(FirstEnding(choice));
        view_.SetTargetName(request.target);
    }
    for (std::size_t i = 0; i < kind_.options.size(); ++i)
        request.options.push_back(view_.OptionTicked(i));
    if (kind_.check) {
        try {
            kind_.check(request);
        } catch (const std::exception& error) {
            desktop_.ReportError(error.what());
            return;
        }
    }
    if (!MayReplace(request)) return;

    cancel_ = false;
    items_ = 0;
    step_ = {};
    shown_stage_ = 0;
    last_wake_ = NowMilliseconds();
    outcome_.reset();
    view_.ShowRunning(true);
    view_.ShowProgress(0, 0);
    view_.ShowStatus(std::string(StageText(0)));
    worker_ = std::thread([this, request = std::move(request)] { Convert(request); });
}

bool ExportWindowLogic::MayReplace(ExportRequest& request) {
    if (!kind_.ask_to_replace || !kind_.choices[request.choice].folder) return true;
    bool holds_files = false;
    try {
        holds_files = !ListFolder(request.target).empty();
    } catch (const Exception&) {
        // Missing, or not a folder: the export says what is wrong with it.
    }
    if (!holds_files) return true;
    request.replace = desktop_.AskToReplace(
        request.target +
        " already holds files.\n\nReplace the whole folder with the export? Everything in it "
        "now will be deleted.");
    return request.replace;
}

std::string_view ExportWindowLogic::StageText(std::size_t stage) const {
    return stage < kind_.stages.size() ? kind_.stages[stage] : "Exporting...";
}

void ExportWindowLogic::Progress(const ExportStep& step) {
    {
        const std::lock_guard lock(mutex_);
        step_ = step;
    }
    const std::int64_t now = NowMilliseconds();
    if (now - last_wake_ >= kWakeInterval) {
        last_wake_ = now;
        view_.WakeWindowThread();
    }
}

void ExportWindowLogic::Convert(const ExportRequest& request) {
    Outcome outcome;
    try {
        // The bar's end: the items the source holds.
        if (!kind_.item_marker.empty() && PlainFileExists(request.source))
            items_ = CountOccurrences(ReadWholeFile(request.source), kind_.item_marker);
        outcome.result = kind_.convert(
            request, [this](const ExportStep& step) { Progress(step); }, cancel_);
    } catch (const EConversionCancelled&) {
        outcome.cancelled = true;
    } catch (const std::exception& error) {
        outcome.error = error.what();
    }
    {
        const std::lock_guard lock(mutex_);
        outcome_ = std::move(outcome);
    }
    view_.WakeWindowThread();
}

void ExportWindowLogic::Wake() {
    if (!Running()) return;
    std::optional<Outcome> outcome;
    ExportStep step;
    {
        const std::lock_guard lock(mutex_);
        outcome.swap(outcome_);
        step = step_;
    }
    const std::int64_t total = step.total > 0 ? step.total : items_.load();
    view_.ShowProgress(step.done, total);
    if (step.stage != shown_stage_ && !cancel_) {
        shown_stage_ = step.stage;
        view_.ShowStatus(std::string(StageText(step.stage)));
    }
    if (!outcome) return;
    worker_.join();
    Finish(*outcome, std::max(total, step.done));
}

void ExportWindowLogic::Finish(const Outcome& outcome, std::int64_t total) {
    view_.ShowRunning(false);
    if (outcome.cancelled) {
        view_.ShowProgress(0, 0);
        view_.ShowStatus("Cancelled: nothing was written.");
    } else if (outcome.result) {
        view_.ShowProgress(total, total);
        view_.ShowStatus(outcome.result->status);
    } else {
        view_.ShowStatus("Not exported: nothing was written.");
    }
    // What was written is told even when the window was asked to close: a
    // cancel can come too late to stop the last item.
    if (outcome.result && !outcome.result->details.empty())
        desktop_.ShowReport(outcome.result->message, outcome.result->details);
    else if (outcome.result)
        desktop_.ShowMessage(outcome.result->message);
    else if (!outcome.cancelled)
        desktop_.ReportError(outcome.error);
    if (close_when_done_) {
        close_when_done_ = false;
        view_.CloseWindow();
    }
}

void ExportWindowLogic::Cancel() {
    if (!Running()) return;
    cancel_ = true;
    view_.ShowStatus("Cancelling...");
}

bool ExportWindowLogic::CloseRequested() {
    if (!Running()) return true;
    close_when_done_ = true;
    Cancel();
    return false;
}

}  // namespace quarvo
