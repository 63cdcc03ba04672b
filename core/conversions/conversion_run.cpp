// SPDX-License-Identifier: MIT
#include "quarvo/conversions/conversion_run.h"

#include <array>
#include <cstdint>
#include <string>

#include "files/file_identity.h"
#include "quarvo/conversions/contacts.h"
#include "quarvo/conversions/hotlist.h"
#include "quarvo/files/file_layer.h"

namespace quarvo {
namespace {

struct Named {
    const std::string* path = nullptr;
    std::string identity;
};

Named Identify(const std::optional<ConversionJob>& job, std::string ConversionJob::*name) {
    if (!job || ((*job).*name).empty()) return {};
    const std::string& path = (*job).*name;
    // Only an output can be the standard output; an input named "-" is a file.
    if (name == &ConversionJob::output && IsStandardOutput(path))
        return {&path, StandardOutputIdentity()};
    return {&path, FileIdentity(path)};
}

bool SameFile(const Named& a, const Named& b) {
    return a.path && b.path && a.identity == b.identity;
}

}  // namespace

void CheckConversionRun(const ConversionRun& run) {
    const std::array<Named, 2> inputs = {Identify(run.contacts, &ConversionJob::input),
                                         Identify(run.bookmarks, &ConversionJob::input)};
    const std::array<Named, 2> outputs = {Identify(run.contacts, &ConversionJob::output),
                                          Identify(run.bookmarks, &ConversionJob::output)};
    for (const Named& output : outputs)
        for (const Named& input : inputs)
            if (SameFile(output, input))
                throw ESameFileError("Output file " + *output.path +
                                     " is the same file as input file " + *input.path +
                                     ": nothing converted");
    if (SameFile(outputs[0], outputs[1]))
        throw ESameFileError("Output files " + *outputs[0].path + " and " + *outputs[1].path +
                             " are the same file: nothing converted");
}

// A missing input is decided here, not by the converters: converted as an
// empty file it would replace an existing output by a bare one. The
// converters themselves refuse a missing input, so a file that vanishes
// after this test still leaves the output alone.
ConversionOutcome RunContactsConversion(const ConversionJob& job, const ProgressSink& progress) {
    if (!PathExists(job.input)) return {0, true};
    return {ConvertOperaContacts(job.input, job.output, progress), false};
}

ConversionOutcome RunBookmarksConversion(const ConversionJob& job, const ProgressSink& progress,
                                         const MessageSink& message) {
    if (!PathExists(job.input)) return {0, true};
    return {ConvertOperaBookmarks(job.input, job.output, progress, message), false};
}

ConversionOutcome RunBookmarksConversion(const ConversionJob& job, const BookmarkOptions& options,
                                         ConversionReport* report, const ProgressSink& progress,
                                         const MessageSink& message) {
    if (!PathExists(job.input)) return {0, true};
    if (options.flavour == BookmarkFlavour::kBrowser) {
        ConversionReport unasked;
        return {ConvertOperaBookmarksForBrowsers(job.input, job.output, options.keep_trash,
                                                 report ? *report : unasked, progress, message),
                false};
    }
    // The tuned converter keeps no tree: the report is made from the bytes
    // it converted, before the new file is put in place, so that a report
    // that fails leaves the old file and none is made from another file.
    ConvertedHotlistSink describe;
    if (report)
        describe = [report](std::string_view hotlist, std::int32_t bookmarks) {
            ReportInternetExplorerConversion(hotlist, bookmarks, *report);
        };
    return {ConvertOperaBookmarks(job.input, job.output, progress, message, describe), false};
}

}  // namespace quarvo
