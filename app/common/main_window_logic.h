// SPDX-License-Identifier: MIT
// The main window's decisions, apart from any toolkit: the default file
// names, what the two Opera files count and whether there is anything to
// convert, the one run of both conversions and the message it ends with,
// and which file the viewer opens. A front end shows what it is told
// through MainWindowView and passes its controls' events on.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "contacts_output_choice.h"
#include "desktop.h"
#include "entry_count.h"
#include "quarvo/conversions/browser_bookmarks.h"
#include "quarvo/conversions/contacts_export.h"
#include "quarvo/conversions/conversion_run.h"
#include "quarvo/report/conversion_report.h"

namespace quarvo {

// The main window's four file names.
enum class NameField { OperaContacts, OperaBookmarks, ContactsOutput, BookmarksOutput };

// What the status bar and the start buttons show after a count.
struct ItemCounts {
    std::int32_t bookmarks = 0;
    std::int32_t contacts = 0;
    // A conversion can start: either Opera file is a plain file that reads.
    bool ready = false;
    // Both counts together, held at INT32_MAX: the progress bar's end.
    std::int32_t progress_maximum = 0;
};

// The window's side. File names are the file system's bytes.
class MainWindowView {
  public:
    [[nodiscard]] virtual std::string FileName(NameField field) const = 0;
    virtual void SetFileName(NameField field, const std::string& name) = 0;
    // Shows the counts and the readiness; the progress bar starts over,
    // empty, towards progress_maximum.
    virtual void ShowCounts(const ItemCounts& counts) = 0;
    // The File menu's start command; the start buttons follow ShowCounts.
    virtual void EnableStartCommand(bool enabled) = 0;
    virtual void ShowProgress(bool shown) = 0;
    // The progress sink of both conversions: one step of the bar.
    virtual void StepProgress() = 0;
    // Opens the file viewer on `file_name` and returns when it is closed.
    virtual void ShowViewer(const std::string& file_name) = 0;
    // Runs `count` off the window's thread, the window painting meanwhile,
    // then `done` with its result on the window's thread. A window that
    // closes waits for the counts still running (the logic has cancelled
    // them by then) and calls no `done` after the logic is gone.
    virtual void CountOffThread(std::function<EntryCount()> count,
                                std::function<void(EntryCount)> done) = 0;
    // The Contacts output menu shows `choice` ticked, greys what it does
    // not offer beside it, and the output field's hint and file dialog
    // name the kind of file chosen.
    virtual void ShowContactsOutput(const ContactsOutputChoice& choice) = 0;

  protected:
    ~MainWindowView() = default;
};

// The message a run ends with, naming what the contacts became (vCards or
// CSV); the line break is the platform's, so that the box shows the two
// counts on two lines and nothing between.
[[nodiscard]] std::string ConversionResultMessage(std::int32_t contacts, std::int32_t bookmarks,
                                                  bool vcard = false);

// The box after a run that wrote '?' for characters the contacts output's
// encoding cannot hold: how many contacts, in its text; one line per
// contact (see ContactsExport), in its list.
[[nodiscard]] std::string ReplacedCharactersMessage(std::size_t contacts);
[[nodiscard]] std::string ReplacedCharactersList(const std::vector<std::string>& lines);

// Every flavour but the Internet Explorer file is a browser's file: its
// report is kept from the run, and the menu offers the trash and the links
// beside the hotlist for it (the Internet Explorer file always holds the
// trash, and nothing but the hotlist).
[[nodiscard]] bool IsBrowserFile(BookmarkFlavour flavour) noexcept;

// The bookmark output's name the window suggests for `flavour`: Firefox's
// backup is a ".json" file, and Chromium reads its file only as "Bookmarks".
[[nodiscard]] std::string_view SuggestedBookmarksName(BookmarkFlavour flavour) noexcept;

class MainWindowLogic {
  public:
    MainWindowLogic(MainWindowView& view, Desktop& desktop);
    // Cancels the counts still running.
    ~MainWindowLogic() { CancelCounts(); }
    MainWindowLogic(const MainWindowLogic&) = delete;
    MainWindowLogic& operator=(const MainWindowLogic&) = delete;

    // Fills in the default names, one after the other: the Opera files
    // found below Program Files (or in the home profile), the outputs in the
    // user's documents. An error of the folder lookup ends it and leaves
    // the names set so far.
    void FormCreate();

    // Recounts the two Opera files off the window's thread; once neither
    // count is still running, shows the counts and the readiness state, then
    // reports each input that cannot be read, once per name until it reads
    // again, so that the recount of every keystroke raises no new box. A
    // count whose name has changed since is cancelled and never shown.
    void CountItems();

    // A field's name has changed (typed, browsed or set): an Opera file's
    // field recounts that file alone, the other keeping its last count, so
    // that a large file in one field does not slow typing in the other; the
    // contacts output's field makes the format follow its extension.
    void NameChanged(NameField field);

    // Asks the counts still running to end; none of them is shown.
    void CancelCounts();

