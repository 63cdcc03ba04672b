// quarvo-convert: the two conversions of the desktop program, for scripts
// and machines without a display.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "contacts.h"
#include "errors.h"
#include "file_layer.h"
#include "hotlist.h"
#include "text_search.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFileError = 1;
constexpr int kExitUsage = 2;
constexpr int kExitUnsupportedVersion = 3;

constexpr std::string_view kUsage =
    "usage: quarvo-convert [--contacts CONTACTS.adr OUT.csv] [--bookmarks HOTLIST.adr OUT.htm]";

struct Job {
    std::string input;
    std::string output;
};

struct Arguments {
    std::optional<Job> contacts;
    std::optional<Job> bookmarks;
    bool help = false;
    bool version = false;
};

std::optional<Arguments> Parse(int argc, char** argv) {
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--help" || word == "-h") {
            args.help = true;
        } else if (word == "--version") {
            args.version = true;
        } else if ((word == "--contacts" || word == "--bookmarks") && i + 2 < argc) {
            std::optional<Job>& job = word == "--contacts" ? args.contacts : args.bookmarks;
            if (job) return std::nullopt;
            job = Job{argv[i + 1], argv[i + 2]};
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    if (!args.help && !args.version && !args.contacts && !args.bookmarks) return std::nullopt;
    return args;
}

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
    ~TerminalProgress() {
        if (drawn_) std::fputc('\n', stderr);
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

int Run(const Arguments& args) {
    if (args.help) {
        std::cout << kUsage << "\n\n"
                  << "Converts an Opera contacts file into an address-book CSV file and an\n"
                     "Opera hotlist into a Netscape bookmark file. A missing input file is\n"
                     "converted as an empty one.\n\n"
                     "Exit status: 0 done, 1 file error, 2 bad arguments,\n"
                     "3 unsupported hotlist version (the bookmark file is left untouched).\n";
        return kExitDone;
    }
    if (args.version) {
        std::cout << "quarvo-convert " << QUARVO_VERSION << "\n";
        return kExitDone;
    }
    if (args.contacts) {
        TerminalProgress bar(args.contacts->input, "#CONTACT", "Contacts ");
        const auto count =
            quarvo::ConvertOperaContacts(args.contacts->input, args.contacts->output, bar.Sink());
        std::cout << count << " Contacts converted to CSV !" << std::endl;
    }
    if (args.bookmarks) {
        TerminalProgress bar(args.bookmarks->input, "#URL", "Bookmarks");
        const auto count = quarvo::ConvertOperaBookmarks(
            args.bookmarks->input, args.bookmarks->output, bar.Sink(),
            [](std::string_view message) { std::cerr << "quarvo-convert: " << message << "\n"; });
        std::cout << count << " Bookmarks converted to HTM !" << std::endl;
        if (count == quarvo::kUnsupportedHotlistVersion) return kExitUnsupportedVersion;
    }
    return kExitDone;
}

}  // namespace

int main(int argc, char** argv) {
    quarvo::RemoveTemporariesOnSignals();
    const std::optional<Arguments> args = Parse(argc, argv);
    if (!args) {
        std::cerr << kUsage << "\n";
        return kExitUsage;
    }
    try {
        return Run(*args);
    } catch (const quarvo::Exception& error) {
        std::cerr << "quarvo-convert: " << error.what() << "\n";
        return kExitFileError;
    } catch (const std::bad_alloc&) {
        std::cerr << "quarvo-convert: out of memory\n";
        return kExitFileError;
    }
}
