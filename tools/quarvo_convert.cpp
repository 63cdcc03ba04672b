// SPDX-License-Identifier: MIT
// quarvo-convert: the conversions of the desktop program, for scripts and
// machines without a display.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cerrno>

#include "quarvo/base/errors.h"
#include "quarvo/conversions/browser_bookmarks.h"
#include "quarvo/conversions/contacts_export.h"
#include "quarvo/conversions/conversion_run.h"
#include "quarvo/conversions/hotlist.h"
#include "quarvo/conversions/mail_export.h"
#include "quarvo/conversions/notes_export.h"
#include "quarvo/conversions/profile_export.h"
#include "quarvo/conversions/profile_kinds.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/profile/opera_profile.h"
#include "quarvo/profile/profile_discovery.h"
#include "quarvo/report/conversion_report.h"
#include "quarvo/text/shown_text.h"
#include "quarvo/text/text_search.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFileError = 1;
constexpr int kExitUsage = 2;
constexpr int kExitUnsupportedVersion = 3;

constexpr std::string_view kUsage =
    "usage: quarvo-convert [--contacts CONTACTS.adr OUT.csv|OUT.vcf] [--bookmarks HOTLIST.adr "
    "OUT.htm|OUT.json]\n"
    "                      [--notes NOTES.adr FOLDER|OUT.enex|OUT.html]\n"
    "                      [--mail MAILFOLDER OUTFOLDER [--maildir] [--lf]]\n"
    "                      [--layout wab|outlook|thunderbird|google] [--vcard 3.0|2.1]\n"
    "                      [--encoding utf8|utf8-bom|ansi]\n"
    "                      [--flavour explorer|browser|firefox|chromium]\n"
    "                      [--speed-dial FILE] [--sessions FILE|FOLDER] [--session-history]\n"
    "                      [--search-engines FILE] [--enex-per-folder] [--keep-trash] [--force]\n"
    "                      [--report]\n"
    "       quarvo-convert --profile [DIR] [--export OUTFOLDER [--without KINDS] [--force]\n"
    "                      [--report]]\n"
    "       quarvo-convert --find | --help | --version";

constexpr std::string_view kHelp =
    "Converts an Opera contacts file into an address-book CSV file, an Opera\n"
    "hotlist into a Netscape bookmark file, Opera's notes into Markdown, ENEX\n"
    "or HTML and Opera's mail into mbox or Maildir, in that order, and prints\n"
    "the count of each conversion on a line of its own.\n\n"
    "Nothing is converted when an output is the same file as an input or as\n"
    "another output, or an output folder holds one. A conversion whose input\n"
    "file does not exist writes nothing; the others still run. A file name\n"
    "that starts with \"--\" is taken for an option: write it as ./--name.\n\n"
    "Exit status: 0 done, 1 file error (also a missing input file or an\n"
    "unwritable standard output), 2 bad arguments or an output that is an\n"
    "input or the other output, 3 unsupported hotlist version (the bookmark\n"
    "file is left untouched, and its count is not printed).\n\n"
    "An output name ending in .vcf gets vCards (3.0 unless --vcard 2.1), which\n"
    "leave out the contacts in Opera's trash unless --keep-trash is given; any\n"
    "other name gets CSV for the Windows Address Book unless --layout names\n"
    "another address book. --encoding ansi writes Windows-1252 (for vCards,\n"
    "2.1 only: a vCard 3.0 file is always UTF-8); each character it cannot\n"
    "hold is written as '?' and named on stderr. A vCard file never gets a\n"
    "byte-order mark.\n\n"
    "--flavour browser writes the bookmark file that Firefox, Chromium and the\n"
    "browsers built on them import whole: UTF-8, separators, descriptions,\n"
    "keywords, numeric dates, the personal bar as the toolbar folder, and\n"
    "Opera's trash left out (--keep-trash keeps it as a folder). The default,\n"
    "--flavour explorer, is the file Internet Explorer imports.\n"
    "--flavour firefox (the default for an output name ending in .json) writes\n"
    "Firefox's JSON backup: the same tree with separators, keywords, dates and\n"
    "the toolbar, every folder kept. Restoring it in Firefox (Bookmarks >\n"
    "Manage Bookmarks > Import and Backup > Restore > Choose File) REPLACES ALL\n"
    "THE BOOKMARKS FIREFOX HAS. --flavour chromium writes Chromium's own\n"
    "Bookmarks file (the bar, every folder, dates; no separators, keywords or\n"
    "descriptions, which it cannot hold): put it, named Bookmarks, into the\n"
    "folder of a new profile while the browser is closed.\n"
    "With --flavour browser, firefox or chromium, --speed-dial (speeddial.ini),\n"
    "--sessions (a saved session's .win file, or a folder of them) and\n"
    "--search-engines (search.ini) add the folders \"Speed Dial\", \"Sessions\"\n"
    "and \"Search engines\" after the hotlist's own: the dials under the titles\n"
    "given them, each session's windows with their tabs' current pages, and\n"
    "each search engine as a bookmark whose keyword searches with it. Extension\n"
    "dials, Opera's own pages, deleted engines and engines sending POST are\n"
    "left out and counted by --report. With --session-history, a tab that has\n"
    "been on other pages is a folder of them all, its back and forward history\n"
    "in order, the current page among them.\n"
    "--notes writes each note as a Markdown file (with its title, dates and\n"
    "source page in a YAML front matter) into FOLDER, in folders as Opera had\n"
    "them; an OUT ending in .enex gets one Evernote export (the folders as\n"
    "tags), or with --enex-per-folder FOLDER gets one .enex per folder; an OUT\n"
    "ending in .html or .htm gets one page to read and print. Opera's trash\n"
    "is left out unless --keep-trash is given.\n"
    "--mail exports Opera's mail folder (the folder holding accounts.ini and\n"
    "store) into a new folder: one mbox file per account (--maildir: one\n"
    "Maildir folder per account), every message's bytes as Opera stored them,\n"
    "and accounts.html, the accounts' servers, user names, addresses and\n"
    "signatures and Opera's labels, filters and folders (never a password).\n"
    "--lf makes CR LF line ends LF, as mail\n"
    "programs on Linux and macOS expect. A message file that cannot be read is\n"
    "named on stderr and left out (exit status 1).\n"
    "An output folder appears whole or not at all; one that holds files is\n"
    "refused unless --force, which replaces it as a whole.\n"
    "--report prints after each conversion what it wrote and anything\n"
    "suspicious. --find prints the Opera files found where Opera keeps them\n"
    "(the Speed Dial, sessions and search engines of the hotlist's profile too),\n"
    "and the mail folder with each mailbox's message count.\n\n"
    "--profile lists every Opera profile found where Opera keeps them (or the\n"
    "profiles in DIR): each kind of data with its count, and the saved\n"
    "passwords and cookies, which Quarvo never reads or copies. With --export\n"
    "it exports the one profile found (name it as DIR when there are several)\n"
    "into the new folder OUTFOLDER: bookmarks.html, bookmarks.json and\n"
    "Bookmarks (with the Speed Dial, sessions and search engines), contacts.vcf\n"
    "and contacts.csv, notes/ and notes.enex, mail/, and report.html, which\n"
    "says what was written, what was left out and why, and how to import each\n"
    "file. --without leaves out the kinds named, separated by commas:\n"
    "bookmarks, contacts, notes, mail, speed-dial, sessions, search-engines.\n"
    "A kind whose file cannot be read is\n"
    "named on stderr and the rest written (exit status 1, or 3 for a version\n"
    "Quarvo does not read).\n\n"
    "An output named - is the standard output, as is any other name of what\n"
    "it is (/dev/stdout, the file it goes to): the file's bytes go there, and\n"
    "the counts and reports to stderr.";

