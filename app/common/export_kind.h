// SPDX-License-Identifier: MIT
// A kind of Opera data as the export window offers it: the window is one
// for every kind (notes, mail), and all it knows of a kind is this table:
// its texts, where its Opera file or folder is looked for, the outputs it
// can write and how each names its target, its check boxes, and the
// conversion to run.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "quarvo/profile/opera_profile.h"

namespace quarvo {

// One output of a kind, a line of the window's choice list.
struct ExportChoice {
    std::string_view label;
    // The target is a folder, written as a whole; else a file.
    bool folder = false;
    // A file's endings, '|' between them, the first the one a target is
    // given ("|" alone: none); empty for a folder.
    std::string_view extensions;
    // The browse dialog's filter of a file target ("Web page (*.html)|*.html").
    std::string_view filter;
};

// A check box of the window.
struct ExportOption {
    std::string_view label;
    bool ticked = false;  // as the window first shows it
};

// What the window asks of a conversion.
struct ExportRequest {
    std::string source;
    std::string target;
    std::size_t choice = 0;     // into ExportKind::choices
    std::vector<bool> options;  // as ExportKind::options
    // The user agreed that a target folder holding files be replaced as a
    // whole (ExportKind::ask_to_replace).
    bool replace = false;
};

// How far a conversion has come.
struct ExportStep {
    std::int64_t done = 0;
    // 0: the items the source holds, as ExportKind::item_marker counts them.
    std::int64_t total = 0;
    std::size_t stage = 0;  // into ExportKind::stages
};
// Called on the converting thread, as often as the conversion likes.
using ExportProgress = std::function<void(const ExportStep&)>;

// What a finished conversion tells the user.
struct ExportResult {
    std::string status;   // one line for the window: "464 notes exported."
    std::string message;  // for the box: the counts and anything suspicious
    // When not empty, lines of any number and length shown below the
    // message in a box that scrolls: what looked wrong, and where.
    std::string details;
};

struct ExportKind {
    std::string_view caption{};       // the window's
    std::string_view source_label{};  // "Opera Notes-File"
    // The source is a folder, browsed for as one; else a file, browsed for
    // with `source_filter` ("Opera files (*.adr)|*.adr").
    bool source_folder = false;
    std::string_view source_filter{};
    // The default source, from the profile search; nothing when not found.
    std::function<std::optional<std::string>(const OperaPlaces&)> find_source{};
    // What starts an item in a source file, counted for the progress bar's
    // end; empty when the conversion tells the end itself.
    std::string_view item_marker{};
    std::string_view target_label{};
    // The default target in the user's documents, given the choice's ending.
    std::string_view default_target{};
    std::span<const ExportChoice> choices{};
    std::span<const ExportOption> options{};  // the window has room for two
    // A target folder that holds files is replaced only when the user says
    // so when asked; else an option of the kind's decides.
    bool ask_to_replace = false;
    // What the window says while each stage of a conversion runs; none:
    // "Exporting...".
    std::span<const std::string_view> stages{};
    // Refuses on the window's thread, before the user is asked anything, a
    // request that can never run (an output that is or holds the input):
    // throws its error. May be empty; the conversion checks again.
    std::function<void(const ExportRequest&)> check{};
    // Runs off the window's thread. Checks the request, converts, and
    // returns what to tell; `progress` tells how far it has come, and
    // `cancel` is looked at between items. Throws the conversion's errors,
    // and EConversionCancelled when cancelled, having written nothing then.
    std::function<ExportResult(const ExportRequest&, const ExportProgress& progress,
                               const std::atomic<bool>& cancel)>
        convert{};
};

}  // namespace quarvo
