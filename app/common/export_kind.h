// SPDX-License-Identifier: MIT
// A kind of Opera data as the export window offers it: the window is one
// for every kind (notes now, mail later), and all it knows of a kind is
// this table: its texts, where its Opera file is looked for, the outputs it
// can write and how each names its target, its check boxes, and the
// conversion to run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "quarvo/base/callbacks.h"
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
};

// What a finished conversion tells the user.
struct ExportResult {
    std::string status;   // one line for the window: "464 notes exported."
    std::string message;  // for the box: the counts and anything suspicious
};

struct ExportKind {
    std::string_view caption;       // the window's
    std::string_view source_label;  // "Opera Notes-File"
    OperaFile source_file;          // the default source, from the profile search
    // What starts an item in the source, counted for the progress bar's end.
    std::string_view item_marker;
    std::string_view target_label;
    // The default target in the user's documents, given the choice's ending.
    std::string_view default_target;
    std::span<const ExportChoice> choices;
    std::span<const ExportOption> options;  // the window has room for two
    // Runs off the window's thread. Checks the request, converts, and
    // returns what to tell; `progress` steps once per item and `cancel` is
    // asked between items. Throws the conversion's errors, and
    // EConversionCancelled when cancelled, having written nothing then.
    std::function<ExportResult(const ExportRequest&, const ProgressSink& progress,
                               const CancelCheck& cancel)>
        convert;
};

}  // namespace quarvo