// The choices for the contacts output, each given at most once.
struct ContactsChoices {
    quarvo::ContactsExportOptions options;
    bool layout = false;
    bool encoding = false;
    bool vcard = false;
};

// The choices that shape the bookmark file and what is told about it.
struct BookmarkChoices {
    quarvo::BookmarkOptions options;
    bool flavour_given = false;
};

// The file option `word` of the links read beside the hotlist, or null.
std::string* LinkSourceOf(quarvo::LinkSources& links, std::string_view word) {
    if (word == "--speed-dial") return &links.speed_dial;
    if (word == "--sessions") return &links.sessions;
    if (word == "--search-engines") return &links.search_engines;
    return nullptr;
}

// The mail export and its choices, each given at most once.
struct MailChoices {
    std::optional<std::pair<std::string, std::string>> job;  // mail folder, output folder
    quarvo::MailExportOptions options;
    bool maildir = false;
    bool lf = false;
};

// The whole-profile listing or export, each part given at most once.
struct ProfileChoices {
    bool given = false;                 // --profile
    std::optional<std::string> folder;  // its DIR
    std::optional<std::string> output;  // --export
    std::optional<std::vector<std::string>> without;
};

// The choices for the notes output.
struct NotesChoices {
    bool per_folder = false;  // --enex-per-folder
};

struct Arguments {
    quarvo::ConversionRun run;
    MailChoices mail;
    ContactsChoices contacts;
    BookmarkChoices bookmarks;
    NotesChoices notes;
    ProfileChoices profile;
    bool keep_trash = false;  // for the vCards, the browser flavour and the notes alike
    bool force = false;       // for the notes' and the mail's output folders alike
    bool report = false;
    bool find = false;
    bool help = false;
    bool version = false;
};

// The arguments, or why they make no command: a message for stderr (empty
// when the usage line says enough).
struct Parsed {
    std::optional<Arguments> args;
    std::string problem;
};

Parsed Refuse(std::string problem) {
    return {std::nullopt, std::move(problem)};
}

template <class Value>
struct Word {
    std::string_view word;
    Value value;
};

