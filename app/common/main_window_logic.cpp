// SPDX-License-Identifier: MIT
#include "main_window_logic.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "default_locations.h"
#include "quarvo/base/errors.h"
#include "quarvo/conversions/conversion_run.h"
#include "quarvo/conversions/hotlist.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/text/text_search.h"
#include "shell_folders.h"

namespace quarvo {
namespace {

// Only a plain file is something to convert: a folder is a step on the way
// while a name is typed, and the file layer refuses pipes and devices.
bool is_plain_file(const std::string& file_name) {
    std::error_code error;
    return !file_name.empty() && std::filesystem::is_regular_file(file_name, error);
}

// What a conversion could start from: a plain file that opens for reading
// (the plain-file test first, as opening a pipe would wait for a writer).
bool can_convert(const std::string& file_name) {
    if (!is_plain_file(file_name)) return false;
    try {
        const FileReading reading(file_name);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

// Windows' message box shows LF CR as one line break; other platforms break
// the line at each of the two, which would leave an empty line between.
#ifdef _WIN32
constexpr char kResultLineBreak[] = "\n\r";
#else
constexpr char kResultLineBreak[] = "\n";
#endif

constexpr char kDetailsMessage[] = "What the last conversion wrote:";

std::string DetailsTitle(const ConversionJob& job) {
    return "Bookmarks written to " + job.output + ":";
}

}  // namespace

bool IsBrowserFile(BookmarkFlavour flavour) noexcept {
    return flavour != BookmarkFlavour::kInternetExplorer;
}

std::string_view SuggestedBookmarksName(BookmarkFlavour flavour) noexcept {
    switch (flavour) {
        case BookmarkFlavour::kFirefoxBackup:
            return "bookmark.json";
        case BookmarkFlavour::kChromium:
            return "Bookmarks";
        case BookmarkFlavour::kInternetExplorer:
        case BookmarkFlavour::kBrowser:
            break;
    }
    return "bookmark.htm";
}

std::string ConversionResultMessage(std::int32_t contacts, std::int32_t bookmarks, bool vcard) {
    return std::to_string(contacts) +
           (vcard ? " Contacts converted to vCard !" : " Contacts converted to CSV !") +
           kResultLineBreak + std::to_string(bookmarks) + " Bookmarks converted to HTM !";
}

std::string ReplacedCharactersMessage(std::size_t contacts) {
    return std::to_string(contacts) + (contacts == 1 ? " contact has" : " contacts have") +
           " characters that Windows-1252 cannot hold; each of them was written as '?':";
}

std::string ReplacedCharactersList(const std::vector<std::string>& lines) {
    std::string list;
    for (const std::string& line : lines) list += line + '\n';
    return list;
}

MainWindowLogic::MainWindowLogic(MainWindowView& view, Desktop& desktop)
    : view_(view), desktop_(desktop) {}

void MainWindowLogic::CancelCounts() {
    for (InputCount* input : {&bookmarks_count_, &contacts_count_}) {
        if (input->running) input->running->store(true);
        input->running.reset();
    }
}

void MainWindowLogic::FormCreate() {
    program_files_ = desktop_.LookUpFolder(kProgramFilesFolder);
    const OperaPlaces places = DefaultOperaPlaces(program_files_, desktop_);
    if (const auto contacts = FindOperaFile(places, OperaFile::Contacts))
        view_.SetFileName(NameField::OperaContacts, *contacts);
    if (const auto hotlist = FindOperaFile(places, OperaFile::Hotlist))
        view_.SetFileName(NameField::OperaBookmarks, *hotlist);
    view_.SetFileName(NameField::ContactsOutput,
                      desktop_.LookUpFolder(kPersonalFolder) + "contacts.csv");
    suggested_folder_ = desktop_.LookUpFolder(kPersonalFolder);
    suggested_output_ =
        suggested_folder_ + std::string(SuggestedBookmarksName(bookmark_options_.flavour));
    view_.SetFileName(NameField::BookmarksOutput, suggested_output_);
}

void MainWindowLogic::SetBookmarkOptions(const BookmarkOptions& options) {
    const bool new_flavour = options.flavour != bookmark_options_.flavour;
    bookmark_options_ = {options.flavour, options.keep_trash, {}};
    // A name the user gave is the user's, whatever it ends in.
    if (!new_flavour || suggested_output_.empty() ||
        view_.FileName(NameField::BookmarksOutput) != suggested_output_)
        return;
    suggested_output_ = suggested_folder_ + std::string(SuggestedBookmarksName(options.flavour));
    view_.SetFileName(NameField::BookmarksOutput, suggested_output_);
}

BookmarkOptions MainWindowLogic::BookmarkRunOptions() const {
    BookmarkOptions options = bookmark_options_;
    if (include_links_ && IsBrowserFile(options.flavour))
        options.links = LinkSourcesBeside(view_.FileName(NameField::OperaBookmarks));
    return options;
}

void MainWindowLogic::CountItems() {
    Recount(true, true);
}

void MainWindowLogic::NameChanged(NameField field) {
    switch (field) {
        case NameField::OperaBookmarks:
            Recount(true, false);
            break;
        case NameField::OperaContacts:
            Recount(false, true);
            break;
        case NameField::ContactsOutput:
            FollowOutputName();
            break;
        case NameField::BookmarksOutput:
            break;
    }
}

void MainWindowLogic::Recount(bool bookmarks_changed, bool contacts_changed) {
    // Both are marked as running before either starts, so that a count that
    // ends at once does not show the other field's old count as new.
    for (auto [input, changed] :
         {std::pair{&bookmarks_count_, bookmarks_changed}, {&contacts_count_, contacts_changed}}) {
        if (!changed) continue;
        if (input->running) input->running->store(true);
        input->running = std::make_shared<std::atomic<bool>>(false);
    }
    if (bookmarks_changed) StartCount(bookmarks_count_, NameField::OperaBookmarks, "#URL");
    if (contacts_changed) StartCount(contacts_count_, NameField::OperaContacts, "#CONTACT");
}

void MainWindowLogic::StartCount(InputCount& input, NameField field, std::string_view marker) {
    std::shared_ptr<std::atomic<bool>> flag = input.running;
    std::string name = view_.FileName(field);
    view_.CountOffThread([name, marker, flag] { return CountEntries(name, marker, *flag); },
                         [this, &input, flag, name](EntryCount result) {
                             CountArrived(input, flag, name, std::move(result));
                         });
}

void MainWindowLogic::CountArrived(InputCount& input,
                                   const std::shared_ptr<std::atomic<bool>>& flag,
                                   const std::string& name, EntryCount result) {
    // A count for a name the field no longer holds.
    if (input.running != flag || result.cancelled) return;
    input.running.reset();
    input.count = result.count;
    input.readable = result.readable;
    input.unreported_error.reset();
    // A name counts as reported only once its box is shown.
    if (result.error && !reported_unreadable_.contains(name)) {
        input.unreported_error = std::move(result.error);
        input.unreported_name = name;
    } else if (result.readable) {
        reported_unreadable_.erase(name);
    }
    if (Counting()) return;
    if (converting_)
        counts_waiting_ = true;
    else
        ShowCountsAndErrors();
}

void MainWindowLogic::ShowCountsAndErrors() {
    counts_waiting_ = false;
    InputCount& bookmarks = bookmarks_count_;
    InputCount& contacts = contacts_count_;
    ItemCounts counts;
    counts.bookmarks = bookmarks.count;
    counts.contacts = contacts.count;
    counts.ready = bookmarks.readable || contacts.readable;
    // Both counts can reach INT32_MAX; their sum must not wrap.
    counts.progress_maximum = static_cast<std::int32_t>(
        std::min<std::int64_t>(std::int64_t{bookmarks.count} + contacts.count, INT32_MAX));
    view_.ShowCounts(counts);
    // Reported once the window shows the new state: the box is modal, and
    // the recount behind it is complete.
    for (InputCount* input : {&bookmarks, &contacts}) {
        if (!input->unreported_error) continue;
        const std::string error = std::move(*input->unreported_error);
        input->unreported_error.reset();
        // Both fields may name the same file: one box.
        if (reported_unreadable_.insert(input->unreported_name).second) desktop_.ReportError(error);
    }
}

void MainWindowLogic::ChangeContacts(const ContactsOutputChoice& choice) {
    contacts_ = choice;
    if (!OffersEncoding(contacts_.format, contacts_.encoding))
        contacts_.encoding = OutputEncoding::kUtf8;
    (IsVcard(contacts_.format) ? last_vcard_ : last_csv_) = contacts_.format;
    view_.ShowContactsOutput(contacts_);
}

void MainWindowLogic::ChooseContactsFormat(ContactsFormat format) {
    ContactsOutputChoice choice = contacts_;
    choice.format = format;
    ChangeContacts(choice);
    const std::string name = view_.FileName(NameField::ContactsOutput);
    // The new name comes back through NameChanged, which finds it agreeing.
    if (!name.empty() && IsVcardFileName(name) != IsVcard(format))
        view_.SetFileName(NameField::ContactsOutput, WithContactsExtension(name, format));
}

void MainWindowLogic::ChooseContactsEncoding(OutputEncoding encoding) {
    ContactsOutputChoice choice = contacts_;
    choice.encoding = encoding;
    ChangeContacts(choice);
}

void MainWindowLogic::KeepContactsTrash(bool keep) {
    ContactsOutputChoice choice = contacts_;
    choice.keep_trash = keep;
    ChangeContacts(choice);
}

void MainWindowLogic::FollowOutputName() {
    const std::string name = view_.FileName(NameField::ContactsOutput);
    // An emptied field keeps the format chosen for the name still to come.
    if (name.empty()) return;
    const bool vcard = IsVcardFileName(name);
    if (vcard == IsVcard(contacts_.format)) return;
    ContactsOutputChoice choice = contacts_;
    choice.format = vcard ? last_vcard_ : last_csv_;
    ChangeContacts(choice);
}

void MainWindowLogic::Activated() {
    if (activated_) return;
    activated_ = true;
    CountItems();
}

void MainWindowLogic::StartConversion() {
    const ConversionJob contacts_job{view_.FileName(NameField::OperaContacts),
                                     view_.FileName(NameField::ContactsOutput)};
    const ConversionJob bookmarks_job{view_.FileName(NameField::OperaBookmarks),
                                      view_.FileName(NameField::BookmarksOutput)};
    const BookmarkOptions bookmark_options = BookmarkRunOptions();
    ConversionRun run{contacts_job, bookmarks_job};
    run.link_inputs = LinkFiles(bookmark_options.links);
    // A refused run ends here, in the error report, before the bar shows.
    CheckConversionRun(run);
    details_.reset();  // a run that ends in an error has nothing to tell
    // A count that arrives while a box of the run is up would start the bar
    // over under it: it is shown once the run has ended.
    struct RunUnderWay {
        bool& flag;
        explicit RunUnderWay(bool& f) : flag(f) { flag = true; }
        ~RunUnderWay() { flag = false; }
    } under_way(converting_);
    view_.ShowProgress(true);
    const auto progress = [this] { view_.StepProgress(); };
    const ContactsExportOutcome contacts_done =
        RunContactsExport(contacts_job, contacts_export_options(), progress);
    const std::int32_t contacts = contacts_done.outcome.count;
    const bool browser = IsBrowserFile(bookmark_options.flavour);
    ConversionReport report;
    const ConversionOutcome bookmarks = RunBookmarksConversion(
        bookmarks_job, bookmark_options, browser ? &report : nullptr, progress,
        [this](std::string_view message) { desktop_.ShowMessage(message); });
    Details details;
    if (bookmarks.input_missing || bookmarks.count == kUnsupportedHotlistVersion)
        details.text = "No bookmarks were converted.\n";
    else if (browser)
        details.text = report.Text(DetailsTitle(bookmarks_job));
    else
        details.job = bookmarks_job;
    details.count = bookmarks.count;
    if (!contacts_done.replaced.empty()) {
        ConversionReport contacts_report;
        ReportContactsExport(contacts_done, contacts_report);
        details.contacts_text =
            contacts_report.Text("Contacts written to " + contacts_job.output + ":") + "\n";
    }
    details_ = std::move(details);
    desktop_.ShowMessage(
        ConversionResultMessage(contacts, bookmarks.count, IsVcardFileName(contacts_job.output)));
    if (!contacts_done.replaced.empty()) {
        desktop_.ShowReport(ReplacedCharactersMessage(contacts_done.replaced.size()),
                            ReplacedCharactersList(contacts_done.replaced));
    }
    view_.ShowProgress(false);
    converting_ = false;
    if (counts_waiting_ && !Counting()) ShowCountsAndErrors();
}

void MainWindowLogic::ShowDetails() {
    if (!details_) return;
    if (!details_->job) {
        desktop_.ShowReport(kDetailsMessage, details_->contacts_text + details_->text);
        return;
    }
    ConversionReport report;
    ReportInternetExplorerConversion(ReadWholeFile(details_->job->input), details_->count, report);
    desktop_.ShowReport(kDetailsMessage,
                        details_->contacts_text + report.Text(DetailsTitle(*details_->job)));
}

void MainWindowLogic::UpdateStartCommand() {
    view_.EnableStartCommand(can_convert(view_.FileName(NameField::OperaBookmarks)) ||
                             can_convert(view_.FileName(NameField::OperaContacts)));
}

void MainWindowLogic::OpenBookmarks() {
    view_.ShowViewer(view_.FileName(NameField::OperaBookmarks));
}

void MainWindowLogic::OpenContacts() {
    view_.ShowViewer(view_.FileName(NameField::OperaContacts));
}

}  // namespace quarvo
