// SPDX-License-Identifier: MIT
#include "quarvo/conversions/profile_kinds.h"

#include <tuple>

#include "conversions/link_folders.h"
#include "formats/chromium_bookmarks_writer.h"
#include "formats/firefox_backup_writer.h"
#include "formats/opera_bookmarks_reader.h"
#include "formats/opera_contacts_plain_reader.h"
#include "formats/opera_link_files.h"
#include "formats/opera_notes_reader.h"
#include "quarvo/base/errors.h"
#include "quarvo/conversions/browser_bookmarks.h"
#include "quarvo/conversions/contacts_export.h"
#include "quarvo/conversions/mail_export.h"
#include "quarvo/conversions/notes_export.h"
#include "quarvo/files/file_layer.h"

namespace quarvo {
namespace {

constexpr std::string_view kUnsupportedVersion =
    ": its version is not 2.0, which is the only one Quarvo reads";

// The labels the survey counts under.
constexpr std::string_view kInTrash = "in Opera's trash (left out)";

// --- Bookmarks ---

std::string HotlistOf(const OperaProfile& profile) {
    return profile.hotlist;
}

void CountBookmarks(const std::string& source, ConversionReport& counts) {
    ConversionReport ignored;
    const std::string text = ReadWholeFile(source);
    formats::BookmarkEntryReader reader(formats::HotlistIsEightBit(formats::ReadAdrHeader(text)),
                                        ignored);
    std::int64_t bookmarks = 0, folders = 0, trash = 0;
    std::size_t trash_depth = 0;  // the depth of the trash folder being walked, 0 outside
    formats::ForEachAdrEntry(text, [&](const formats::AdrEntry& entry) {
        const auto item = reader.Read(entry);
        if (!item) return;
        const std::size_t depth = entry.depth + 1;
        if (trash_depth != 0 && depth <= trash_depth) trash_depth = 0;
        if (trash_depth != 0) {
            trash += item->kind != model::BookmarkItem::Kind::kSeparator;
        } else if (item->kind == model::BookmarkItem::Kind::kBookmark) {
            ++bookmarks;
        } else if (item->kind == model::BookmarkItem::Kind::kFolder && !item->is_trash) {
            ++folders;
        }
        if (item->is_trash && trash_depth == 0) trash_depth = depth;
    });
    counts.Count("bookmarks", bookmarks);
    counts.Count("folders", folders);
    counts.Count(kInTrash, trash);
}

std::string SpeedDialOf(const OperaProfile& profile);
std::string SearchEnginesOf(const OperaProfile& profile);
std::string SessionsOf(const OperaProfile& profile);

constexpr std::string_view kUnreadableLinksWarning =
    "Speed Dial, sessions or search engines that could not be read, left out";

// The lists of links of `profile` the export takes. One that cannot be read
// is left out and named: the bookmarks are written all the same.
LinkSources ReadableLinks(const OperaProfile& profile, const ProfileOutput& output,
                          ConversionReport& report) {
    LinkSources links;
    for (const auto& [id, source, kept] :
         {std::tuple{"speed-dial", SpeedDialOf(profile), &LinkSources::speed_dial},
          std::tuple{"sessions", SessionsOf(profile), &LinkSources::sessions},
          std::tuple{"search-engines", SearchEnginesOf(profile), &LinkSources::search_engines}}) {
        if (source.empty() || output.LeavesOut(id)) continue;
        LinkSources one;
        one.*kept = source;
        try {
            ConversionReport counted_later;
            (void)ReadLinkFolders(one, counted_later);
            links.*kept = source;
        } catch (const Exception& error) {
            report.Warn(kUnreadableLinksWarning, error.what());
        }
    }
    return links;
}

// The bookmark files of today's browsers, each holding the Speed Dial,
// sessions and search engines unless they are left out.
std::string WriteBookmarks(const OperaProfile& profile, ProfileOutput& output,
                           ConversionReport& report) {
    BookmarkOptions options{BookmarkFlavour::kBrowser, false, {}};
    options.links = ReadableLinks(profile, output, report);
    // Without a hotlist, or with it left out, the files hold the other links alone.
    const bool hotlist_wanted = !profile.hotlist.empty() && !output.LeavesOut("bookmarks");
    const std::string hotlist = hotlist_wanted ? ReadWholeFile(profile.hotlist) : std::string();
    const auto html = ConvertHotlistTextFor(hotlist, options, report);
    if (!html) return profile.hotlist + std::string(kUnsupportedVersion);
    // The same tree in each: the HTML's counts speak for all three, and
    // what the browsers' own files cannot hold follows them.
    ConversionReport firefox_counts;
    options.flavour = BookmarkFlavour::kFirefoxBackup;
    const auto firefox = ConvertHotlistTextFor(hotlist, options, firefox_counts);
    ConversionReport chromium_counts;
    options.flavour = BookmarkFlavour::kChromium;
    const auto chromium = ConvertHotlistTextFor(hotlist, options, chromium_counts);
    report.Count(formats::kFirefoxDescriptionsLeftOut,
                 firefox_counts.CountOf(formats::kFirefoxDescriptionsLeftOut));
    for (const std::string_view label :
         {formats::kChromiumSeparatorsLeftOut, formats::kChromiumKeywordsLeftOut,
          formats::kChromiumDescriptionsLeftOut})
        report.Count(label, chromium_counts.CountOf(label));
    output.writing = true;
    for (const auto& [name, converted] :
         {std::pair{"bookmarks.html", &html}, std::pair{"bookmarks.json", &firefox},
          std::pair{"Bookmarks", &chromium}}) {
        output.folder.WriteFile(name, (*converted)->html);
        output.files.emplace_back(name);
    }
    return {};
}

// --- Contacts ---

std::string ContactsOf(const OperaProfile& profile) {
    return profile.contacts;
}

void CountContacts(const std::string& source, ConversionReport& counts) {
    const std::string text = ReadWholeFile(source);
    std::int64_t contacts = 0, trash = 0;
    formats::ForEachOperaContact(
        text, [&](const formats::PlainContact& each) { ++(each.in_trash ? trash : contacts); });
    counts.Count("contacts", contacts);
    counts.Count(kInTrash, trash);
}

// The CSV goes to Outlook, the one address book of the targets that takes
// no file of vCards whole.
ContactsExportOptions CsvOptions() {
    ContactsExportOptions options;
    options.layout = ContactsCsvLayout::kOutlook;
    options.encoding = OutputEncoding::kUtf8Bom;
    return options;
}

std::string WriteContacts(const OperaProfile& profile, ProfileOutput& output,
                          ConversionReport& report) {
    const std::string text = ReadWholeFile(profile.contacts);
    const ContactsExport vcards = ExportContactsText(text, true, {});
    ReportContactsExport({{vcards.named, false}, vcards.replaced, vcards.warnings}, report);
    output.writing = true;
    output.folder.WriteFile("contacts.vcf", vcards.text);
    output.files.push_back("contacts.vcf");
    if (output.Cancelled()) throw EConversionCancelled();
    output.folder.WriteFile("contacts.csv", ExportContactsText(text, false, CsvOptions()).text);
    output.files.push_back("contacts.csv");
    return {};
}

// --- Notes ---

std::string NotesOf(const OperaProfile& profile) {
    return profile.notes;
}

void CountNotes(const std::string& source, ConversionReport& counts) {
    ConversionReport ignored;
    const model::NoteTree tree = formats::ReadOperaNotes(ReadWholeFile(source), ignored);
    std::int64_t notes = 0, folders = 0, trash = 0;
    std::size_t trash_depth = 0;
    model::WalkNotes(
        tree.root,
        [&](const model::NoteItem& item, std::size_t depth) {
            if (trash_depth != 0 && depth <= trash_depth) trash_depth = 0;
            if (trash_depth != 0) {
                trash += item.kind == model::NoteItem::Kind::kNote;
            } else {
                notes += item.kind == model::NoteItem::Kind::kNote;
                folders += item.kind == model::NoteItem::Kind::kFolder && !item.is_trash;
            }
            if (item.is_trash && trash_depth == 0) trash_depth = depth;
            return true;
        },
        [](const model::NoteItem&, std::size_t) {});
    counts.Count("notes", notes);
    counts.Count("folders", folders);
    counts.Count(kInTrash, trash);
}

std::string WriteNotes(const OperaProfile& profile, ProfileOutput& output,
                       ConversionReport& report) {
    const CancelCheck cancel = [&output] { return output.Cancelled(); };
    output.writing = true;
    NotesExportOptions markdown;
    const NotesExportOutcome done =
        WriteNotesInto(profile.notes, output.folder, "notes", markdown, report, {}, cancel);
    if (done.unsupported_version) return profile.notes + std::string(kUnsupportedVersion);
    output.files.push_back("notes/");
    // The same notes again: counted once.
    ConversionReport again;
    NotesExportOptions enex;
    enex.format = NotesFormat::kEnex;
    (void)WriteNotesInto(profile.notes, output.folder, "notes.enex", enex, again, {}, cancel);
    output.files.push_back("notes.enex");
    return {};
}

// --- Mail ---

std::string MailOf(const OperaProfile& profile) {
    return profile.mail;
}

void CountMail(const std::string& source, ConversionReport& counts) {
    const MailSurvey survey = SurveyOperaMail(source);
    std::int64_t messages = 0;
    for (const MailSurvey::Mailbox& box : survey.mailboxes)
        messages += static_cast<std::int64_t>(box.messages);
    counts.Count("mailboxes", static_cast<std::int64_t>(survey.mailboxes.size()));
    counts.Count("messages", messages);
    counts.Count("accounts without mail",
                 static_cast<std::int64_t>(survey.accounts_without_mail.size()));
    if (survey.unreadable != 0)
        counts.Count("unreadable files of the store", static_cast<std::int64_t>(survey.unreadable));
}

std::string WriteMail(const OperaProfile& profile, ProfileOutput& output,
                      ConversionReport& report) {
    MailExportOptions options;
    output.writing = true;
    const MailExportOutcome done =
        WriteOperaMail(profile.mail, output.folder, "mail", options, report, {}, output.cancel);
    if (done.cancelled) throw EConversionCancelled();
    // The report names the files it could not read (kUnreadableLeftOutWarning).
    output.files.push_back("mail/");
    return {};
}

// --- The links' kinds, written into the bookmark files ---

std::string SpeedDialOf(const OperaProfile& profile) {
    return profile.speed_dial;
}
std::string SearchEnginesOf(const OperaProfile& profile) {
    return profile.search_engines;
}
std::string SessionsOf(const OperaProfile& profile) {
    if (profile.sessions.empty()) return {};
    const std::string& first = profile.sessions.front();
    return first.substr(0, first.find_last_of(kPathSeparator) + 1);
}

// Each counts as the browser flavour's --report does, with its reader.
void CountSpeedDial(const std::string& source, ConversionReport& counts) {
    (void)formats::ReadSpeedDial(ReadWholeFile(source), counts);
}
void CountSearchEngines(const std::string& source, ConversionReport& counts) {
    (void)formats::ReadSearchEngines(ReadWholeFile(source), counts);
}
void CountSessions(const std::string& source, ConversionReport& counts) {
    const std::vector<std::string> files = SavedSessionFiles(source);
    counts.Count("saved sessions", static_cast<std::int64_t>(files.size()));
    for (const std::string& file : files)
        (void)formats::ReadSession(ReadWholeFile(file), {}, counts);
}

constexpr std::string_view kWrittenWithBookmarks =
    "A folder of its own after the hotlist's in bookmarks.html, bookmarks.json and Bookmarks.";

const std::vector<ProfileKind> kKinds = {
    {"bookmarks", "Bookmarks", HotlistOf, CountBookmarks, WriteBookmarks,
     "bookmarks.html, the bookmark file today's browsers import whole; bookmarks.json, "
     "Firefox's own backup, which keeps every folder, separator, keyword and date; and "
     "Bookmarks, Chromium's own file, which keeps every folder and date. The bookmarks in "
     "Opera's trash are left out.",
     "Firefox: Bookmarks, Manage bookmarks, Import and Backup, Import Bookmarks from HTML, "
     "then bookmarks.html; or, in a new profile, Restore, Choose File, then bookmarks.json, "
     "which replaces all the bookmarks Firefox has.\n"
     "Chrome, Edge, Brave, Vivaldi and other Chromium-based browsers: Settings, Import "
     "bookmarks and settings, Bookmarks HTML file, then bookmarks.html; or copy Bookmarks "
     "into the folder of a new profile while the browser is closed."},
    {"contacts", "Contacts", ContactsOf, CountContacts, WriteContacts,
     "contacts.vcf (vCard 3.0, the contacts in Opera's trash left out) and contacts.csv "
     "(Outlook's layout, UTF-8).",
     "Google Contacts: Import, then contacts.vcf.\n"
     "Thunderbird: Address Book, Import, vCard file, then contacts.vcf.\n"
     "Evolution: File, Import, Import a single file, then contacts.vcf.\n"
     "Outlook: File, Open & Export, Import/Export, Import from another program or file, "
     "Comma Separated Values, then contacts.csv."},
    {"notes", "Notes", NotesOf, CountNotes, WriteNotes,
     "notes/, one Markdown file per note in Opera's folders, and notes.enex, the same notes "
     "as an Evernote export; the notes in Opera's trash are left out.",
     "Obsidian: open the notes folder as a vault, or copy it into yours.\n"
     "Joplin: File, Import, MD - Markdown (Directory), then the notes folder; or ENEX, then "
     "notes.enex.\n"
     "Evernote: File, Import, then notes.enex."},
    {"mail", "Mail", MailOf, CountMail, WriteMail,
     "mail/, one mbox file per account with every message's bytes as Opera stored them, and "
     "mail/accounts.html, the sheet of the accounts' settings (never a password).",
     "Thunderbird: copy the .mbox files into a Local Folders folder (Local Directory in the "
     "account settings) with the .mbox ending removed, or use the ImportExportTools NG "
     "add-on, Import mbox file.\n"
     "Evolution: File, Import, Import a single file, then each .mbox file.\n"
     "Outlook: import the mbox files into Thunderbird first and move them from there, as "
     "Outlook reads no mbox file.\n"
     "Set up the accounts again from mail/accounts.html; the passwords are not in it."},
    {"speed-dial",
     "Speed Dial",
     SpeedDialOf,
     CountSpeedDial,
     nullptr,
     kWrittenWithBookmarks,
     {},
     "bookmarks"},
    {"sessions",
     "Sessions",
     SessionsOf,
     CountSessions,
     nullptr,
     kWrittenWithBookmarks,
     {},
     "bookmarks"},
    {"search-engines",
     "Search engines",
     SearchEnginesOf,
     CountSearchEngines,
     nullptr,
     kWrittenWithBookmarks,
     {},
     "bookmarks"},
};

}  // namespace

const std::vector<ProfileKind>& ProfileKinds() {
    return kKinds;
}

const ProfileKind* ProfileKindOf(std::string_view id) {
    for (const ProfileKind& kind : kKinds)
        if (kind.id == id) return &kind;
    return nullptr;
}

}  // namespace quarvo