// Reads the contacts option `word` whose value is `value` (null when none
// follows) into `choices`; returns the problem, or empty when it is taken.
std::string TakeContactsOption(std::string_view word, const char* value, ContactsChoices& choices) {
    using namespace quarvo;
    const auto pick = [&](bool& given, auto& target, const auto& words) -> std::string {
        if (given) return std::string(word) + " is given twice";
        given = true;
        std::string allowed;
        for (const auto& w : words) {
            if (value && w.word == value) {
                target = w.value;
                return {};
            }
            allowed += (allowed.empty() ? "" : "|") + std::string(w.word);
        }
        return std::string(word) + " takes " + allowed;
    };
    static constexpr Word<ContactsCsvLayout> kLayouts[] = {
        {"wab", ContactsCsvLayout::kWab},
        {"outlook", ContactsCsvLayout::kOutlook},
        {"thunderbird", ContactsCsvLayout::kThunderbird},
        {"google", ContactsCsvLayout::kGoogle}};
    static constexpr Word<OutputEncoding> kEncodings[] = {{"utf8", OutputEncoding::kUtf8},
                                                          {"utf8-bom", OutputEncoding::kUtf8Bom},
                                                          {"ansi", OutputEncoding::kWindows1252}};
    static constexpr Word<ContactsVcardVersion> kVersions[] = {{"3.0", ContactsVcardVersion::k30},
                                                               {"2.1", ContactsVcardVersion::k21}};
    if (word == "--layout") return pick(choices.layout, choices.options.layout, kLayouts);
    if (word == "--encoding") return pick(choices.encoding, choices.options.encoding, kEncodings);
    return pick(choices.vcard, choices.options.vcard, kVersions);
}

// The contacts options must fit the contacts output they shape.
std::string CheckContactsChoices(const Arguments& args) {
    const ContactsChoices& c = args.contacts;
    if (!c.layout && !c.encoding && !c.vcard) return {};
    if (!args.run.contacts) return "--layout, --encoding and --vcard go with --contacts";
    const bool vcard = quarvo::IsVcardFileName(args.run.contacts->output);
    if (vcard && c.layout) return "--layout is for a CSV output; the .vcf output gets vCards";
    if (!vcard && c.vcard) return "--vcard is for a .vcf output";
    if (!quarvo::ContactsExportProblem(vcard, c.options).empty())
        return "--encoding ansi goes with --vcard 2.1: a vCard 3.0 file is always UTF-8";
    return {};
}

// Takes the bookmark choice at argv[i], if it is one, moving i past its
// value. Returns false for a word that is no such choice; `problem` is set
// when the choice is malformed.
bool ParseBookmarkChoice(int argc, char** argv, int& i, BookmarkChoices& choices,
                         std::string& problem) {
    const std::string_view word = argv[i];
    if (word == "--flavour") {
        const std::string_view value = i + 1 < argc ? argv[i + 1] : "";
        ++i;
        if (choices.flavour_given) {
            problem = "--flavour is given twice";
        } else if (value == "browser") {
            choices.options.flavour = quarvo::BookmarkFlavour::kBrowser;
        } else if (value == "explorer") {
            choices.options.flavour = quarvo::BookmarkFlavour::kInternetExplorer;
        } else if (value == "firefox") {
            choices.options.flavour = quarvo::BookmarkFlavour::kFirefoxBackup;
        } else if (value == "chromium") {
            choices.options.flavour = quarvo::BookmarkFlavour::kChromium;
        } else {
            problem = "--flavour takes explorer, browser, firefox or chromium";
        }
        choices.flavour_given = true;
    } else if (std::string* file = LinkSourceOf(choices.options.links, word)) {
        const bool has_value = i + 1 < argc && !std::string_view(argv[i + 1]).starts_with("--");
        if (!file->empty())
            problem = std::string(word) + " is given twice";
        else if (!has_value || argv[i + 1][0] == '\0')
            problem = std::string(word) +
                      (word == "--sessions" ? " takes a file or a folder" : " takes a file");
        else
            *file = argv[++i];
    } else if (word == "--session-history") {
        if (choices.options.links.session_history) problem = "--session-history is given twice";
        choices.options.links.session_history = true;
    } else {
        return false;
    }
    return true;
}

