// SPDX-License-Identifier: MIT
// The conversions asked for at one time, by the main window's start command
// or by quarvo-convert: checked as a whole before any file is read or
// written, then carried out one after the other, contacts first.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "quarvo/base/callbacks.h"
#include "quarvo/base/errors.h"
#include "quarvo/conversions/browser_bookmarks.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo {

// One conversion: an Opera file and the file it is converted into.
struct ConversionJob {
    std::string input;
    std::string output;
    // The output is a folder, written as a whole: replacing it would remove
    // whatever is inside it, so it may hold no other name of the run.
    bool output_is_folder = false;
};

// The conversions of one run; any may be absent.
struct ConversionRun {
    std::optional<ConversionJob> contacts;
    std::optional<ConversionJob> bookmarks;
    // Its default lets {contacts, bookmarks} name a run of the first two alone.
    std::optional<ConversionJob> notes{};
    // The files read beside the hotlist (LinkFiles): inputs too.
    std::vector<std::string> link_inputs{};
};

// A run refused because one of its outputs is the same file as another of
// its names. The message names both.
class ESameFileError : public Exception {
  public:
    using Exception::Exception;
};

// Refuses a run in which an output is the same file as any input, two
// outputs are one file, or an output folder is or holds (at any depth) an
// input or another output. Files are compared as the system finds them
// (links followed, any spelling of the path, any case where the file system
// ignores it); a name that does not exist yet is compared by the folder it
// would be made in and its name there. An output that is the standard
// output (IsStandardOutput) is compared as what the standard output is. An
// empty name stands for no file. Reads and writes nothing.
// Throws ESameFileError naming the two paths.
void CheckConversionRun(const ConversionRun& run);

// What one conversion of a run came to.
struct ConversionOutcome {
    // As ConvertOperaContacts or ConvertOperaBookmarks returned it; 0 when
    // the input is missing.
    std::int32_t count = 0;
    // The input file does not exist: nothing was read or written, the
    // output was left as it was.
    bool input_missing = false;
};

// Converts `job` as ConvertOperaContacts does, unless its input file does not
// exist. File errors propagate unchanged.
ConversionOutcome RunContactsConversion(const ConversionJob& job,
                                        const ProgressSink& progress = {});

// Converts `job` as ConvertOperaBookmarks does, unless its input file does
// not exist. File errors propagate unchanged.
ConversionOutcome RunBookmarksConversion(const ConversionJob& job,
                                         const ProgressSink& progress = {},
                                         const MessageSink& message = {});

// Converts `job` in the flavour `options` choose, unless its input file does
// not exist, and tells in `report` (when given) what it wrote. The Internet
// Explorer flavour writes exactly what the call above writes; its report
// walks the converted bytes once more, so it is only made when asked for.
// File errors propagate.
ConversionOutcome RunBookmarksConversion(const ConversionJob& job, const BookmarkOptions& options,
                                         ConversionReport* report,
                                         const ProgressSink& progress = {},
                                         const MessageSink& message = {});

}  // namespace quarvo
