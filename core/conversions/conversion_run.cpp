// SPDX-License-Identifier: MIT
#include "quarvo/conversions/conversion_run.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "files/file_identity.h"
#include "quarvo/conversions/contacts.h"
#include "quarvo/conversions/hotlist.h"
#include "quarvo/files/file_layer.h"

namespace quarvo {
namespace {

struct Named {
    const std::string* path = nullptr;
    std::string identity;
    bool folder = false;
};

Named Identify(const std::string& path, bool output, bool folder = false) {
    if (path.empty()) return {};
    // Only an output can be the standard output; an input named "-" is a file.
    if (output && !folder && IsStandardOutput(path)) return {&path, StandardOutputIdentity()};
    return {&path, FileIdentity(path), folder};
}

bool SameFile(const Named& a, const Named& b) {
    return a.path && b.path && a.identity == b.identity;
}

// A folder output replaces its folder as a whole: whatever it holds goes.
bool Holds(const Named& folder, const Named& other) {
    return folder.path && other.path && folder.folder && FolderHolds(*folder.path, *other.path);
}

}  // namespace

void CheckConversionRun(const ConversionRun& run) {
    std::vector<Named> inputs;
    std::vector<Named> outputs;
    for (const std::optional<ConversionJob>* job : {&run.contacts, &run.bookmarks, &run.notes}) {
        if (!*job) continue;
        inputs.push_back(Identify((*job)->input, false));
        outputs.push_back(Identify((*job)->output, true, (*job)->output_is_folder));
    }
    for (const std::string& file : run.link_inputs) inputs.push_back(Identify(file, false));
    for (const Named& output : outputs) {
        for (const Named& input : inputs) {
            if (SameFile(output, input))
                throw ESameFileError((output.folder ? "Output folder " : "Output file ") +
                                     *output.path + " is the same file as input file " +
                                     *input.path + ": nothing converted");
            if (Holds(output, input))
                throw ESameFileError("Output folder " + *output.path + " holds input file " +
                                     *input.path + ": nothing converted");
        }
    }
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (std::size_t j = i + 1; j < outputs.size(); ++j) {
            const Named& a = outputs[i];
            const Named& b = outputs[j];
            if (SameFile(a, b))
                throw ESameFileError("Output files " + *a.path + " and " + *b.path +
                                     " are the same file: nothing converted");
            for (const auto& [folder, other] : {std::pair{&a, &b}, std::pair{&b, &a}})
                if (Holds(*folder, *other))
                    throw ESameFileError("Output folder " + *folder->path + " holds output file " +
                                         *other->path + ": nothing converted");
        }
    }
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
    if (options.flavour != BookmarkFlavour::kInternetExplorer)
        return {
            ConvertOperaBookmarksToFile(job.input, job.output, options, report, progress, message),
            false};
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