bool IsJsonName(std::string_view name) {
    constexpr std::string_view kJson = ".json";
    if (name.size() < kJson.size()) return false;
    const std::string_view tail = name.substr(name.size() - kJson.size());
    return std::equal(tail.begin(), tail.end(), kJson.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

// Whether an output of the run leaves Opera's trash out unless told to keep it.
bool LeavesTrashOut(const Arguments& args) {
    return (args.run.contacts && quarvo::IsVcardFileName(args.run.contacts->output)) ||
           (args.run.bookmarks &&
            args.bookmarks.options.flavour != quarvo::BookmarkFlavour::kInternetExplorer) ||
           args.run.notes;
}

// A bookmark output named .json is Firefox's backup unless --flavour says
// chromium; the HTML flavours under that name would only mislead.
std::string ChooseJsonFlavour(Arguments& args) {
    if (!args.run.bookmarks || !IsJsonName(args.run.bookmarks->output)) return {};
    quarvo::BookmarkFlavour& flavour = args.bookmarks.options.flavour;
    if (!args.bookmarks.flavour_given) {
        flavour = quarvo::BookmarkFlavour::kFirefoxBackup;
        return {};
    }
    if (flavour == quarvo::BookmarkFlavour::kInternetExplorer ||
        flavour == quarvo::BookmarkFlavour::kBrowser)
        return "a bookmark output named .json is a JSON file: --flavour explorer and browser "
               "write HTML (name it .htm or .html, or use --flavour firefox or chromium)";
    return {};
}

quarvo::NotesExportOptions NotesOptions(const Arguments& args) {
    quarvo::NotesExportOptions options;
    if (args.run.notes) options.format = quarvo::NotesFormatForName(args.run.notes->output);
    if (args.notes.per_folder) options.format = quarvo::NotesFormat::kEnexPerFolder;
    options.keep_trash = args.keep_trash;
    options.replace = args.force;
    return options;
}

// The notes options must fit the notes output they shape, and --force a
// folder output.
std::string CheckFolderChoices(const Arguments& args) {
    if (args.notes.per_folder) {
        if (!args.run.notes) return "--enex-per-folder goes with --notes";
        if (quarvo::NotesFormatForName(args.run.notes->output) != quarvo::NotesFormat::kMarkdown)
            return "--enex-per-folder writes a folder: name it without .enex or .html";
    }
    const bool notes_folder = args.run.notes && quarvo::WritesFolder(NotesOptions(args).format);
    if (args.force && !notes_folder && !args.mail.job && !args.profile.output)
        return "--force goes with a folder output (--notes to a folder, --mail or --export)";
    return {};
}

// The option `word` that only switches something on, or null. Like every
// other option, each is given once.
bool* FlagOf(Arguments& args, std::string_view word) {
    if (word == "--report") return &args.report;
    if (word == "--find") return &args.find;
    if (word == "--help" || word == "-h") return &args.help;
    if (word == "--version") return &args.version;
    return nullptr;
}

// Takes the mail choice at argv[i], if it is one, moving i past its values.
// Returns false for a word that is no such choice; `problem` is set when
// the choice is malformed.
bool ParseMailChoice(int argc, char** argv, int& i, MailChoices& choices, std::string& problem) {
    const std::string_view word = argv[i];
    const auto once = [&](bool& given) {
        if (given) problem = std::string(word) + " is given twice";
        given = true;
    };
    if (word == "--mail") {
        if (choices.job) {
            problem = "--mail is given twice";
        } else if (i + 2 >= argc) {
            problem = "--mail takes a mail folder and an output folder";
        } else if (std::string_view(argv[i + 1]).starts_with("--") ||
                   std::string_view(argv[i + 2]).starts_with("--")) {
            problem = "--mail takes a mail folder and an output folder, not " +
                      std::string(std::string_view(argv[i + 1]).starts_with("--") ? argv[i + 1]
                                                                                  : argv[i + 2]);
        } else {
            choices.job.emplace(argv[i + 1], argv[i + 2]);
            i += 2;
        }
    } else if (word == "--maildir") {
        once(choices.maildir);
        choices.options.format = quarvo::MailboxFormat::kMaildir;
    } else if (word == "--lf") {
        once(choices.lf);
        choices.options.lf_line_ends = true;
    } else {
        return false;
    }
    return true;
}

// The kinds --without names, or the problem.
std::string TakeKinds(std::string_view list, std::vector<std::string>& kinds) {
    std::string known;
    for (const quarvo::ProfileKind& kind : quarvo::ProfileKinds())
        if (kind.Exports()) known += (known.empty() ? "" : ", ") + std::string(kind.id);
    while (true) {
        const std::size_t comma = list.find(',');
        const std::string_view id = list.substr(0, comma);
        const quarvo::ProfileKind* kind = quarvo::ProfileKindOf(id);
        if (kind == nullptr || !kind->Exports())
            return "--without takes kinds separated by commas, of " + known;
        kinds.emplace_back(id);
        if (comma == std::string_view::npos) return {};
        list.remove_prefix(comma + 1);
    }
}

// Takes the profile choice at argv[i], if it is one, moving i past its
// values. Returns false for a word that is no such choice; `problem` is set
// when the choice is malformed.
bool ParseProfileChoice(int argc, char** argv, int& i, ProfileChoices& choices,
                        std::string& problem) {
    const std::string_view word = argv[i];
    const bool has_value = i + 1 < argc && !std::string_view(argv[i + 1]).starts_with("--");
    if (word == "--profile") {
        if (choices.given) problem = "--profile is given twice";
        choices.given = true;
        if (has_value) choices.folder = argv[++i];
    } else if (word == "--export") {
        if (choices.output)
            problem = "--export is given twice";
        else if (!has_value)
            problem = "--export takes an output folder";
        else
            choices.output = argv[++i];
    } else if (word == "--without") {
        if (choices.without)
            problem = "--without is given twice";
        else if (!has_value)
            problem = "--without takes the kinds to leave out";
        else
            problem = TakeKinds(argv[++i], choices.without.emplace());
    } else {
        return false;
    }
    return true;
}

Parsed Parse(int argc, char** argv) {
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        std::string problem;
        if (ParseBookmarkChoice(argc, argv, i, args.bookmarks, problem) ||
            ParseMailChoice(argc, argv, i, args.mail, problem) ||
            ParseProfileChoice(argc, argv, i, args.profile, problem)) {
            if (!problem.empty()) return Refuse(problem);
        } else if (bool* flag = FlagOf(args, word)) {
            if (*flag) return Refuse(std::string(word) + " is given twice");
            *flag = true;
        } else if (word == "--enex-per-folder" || word == "--force") {
            bool& given = word == "--force" ? args.force : args.notes.per_folder;
            if (given) return Refuse(std::string(word) + " is given twice");
            given = true;
        } else if (word == "--contacts" || word == "--bookmarks" || word == "--notes") {
            auto& job = word == "--contacts"    ? args.run.contacts
                        : word == "--bookmarks" ? args.run.bookmarks
                                                : args.run.notes;
            if (job) return Refuse(std::string(word) + " is given twice");
            if (i + 2 >= argc) return Refuse(std::string(word) + " takes two file names");
            // A forgotten name would otherwise make the next option a file
            // name, and the file it names be replaced.
            for (const std::string_view name : {argv[i + 1], argv[i + 2]})
                if (name.starts_with("--"))
                    return Refuse(std::string(word) + " takes two file names, not " +
                                  std::string(name));
            job = quarvo::ConversionJob{argv[i + 1], argv[i + 2]};
            i += 2;
        } else if (word == "--layout" || word == "--encoding" || word == "--vcard") {
            const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
            if (std::string problem = TakeContactsOption(word, value, args.contacts);
                !problem.empty())
                return Refuse(problem);
            ++i;
        } else if (word == "--keep-trash") {
            if (args.keep_trash) return Refuse("--keep-trash is given twice");
            args.keep_trash = args.contacts.options.keep_trash = args.bookmarks.options.keep_trash =
                true;
        } else {
            return Refuse("unknown argument " + std::string(word));
        }
    }
    if (std::string problem = CheckContactsChoices(args); !problem.empty()) return Refuse(problem);
    if (std::string problem = CheckFolderChoices(args); !problem.empty()) return Refuse(problem);
    const bool converts =
        args.run.contacts || args.run.bookmarks || args.run.notes || args.mail.job;
    if ((args.profile.output || args.profile.without) && !args.profile.given)
        return Refuse("--export and --without go with --profile");
    if (args.profile.without && !args.profile.output) return Refuse("--without goes with --export");
    if (args.profile.given && (converts || args.find || args.help || args.version))
        return Refuse("--profile goes with --export, --without, --force and --report only");
    if (args.profile.given && args.report && !args.profile.output)
        return Refuse("--report goes with a conversion");
    if (args.profile.given) return {args, {}};
    if ((args.help || args.version) && converts)
        return Refuse("--help and --version do not go with a conversion");
    if (args.find && (converts || args.help || args.version)) return Refuse("--find goes alone");
    if (args.bookmarks.flavour_given && !args.run.bookmarks)
        return Refuse("--flavour goes with --bookmarks");
    if (std::string problem = ChooseJsonFlavour(args); !problem.empty()) return Refuse(problem);
    if (args.bookmarks.options.links.session_history &&
        args.bookmarks.options.links.sessions.empty())
        return Refuse("--session-history goes with --sessions");
    if (!args.bookmarks.options.links.empty() &&
        (!args.run.bookmarks ||
         args.bookmarks.options.flavour == quarvo::BookmarkFlavour::kInternetExplorer))
        return Refuse(
            "--speed-dial, --sessions and --search-engines go with --bookmarks and --flavour "
            "browser, firefox or chromium: the Internet Explorer flavour holds the hotlist alone");
    if ((args.mail.maildir || args.mail.lf) && !args.mail.job)
        return Refuse("--maildir and --lf go with --mail");
    if (args.keep_trash && !LeavesTrashOut(args))
        return Refuse(
            "--keep-trash goes with a .vcf contacts output, --flavour browser, firefox or "
            "chromium, or --notes: "
            "the other outputs keep the trash");
    if (args.report && !converts) return Refuse("--report goes with a conversion");
    if (!args.help && !args.version && !args.find && !converts) return Refuse({});
    return {args, {}};
}

// Where the counts and reports are printed: the standard output, or the
// standard error when a conversion writes its file to the standard output.
// A failed write to the standard output is a failure of the command, as a
// script that reads the counts would miss them.
class Report {
  public:
    explicit Report(bool to_standard_error = false)
        : out_(to_standard_error ? std::cerr : std::cout), checked_(!to_standard_error) {}

    void Line(const std::string& text) {
        errno = 0;
        out_ << text << '\n' << std::flush;
        if (checked_ && !out_ && reason_.empty()) reason_ = std::strerror(errno ? errno : EIO);
    }
    // Empty while every write went through.
    [[nodiscard]] const std::string& Failure() const { return reason_; }

  private:
    std::ostream& out_;
    bool checked_;
    std::string reason_;
};

// A progress bar on stderr, drawn only for a person watching a terminal.
// Its length is the marker count, as the program's window takes it.
class TerminalProgress {
  public:
    TerminalProgress(const std::string& input, std::string_view marker, std::string_view label)
        : label_(label) {
        if (!isatty(fileno(stderr)) || !quarvo::PathExists(input)) return;
        try {
            total_ = quarvo::CountOccurrences(quarvo::ReadWholeFile(input), marker);
        } catch (const quarvo::Exception&) {
            total_ = 0;  // the conversion reports the error itself
        }
    }
    ~TerminalProgress() { Finish(); }
    // Ends the bar's line, so that what follows on stderr starts a line.
    void Finish() {
        if (drawn_) std::fputc('\n', stderr);
        drawn_ = false;
    }
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    quarvo::ProgressSink Sink() {
        if (total_ <= 0) return {};
        return [this] { Step(); };
    }

  private:
    void Step() {
        ++done_;
        const long long percent = done_ >= total_ ? 100 : done_ * 100 / total_;
        if (percent == shown_) return;
        shown_ = percent;
        drawn_ = true;
        const int width = 40;
        const int filled = static_cast<int>(percent * width / 100);
        std::fprintf(stderr, "\r%.*s [%.*s%*s] %3lld%%", static_cast<int>(label_.size()),
                     label_.data(), filled, "########################################",
                     width - filled, "", percent);
        std::fflush(stderr);
    }

    std::string_view label_;
    long long total_ = 0;
    long long done_ = 0;
    long long shown_ = -1;
    bool drawn_ = false;
};

// Names in messages come from the command line, file systems and files:
// each is shown escaped.
void Complain(std::string_view message) {
    std::cerr << "quarvo-convert: " << quarvo::Shown(message) << "\n";
}

// What --find prints: each Opera file and where it was found.
void PrintFound(Report& report) {
    const quarvo::OperaPlaces places = quarvo::OperaPlacesFromEnvironment();
    // Each lookup reads the ini files anew: what they give to note is said once.
    std::set<std::string, std::less<>> noted;
    const auto note = [&noted](std::string_view text) {
        if (noted.emplace(text).second) Complain(text);
    };
    const auto found = [&](quarvo::OperaFile file) {
        const auto path = quarvo::FindOperaFile(places, file, note);
        return path ? quarvo::Shown(*path) : std::string("not found");
    };
    report.Line("Contacts: " + found(quarvo::OperaFile::Contacts));
    const auto hotlist = quarvo::FindOperaFile(places, quarvo::OperaFile::Hotlist, note);
    report.Line("Hotlist: " + (hotlist ? quarvo::Shown(*hotlist) : std::string("not found")));
    report.Line("Notes: " + found(quarvo::OperaFile::Notes));
    // The other lists of links, in the profile that holds the hotlist.
    const quarvo::LinkSources links =
        hotlist ? quarvo::LinkSourcesBeside(*hotlist) : quarvo::LinkSources{};
    for (const auto& [title, file] :
         {std::pair{"Speed Dial: ", &links.speed_dial}, std::pair{"Sessions: ", &links.sessions},
          std::pair{"Search engines: ", &links.search_engines}})
        report.Line(title + (file->empty() ? std::string("not found") : quarvo::Shown(*file)));
    const auto mail = quarvo::FindOperaMailFolder(places);
    if (!mail) {
        report.Line("Mail: not found");
        return;
    }
    report.Line("Mail: " + *mail);
    try {
        const quarvo::MailSurvey survey = quarvo::SurveyOperaMail(*mail);
        for (const auto& box : survey.mailboxes)
            report.Line("  " + box.name + ": " + std::to_string(box.messages) +
                        (box.messages == 1 ? " message" : " messages"));
        for (const std::string& name : survey.accounts_without_mail)
            report.Line("  " + name + ": no messages");
        if (survey.unreadable > 0)
            report.Line("  files that could not be read: " + std::to_string(survey.unreadable));
    } catch (const quarvo::Exception& error) {
        Complain(error.what());
    }
}

// The mail export's progress on stderr, for a person watching a terminal:
// the share of the messages' bytes written.
class MailTerminalProgress {
  public:
    MailTerminalProgress() : shown_(isatty(fileno(stderr)) ? -1 : 101) {}
    ~MailTerminalProgress() {
        if (shown_ >= 0 && shown_ <= 100) std::fputc('\n', stderr);
    }
    MailTerminalProgress(const MailTerminalProgress&) = delete;
    MailTerminalProgress& operator=(const MailTerminalProgress&) = delete;

    quarvo::MailProgressSink Sink() {
        if (shown_ > 100) return {};
        return [this](const quarvo::MailProgress& step) { Show(step); };
    }

  private:
    void Show(const quarvo::MailProgress& step) {
        if (step.total == 0) return;
        const bool reading = step.phase == quarvo::MailProgress::Phase::kReading;
        // Reading fills the first tenth of the bar: it reads the heads only.
        const long long share = static_cast<long long>(step.done * 100 / step.total);
        const long long percent = reading ? share / 10 : 10 + share * 90 / 100;
        if (percent == shown_) return;
        shown_ = percent;
        const int width = 40;
        const int filled = static_cast<int>(percent * width / 100);
        std::fprintf(stderr, "\rMail      [%.*s%*s] %3lld%%", filled,
                     "########################################", width - filled, "", percent);
        std::fflush(stderr);
    }

    long long shown_;
};

std::string NotesFormatName(quarvo::NotesFormat format) {
    switch (format) {
        case quarvo::NotesFormat::kEnex:
        case quarvo::NotesFormat::kEnexPerFolder:
            return "ENEX";
        case quarvo::NotesFormat::kHtml:
            return "HTML";
        case quarvo::NotesFormat::kMarkdown:
            break;
    }
    return "Markdown";
}

void PrintReport(Report& report, const quarvo::ConversionReport& details,
                 const std::string& title) {
    std::string text = details.Text(title);
    text.pop_back();  // Line() ends it
    report.Line(text);
}

// The profiles --profile looks at: those in its DIR, or those found where
// Opera keeps them.
std::vector<quarvo::OperaProfile> ProfilesOf(const ProfileChoices& choices) {
    const quarvo::OperaPlaces places = quarvo::OperaPlacesFromEnvironment();
    const auto note = [](std::string_view text) { Complain(text); };
    if (!choices.folder) return quarvo::FindOperaProfiles(places, note);
    std::vector<quarvo::OperaProfile> found =
        quarvo::OperaProfilesIn(*choices.folder, places, note);
    std::erase_if(found, [](const quarvo::OperaProfile& p) { return !p.HoldsAnything(); });
    return found;
}

std::string Listed(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

// --profile --export: the one profile into its folder, each kind's outcome
// on a line, what could not be converted on stderr.
int ExportProfile(const Arguments& args, const quarvo::OperaProfile& profile, Report& report) {
    quarvo::ProfileExportOptions options;
    options.without = args.profile.without.value_or(std::vector<std::string>{});
    options.replace = args.force;
    const std::string& output = *args.profile.output;
    try {
        quarvo::CheckProfileExport(profile, output);
    } catch (const quarvo::ESameFileError& error) {
        Complain(error.what());
        return kExitUsage;
    }
    const quarvo::ProfileExport done = quarvo::ExportProfile(profile, output, options);
    int status = kExitDone;
    for (const quarvo::ProfileKindExport& kind : done.kinds) {
        const quarvo::ProfileKind* known = quarvo::ProfileKindOf(kind.kind);
        const std::string title(known ? known->title : kind.kind);
        if (!kind.problem.empty()) {
            Complain(title + " not converted: " + kind.problem);
            const bool version = kind.problem.find("version is not 2.0") != std::string::npos;
            if (status == kExitDone) status = version ? kExitUnsupportedVersion : kExitFileError;
        } else if (kind.files.empty()) {
            report.Line(title + ": " + quarvo::Shown(kind.source) +
                        ", not converted by this version");
        } else {
            report.Line(title + " exported to " + quarvo::Shown(Listed(kind.files)));
            if (args.report) PrintReport(report, kind.report, title + " report:");
            for (const auto& warning : kind.report.warnings()) {
                if (warning.what != quarvo::kUnreadableLeftOutWarning) continue;
                Complain(title + ": " + std::to_string(warning.times) +
                         " files could not be read and were left out; " +
                         quarvo::kProfileReportName + " names them");
                if (status == kExitDone) status = kExitFileError;
            }
        }
    }
    for (const std::string& kind : done.left_out) report.Line("Left out: " + kind);
    report.Line("Profile exported to " + quarvo::Shown(output) + ", see " +
                quarvo::kProfileReportName);
    return status;
}

int RunProfile(const Arguments& args, Report& report) {
    if (args.profile.folder && !quarvo::PathExists(*args.profile.folder)) {
        Complain(quarvo::EFOpenError(*args.profile.folder, std::strerror(ENOENT)).what());
        return kExitFileError;
    }
    const std::vector<quarvo::OperaProfile> profiles = ProfilesOf(args.profile);
    if (!args.profile.output) {
        if (profiles.empty()) report.Line("No Opera profile found");
        for (const quarvo::OperaProfile& profile : profiles)
            for (const std::string& line : quarvo::SurveyLines(quarvo::SurveyProfile(profile)))
                report.Line(quarvo::Shown(line));
        return kExitDone;
    }
    if (profiles.empty()) {
        Complain("No Opera profile found: nothing exported");
        return kExitFileError;
    }
    if (profiles.size() > 1) {
        std::vector<std::string> folders;
        for (const quarvo::OperaProfile& profile : profiles) folders.push_back(profile.folder);
        Complain("Several Opera profiles found, name one with --profile DIR: " + Listed(folders));
        return kExitUsage;
    }
    return ExportProfile(args, profiles.front(), report);
}

// What the count line says the bookmarks became; "HTM" as it always was.
std::string BookmarkFileName(quarvo::BookmarkFlavour flavour) {
    switch (flavour) {
        case quarvo::BookmarkFlavour::kFirefoxBackup:
            return "Firefox JSON";
        case quarvo::BookmarkFlavour::kChromium:
            return "Chromium Bookmarks";
        default:
            return "HTM";
    }
}

int Run(const Arguments& args, Report& report) {
    if (args.profile.given) return RunProfile(args, report);
    if (args.find) {
        PrintFound(report);
        return kExitDone;
    }
    if (args.help) {
        report.Line(std::string(kUsage) + "\n\n" + std::string(kHelp));
        return kExitDone;
    }
    if (args.version) {
        report.Line(std::string("quarvo-convert ") + QUARVO_VERSION);
        return kExitDone;
    }
    quarvo::ConversionRun run = args.run;
    run.link_inputs = quarvo::LinkFiles(args.bookmarks.options.links);
    const quarvo::NotesExportOptions notes_options = NotesOptions(args);
    if (run.notes) run.notes->output_is_folder = quarvo::WritesFolder(notes_options.format);
    quarvo::MailExportOptions mail_options = args.mail.options;
    mail_options.replace = args.force;
    try {
        quarvo::CheckConversionRun(run);
        if (const auto& job = args.mail.job) quarvo::CheckMailExport(job->first, job->second, run);
    } catch (const quarvo::ESameFileError& error) {
        Complain(error.what());
        return kExitUsage;
    }
    int status = kExitDone;
    const auto missing = [&](const quarvo::ConversionJob& job) {
        std::string reason = quarvo::MissingReason(job.input);
        if (reason.empty()) reason = std::strerror(ENOENT);  // gone and back meanwhile
        Complain(quarvo::EFOpenError(job.input, reason).what());
        status = kExitFileError;
    };
    if (const auto& job = args.run.contacts) {
        TerminalProgress bar(job->input, "#CONTACT", "Contacts ");
        const quarvo::ContactsExportOutcome exported =
            quarvo::RunContactsExport(*job, args.contacts.options, bar.Sink());
        bar.Finish();
        const quarvo::ConversionOutcome& done = exported.outcome;
        if (done.input_missing)
            missing(*job);
        else
            report.Line(std::to_string(done.count) + (quarvo::IsVcardFileName(job->output)
                                                          ? " Contacts converted to vCard !"
                                                          : " Contacts converted to CSV !"));
        for (const std::string& line : exported.replaced)
            Complain("not in Windows-1252, written as '?': " + line);
        if (args.report && !done.input_missing) {
            quarvo::ConversionReport details;
            quarvo::ReportContactsExport(exported, details);
            PrintReport(report, details, "Contacts report:");
        }
    }
    if (const auto& job = args.run.bookmarks) {
        TerminalProgress bar(job->input, "#URL", "Bookmarks");
        quarvo::ConversionReport details;
        const quarvo::ConversionOutcome done = quarvo::RunBookmarksConversion(
            *job, args.bookmarks.options, args.report ? &details : nullptr, bar.Sink(), Complain);
        bar.Finish();
        if (done.input_missing) {
            missing(*job);
        } else if (done.count == quarvo::kUnsupportedHotlistVersion) {
            if (status == kExitDone) status = kExitUnsupportedVersion;
        } else {
            report.Line(std::to_string(done.count) + " Bookmarks converted to " +
                        BookmarkFileName(args.bookmarks.options.flavour) + " !");
            if (args.report) PrintReport(report, details, "Bookmarks report:");
        }
    }
    if (const auto& job = run.notes) {
        TerminalProgress bar(job->input, "#NOTE", "Notes    ");
        quarvo::ConversionReport details;
        const quarvo::NotesExportOutcome done =
            quarvo::RunNotesExport(*job, notes_options, details, bar.Sink());
        bar.Finish();
        if (done.input_missing) {
            missing(*job);
        } else if (done.unsupported_version) {
            Complain(quarvo::kUnknownVersionMessage);
            if (status == kExitDone) status = kExitUnsupportedVersion;
        } else {
            report.Line(std::to_string(done.notes) + " Notes converted to " +
                        NotesFormatName(notes_options.format) + " !");
            if (args.report) PrintReport(report, details, "Notes report:");
        }
    }
    if (const auto& job = args.mail.job) {
        quarvo::ConversionReport details;
        quarvo::MailExportOutcome done;
        {
            MailTerminalProgress bar;
            done =
                quarvo::ExportOperaMail(job->first, job->second, mail_options, details, bar.Sink());
        }
        const bool maildir = mail_options.format == quarvo::MailboxFormat::kMaildir;
        report.Line(std::to_string(done.messages) + " Messages converted to " +
                    (maildir ? "Maildir !" : "mbox !"));
        for (const std::string& file : done.unreadable) Complain("not read, left out: " + file);
        if (!done.unreadable.empty() && status == kExitDone) status = kExitFileError;
        if (args.report) PrintReport(report, details, "Mail report:");
    }
    return status;
}

// Whether a conversion's file goes to the standard output, where the counts
// would otherwise go in among its bytes.
bool WritesToStandardOutput(const quarvo::ConversionRun& run) {
    for (const auto* job : {&run.contacts, &run.bookmarks})
        if (*job && quarvo::IsStandardOutput((*job)->output)) return true;
    return false;
}

// A standard stream that is closed would lend its number to the next file
// opened, and what is meant for it would go into that file. Each is held
// by a stream that takes no writes, so writing to it fails as it should.
void HoldClosedStandardStreams() {
#ifndef _WIN32
    for (int stream = 0; stream <= 2; ++stream)
        if (fcntl(stream, F_GETFD) == -1 && errno == EBADF) (void)open("/dev/null", O_RDONLY);
#endif
}

}  // namespace

int main(int argc, char** argv) {
    quarvo::RemoveTemporariesOnSignals();
    HoldClosedStandardStreams();
    quarvo::TakeStandardOutputByName();
    const Parsed parsed = Parse(argc, argv);
    if (!parsed.args) {
        if (!parsed.problem.empty()) Complain(parsed.problem);
        std::cerr << kUsage << "\n";
        return kExitUsage;
    }
    Report report(WritesToStandardOutput(parsed.args->run));
    int status = kExitFileError;
    try {
        status = Run(*parsed.args, report);
    } catch (const quarvo::Exception& error) {
        Complain(error.what());
    } catch (const std::bad_alloc&) {
        Complain("out of memory");
    }
    if (!report.Failure().empty()) {
        Complain("Cannot write to standard output: " + report.Failure());
        if (status == kExitDone) status = kExitFileError;
    }
    return status;
}