    // A count is running off the window's thread.
    [[nodiscard]] bool Counting() const {
        return bookmarks_count_.running != nullptr || contacts_count_.running != nullptr;
    }

    // The window was activated: the first activation counts the items;
    // coming back from another window of the program counts nothing.
    void Activated();

    // Refuses the run before anything is read or written when an output is
    // an input or the other output (ESameFileError); else converts the
    // contacts, then the hotlist, with the bar shown, and shows the counts.
    // A file error ends the run where it happens, the bar left shown.
    void StartConversion();

    // Decides the File menu's start command when the menu opens.
    void UpdateStartCommand();

    void OpenBookmarks();
    void OpenContacts();

    // The choices of the contacts output menu, the address book's CSV in
    // UTF-8 at start. Choosing a vCard gives the output name the ".vcf"
    // extension, and a CSV layout takes ".vcf" away; vCard 3.0 takes a
    // Windows-1252 encoding back to UTF-8, as it cannot be written so.
    void ChooseContactsFormat(ContactsFormat format);
    void ChooseContactsEncoding(OutputEncoding encoding);
    void KeepContactsTrash(bool keep);
    [[nodiscard]] const ContactsOutputChoice& contacts_output() const { return contacts_; }
    [[nodiscard]] ContactsExportOptions contacts_export_options() const {
        return ExportOptionsOf(contacts_);
    }

    // The bookmark file's flavour and trash choice, as the menu sets them;
    // the Internet Explorer flavour at start. Nothing of it is kept; the
    // links of `options` are not the menu's (see IncludeOperaLinks). While
    // the output field still holds the name the window suggested, a new
    // flavour suggests its own (SuggestedBookmarksName) in the same folder.
    void SetBookmarkOptions(const BookmarkOptions& options);
    [[nodiscard]] const BookmarkOptions& bookmark_options() const { return bookmark_options_; }

    // Whether a run of a browser's file also writes the Speed Dial, saved
    // sessions and search engines of the hotlist's profile; off at start.
    void IncludeOperaLinks(bool include) { include_links_ = include; }
    [[nodiscard]] bool include_opera_links() const { return include_links_; }

    // What a run hands to the bookmark conversion: the menu's choices, and
    // with the links included, those found beside the hotlist the window
    // names now (LinkSourcesBeside). Reads no file but the profile's ini.
    [[nodiscard]] BookmarkOptions BookmarkRunOptions() const;

    // Whether a run has a report to show, and showing it in the program's
    // box: the result message of the run stays as it always was. The
    // Internet Explorer flavour's report reads the hotlist again, so it is
    // made only here, from the hotlist as it is then.
    [[nodiscard]] bool HasDetails() const { return details_.has_value(); }
    void ShowDetails();

    // The Program Files folder the defaults were looked for in.
    [[nodiscard]] const std::string& ProgramFilesPath() const { return program_files_; }

  private:
    // One Opera file's count of its marker; readable is false for a name
    // that names no plain file or one that could not be read.
    struct InputCount {
        std::int32_t count = 0;
        bool readable = false;
        std::optional<std::string> unreported_error;
        std::string unreported_name;  // the name unreported_error is about
        // The cancel flag of the count running for the field's latest name.
        std::shared_ptr<std::atomic<bool>> running;
    };
    void Recount(bool bookmarks, bool contacts);
    void StartCount(InputCount& input, NameField field, std::string_view marker);
    void CountArrived(InputCount& input, const std::shared_ptr<std::atomic<bool>>& flag,
                      const std::string& name, EntryCount result);
    void ShowCountsAndErrors();
    void FollowOutputName();
    void ChangeContacts(const ContactsOutputChoice& choice);

    MainWindowView& view_;
    Desktop& desktop_;
    std::string program_files_;
    bool activated_ = false;
    BookmarkOptions bookmark_options_;
    bool include_links_ = false;
    // The folder of the bookmark output's suggested name, and that name;
    // empty until FormCreate suggests one.
    std::string suggested_folder_;
    std::string suggested_output_;
    // What the last run's bookmark conversion has to tell; nothing before a run.
    struct Details {
        std::string contacts_text;         // the contacts' report, when it has warnings
        std::string text;                  // the bookmarks' report, unless it is still to be made
        std::optional<ConversionJob> job;  // an Internet Explorer flavour run's, to make it
        std::int32_t count = 0;
    };
    std::optional<Details> details_;
    // Input names whose read failed and was reported.
    std::set<std::string> reported_unreadable_;
    InputCount bookmarks_count_;
    InputCount contacts_count_;
    // A run is under way; counts arrived meanwhile wait for its end.
    bool converting_ = false;
    bool counts_waiting_ = false;
    ContactsOutputChoice contacts_;
    // The format a ".vcf" name, or another one, brings back.
    ContactsFormat last_vcard_ = ContactsFormat::kVcard30;
    ContactsFormat last_csv_ = ContactsFormat::kWabCsv;
};

}  // namespace quarvo
