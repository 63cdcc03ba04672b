// SPDX-License-Identifier: MIT
// The kinds of Opera data a whole-profile export knows, one table entry
// each: where the kind is in a profile, how its reader counts it, what it
// writes into the export folder, and how the files go into today's
// programs. A new kind is a new entry; nothing else changes.
#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "quarvo/base/callbacks.h"
#include "quarvo/files/folder_output.h"
#include "quarvo/profile/profile_discovery.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo {

// The export folder as a kind writes into it.
struct ProfileOutput {
    FolderOutput& folder;
    const std::atomic<bool>* cancel = nullptr;  // may be null
    // The files the kind wrote, relative, '/' between folders.
    std::vector<std::string> files;
    // The kinds the user left out: a kind that writes another's data too
    // (the bookmarks writing Speed Dial into bookmarks.html) asks here.
    std::vector<std::string> left_out;
    // Set by a kind before it writes its first byte: from then on a file
    // that cannot be read ends the whole export, as the folder would hold
    // a part of the kind.
    bool writing = false;

    [[nodiscard]] bool Cancelled() const noexcept { return cancel && cancel->load(); }
    [[nodiscard]] bool LeavesOut(std::string_view id) const {
        for (const std::string& each : left_out)
            if (each == id) return true;
        return false;
    }
};

struct ProfileKind {
    std::string_view id;     // "bookmarks": what --without names
    std::string_view title;  // "Bookmarks"
    // The file or folder of this kind in `profile`; empty when it has none.
    std::string (*source)(const OperaProfile& profile);
    // Counts what `source` holds with the kind's reader ("bookmarks" 120).
    // Throws the file layer's errors; bad content is counted, not thrown.
    // Null: the kind is listed as found, not yet read.
    void (*count)(const std::string& source, ConversionReport& counts);
    // Writes the kind's files, counting into `report` what was written
    // and left out. Throws the file layer's errors and
    // EConversionCancelled; returns a message when the file cannot be
    // converted (an unsupported version), having written nothing. Null:
    // nothing is written for the kind (said in the report).
    std::string (*write)(const OperaProfile& profile, ProfileOutput& output,
                         ConversionReport& report);
    // What it writes, for the report: a sentence.
    std::string_view writes;
    // How to take the files into today's programs: one step a line.
    std::string_view next_steps;
    // The kind whose files hold this one's, when it has no `write` of its
    // own (Speed Dial in the bookmarks' bookmarks.html): that kind's write
    // reads this kind's source too, unless ProfileOutput::LeavesOut(id).
    std::string_view written_with = {};

    // Whether an export writes the kind.
    [[nodiscard]] bool Exports() const noexcept {
        return write != nullptr || !written_with.empty();
    }
};

// The warning under which a kind names the files it could not read and
// left out (a message file of the mail store), having written the rest:
// the mail export's own.
inline constexpr std::string_view kUnreadableLeftOutWarning =
    "files that could not be read, left out";

// Every kind, in the order they are listed and written.
[[nodiscard]] const std::vector<ProfileKind>& ProfileKinds();

// The kind of `id`, or null.
[[nodiscard]] const ProfileKind* ProfileKindOf(std::string_view id);

}  // namespace quarvo
