// SPDX-License-Identifier: MIT
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
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cerrno>

#include "quarvo/conversion_run.h"
#include "quarvo/errors.h"
#include "quarvo/file_layer.h"
#include "quarvo/hotlist.h"
#include "quarvo/text_search.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFileError = 1;
constexpr int kExitUsage = 2;
constexpr int kExitUnsupportedVersion = 3;

constexpr std::string_view kUsage =
    "usage: quarvo-convert [--contacts CONTACTS.adr OUT.csv] [--bookmarks HOTLIST.adr OUT.htm]\n"
    "       quarvo-convert --help | --version";

constexpr std::string_view kHelp =
    "Converts an Opera contacts file into an address-book CSV file and an\n"
    "Opera hotlist into a Netscape bookmark file, contacts first, and prints\n"
    "the count of each conversion on a line of its own.\n\n"
    "Nothing is converted when an output is the same file as an input or as\n"
    "the other output. A conversion whose input file does not exist writes\n"
    "nothing; the other conversion still runs. A file name that starts with\n"
    "\"--\" is taken for an option: write it as ./--name.\n\n"
    "Exit status: 0 done, 1 file error (also a missing input file or an\n"
    "unwritable standard output), 2 bad arguments or an output that is an\n"
    "input or the other output, 3 unsupported hotlist version (the bookmark\n"
    "file is left untouched, and its count is not printed).";

struct Arguments {
    quarvo::ConversionRun run;
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

Parsed Parse(int argc, char** argv) {
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--help" || word == "-h") {
            args.help = true;
        } else if (word == "--version") {
            args.version = true;
        } else if (word == "--contacts" || word == "--bookmarks") {
            auto& job = word == "--contacts" ? args.run.contacts : args.run.bookmarks;
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
        } else {
            return Refuse("unknown argument " + std::string(word));
        }
    }
    const bool converts = args.run.contacts || args.run.bookmarks;
    if ((args.help || args.version) && converts)
        return Refuse("--help and --version do not go with a conversion");
    if (!args.help && !args.version && !converts) return Refuse({});
    return {args, {}};
}

// Standard output as the counts are printed on it. A failed write is a
// failure of the command, as a script that reads the counts would miss them.
class Report {
  public:
    void Line(const std::string& text) {
        errno = 0;
        std::cout << text << '\n' << std::flush;
        if (!std::cout && reason_.empty()) reason_ = std::strerror(errno ? errno : EIO);
    }
    // Empty while every write went through.
    [[nodiscard]] const std::string& Failure() const { return reason_; }

  private:
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

void Complain(std::string_view message) {
    std::cerr << "quarvo-convert: " << message << "\n";
}

int Run(const Arguments& args, Report& report) {
    if (args.help) {
        report.Line(std::string(kUsage) + "\n\n" + std::string(kHelp));
        return kExitDone;
    }
    if (args.version) {
        report.Line(std::string("quarvo-convert ") + QUARVO_VERSION);
        return kExitDone;
    }
    try {
        quarvo::CheckConversionRun(args.run);
    } catch (const quarvo::ESameFileError& error) {
        Complain(error.what());
        return kExitUsage;
    }
    int status = kExitDone;
    const auto missing = [&](const quarvo::ConversionJob& job) {
        Complain(quarvo::EFOpenError(job.input, std::strerror(ENOENT)).what());
        status = kExitFileError;
    };
    if (const auto& job = args.run.contacts) {
        TerminalProgress bar(job->input, "#CONTACT", "Contacts ");
        const quarvo::ConversionOutcome done = quarvo::RunContactsConversion(*job, bar.Sink());
        if (done.input_missing)
            missing(*job);
        else
            report.Line(std::to_string(done.count) + " Contacts converted to CSV !");
    }
    if (const auto& job = args.run.bookmarks) {
        TerminalProgress bar(job->input, "#URL", "Bookmarks");
        const quarvo::ConversionOutcome done =
            quarvo::RunBookmarksConversion(*job, bar.Sink(), Complain);
        if (done.input_missing) {
            missing(*job);
        } else if (done.count == quarvo::kUnsupportedHotlistVersion) {
            if (status == kExitDone) status = kExitUnsupportedVersion;
        } else {
            report.Line(std::to_string(done.count) + " Bookmarks converted to HTM !");
        }
    }
    return status;
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
    const Parsed parsed = Parse(argc, argv);
    if (!parsed.args) {
        if (!parsed.problem.empty()) Complain(parsed.problem);
        std::cerr << kUsage << "\n";
        return kExitUsage;
    }
    Report report;
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
