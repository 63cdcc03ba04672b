// SPDX-License-Identifier: MIT
#include "quarvo/conversions/profile_export.h"

#include <algorithm>
#include <filesystem>

#include "files/file_identity.h"
#include "quarvo/base/errors.h"
#include "quarvo/conversions/mail_export.h"
#include "quarvo/conversions/profile_kinds.h"
#include "quarvo/files/folder_output.h"

namespace quarvo {
namespace {

std::optional<UntouchedFile> Untouched(const std::string& file) {
    if (file.empty()) return std::nullopt;
    // Its size from the folder's entry: the file itself is never opened.
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    return UntouchedFile{file, error ? 0 : size};
}

ProfileKindSurvey SurveyKind(const ProfileKind& kind, const std::string& source) {
    ProfileKindSurvey survey{std::string(kind.id), source, {}, {}};
    if (kind.count == nullptr) return survey;
    try {
        ConversionReport counts;
        kind.count(source, counts);
        survey.counts = counts.counts();
    } catch (const Exception& error) {
        survey.problem = error.what();
    }
    return survey;
}

std::string CountsText(const ProfileKindSurvey& kind) {
    if (!kind.problem.empty()) return "not readable: " + kind.problem;
    if (kind.counts.empty()) return "found, not converted by this version";
    std::string text;
    for (const auto& [label, count] : kind.counts) {
        if (!text.empty()) text += ", ";
        text += std::to_string(count) + " " + label;
    }
    const ProfileKind* known = ProfileKindOf(kind.kind);
    if (known && !known->Exports()) text += "; not in the export yet";
    return text;
}

// The profile's files and folders that an export must not touch.
std::vector<std::string> Inputs(const OperaProfile& profile) {
    std::vector<std::string> inputs = {
        profile.folder,     profile.hotlist,        profile.contacts,  profile.notes,
        profile.speed_dial, profile.search_engines, profile.passwords, profile.cookies};
    inputs.insert(inputs.end(), profile.sessions.begin(), profile.sessions.end());
    return inputs;
}

}  // namespace

ProfileSurvey SurveyProfile(const OperaProfile& profile) {
    ProfileSurvey survey;
    survey.folder = profile.folder;
    for (const ProfileKind& kind : ProfileKinds()) {
        const std::string source = kind.source(profile);
        if (!source.empty()) survey.kinds.push_back(SurveyKind(kind, source));
    }
    survey.passwords = Untouched(profile.passwords);
    survey.cookies = Untouched(profile.cookies);
    return survey;
}

std::vector<std::string> SurveyLines(const ProfileSurvey& survey) {
    std::vector<std::string> lines = {"Profile " + survey.folder};
    if (survey.kinds.empty() && !survey.passwords && !survey.cookies)
        lines.emplace_back("  nothing of Opera's found");
    for (const ProfileKindSurvey& kind : survey.kinds) {
        const ProfileKind* known = ProfileKindOf(kind.kind);
        lines.push_back("  " + std::string(known ? known->title : kind.kind) + ": " +
                        CountsText(kind) + " (" + kind.source + ")");
    }
    for (const auto& [file, warning] :
         {std::pair{&survey.passwords, kPasswordsWarning}, {&survey.cookies, kCookiesWarning}})
        if (*file)
            lines.push_back("  " + (*file)->file + " (" + std::to_string((*file)->size) +
                            " bytes): " + std::string(warning));
    return lines;
}

void CheckProfileExport(const OperaProfile& profile, const std::string& output_folder) {
    const std::string output = FileIdentity(output_folder);
    for (const std::string& input : Inputs(profile)) {
        if (input.empty()) continue;
        if (FileIdentity(input) == output || FolderHolds(output_folder, input))
            throw ESameFileError("Output folder " + output_folder + " is or holds " + input +
                                 " of the profile: nothing converted");
    }
    // The export folder may lie in the profile, but not in its mail folder,
    // which is read whole.
    if (!profile.mail.empty()) CheckMailExport(profile.mail, output_folder);
}

ProfileExport ExportProfile(const OperaProfile& profile, const std::string& output_folder,
                            const ProfileExportOptions& options,
                            const ProfileProgressSink& progress, const std::atomic<bool>* cancel) {
    CheckProfileExport(profile, output_folder);
    ProfileExport done;
    done.survey = SurveyProfile(profile);
    const auto is_left_out = [&](std::string_view id) {
        return std::find(options.without.begin(), options.without.end(), id) !=
               options.without.end();
    };
    // A kind that carries others is written for them alone too: a profile's
    // Speed Dial goes into the bookmark files when it has no hotlist, or when
    // the hotlist is left out.
    const auto carries_found_kind = [&](const ProfileKind& carrier) {
        for (const ProfileKind& kind : ProfileKinds())
            if (kind.written_with == carrier.id && !kind.source(profile).empty() &&
                !is_left_out(kind.id))
                return true;
        return false;
    };
    std::vector<const ProfileKind*> kinds;
    for (const ProfileKind& kind : ProfileKinds()) {
        const bool found = !kind.source(profile).empty();
        const bool carries = kind.write != nullptr && carries_found_kind(kind);
        if (found && is_left_out(kind.id)) done.left_out.emplace_back(kind.id);
        if ((found && !is_left_out(kind.id)) || carries) kinds.push_back(&kind);
    }
    FolderOutput folder(output_folder, options.replace);
    ProfileOutput output{folder, cancel, {}, options.without};
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const ProfileKind& kind = *kinds[i];
        if (output.Cancelled()) return {true, {}, {}, {}};
        if (progress) progress(kind.title, i, kinds.size());
        ProfileKindExport& written = done.kinds.emplace_back();
        written.kind = kind.id;
        if (!is_left_out(kind.id)) written.source = kind.source(profile);
        if (kind.write == nullptr) continue;
        output.files.clear();
        output.writing = false;
        try {
            written.problem = kind.write(profile, output, written.report);
        } catch (const EConversionCancelled&) {
            return {true, {}, {}, {}};
        } catch (const EFOpenError& error) {
            // An input that cannot be read leaves its kind out, not the rest;
            // one that fails once the kind writes, or a file that cannot be
            // written, ends the export with nothing made.
            if (output.writing) throw;
            written.problem = error.what();
        } catch (const EReadError& error) {
            if (output.writing) throw;
            written.problem = error.what();
        }
        written.files = output.files;
    }
    if (output.Cancelled()) return {true, {}, {}, {}};
    // A kind written with another is in that one's files.
    for (ProfileKindExport& written : done.kinds) {
        const ProfileKind* kind = ProfileKindOf(written.kind);
        if (kind == nullptr || kind->write != nullptr || kind->written_with.empty()) continue;
        for (const ProfileKindExport& other : done.kinds)
            if (other.kind == kind->written_with && other.problem.empty())
                written.files = other.files;
    }
    if (progress) progress({}, kinds.size(), kinds.size());
    folder.WriteFile(kProfileReportName, ProfileReportHtml(done, output_folder));
    folder.Commit();
    return done;
}

}  // namespace quarvo
