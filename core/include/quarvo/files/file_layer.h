// SPDX-License-Identifier: MIT
// Whole-file reading and writing and the existence tests. Files are moved as
// raw bytes: no line-break, code-page or byte-order-mark conversion.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace quarvo {

// The whole content of an existing file. Other programs may read it
// meanwhile but not write it. A file that announces no size (as those of
// /proc do) is read to its end.
// Throws EFOpenError when it cannot be opened (missing, a folder, no access,
// being written by another program) and EReadError when fewer bytes arrive
// than its size announced. Their messages end in the system's reason.
[[nodiscard]] std::string ReadWholeFile(const std::string& file_name);

// A file read whole in as many parts as the caller likes, so that work on
// some of its bytes can start while the rest is read. Other programs may read
// it meanwhile but not write it. The constructor throws EFOpenError as
// ReadWholeFile does.
class FileReading {
  public:
    explicit FileReading(const std::string& file_name);
    FileReading(const FileReading&) = delete;
    FileReading& operator=(const FileReading&) = delete;
    ~FileReading();

    // The size of the file when it was opened (for a file that announces
    // none: the bytes it gave when read to its end).
    [[nodiscard]] std::size_t size() const noexcept;

    // Reads the `bytes` bytes from `offset` on into `into`. Two threads may
    // read different parts at once. Throws EReadError when fewer arrive (the
    // file shrank since it was opened, or the device failed).
    void ReadAt(std::size_t offset, char* into, std::size_t bytes);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// Makes the file hold exactly `text`. The file is replaced as a whole: the
// text goes to a new file beside it, which is flushed and then renamed over
// the old one, so a failure leaves the old file exactly as it was and no
// temporary file behind. A symbolic link has the file it points to replaced,
// where the system lets this program follow it; an existing file keeps its
// owner, permission bits, access list and extended attributes, or is not
// replaced (on a file system without permissions, one that cannot take its
// permission bits is replaced when it grants no more than the old one did).
// A device, a pipe or an open file handed over by name (/dev/fd/3) is
// written where it is, not replaced; so is the standard output, once a
// program has let names stand for it (TakeStandardOutputByName).
// Throws EFCreateError when the file cannot be created or replaced (missing
// folder, no access, in use, a folder's name) and EWriteError when the bytes
// cannot all be stored (disk full). Their messages end in the system's
// reason.
void WriteWholeFile(const std::string& file_name, std::string_view text);

// A file's new content written piece by piece, for a text too large to be
// held whole: it goes to a new file beside the target, which Commit() flushes
// and renames over the old one, exactly as WriteWholeFile does. Until then
// the old file stays as it was, and a replacement dropped without Commit()
// leaves no temporary file behind.
// The constructor throws EFCreateError, Write() EWriteError, and Commit()
// either, with the meanings they have for WriteWholeFile.
class FileReplacement {
  public:
    explicit FileReplacement(const std::string& file_name);
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    ~FileReplacement();

    void Write(std::string_view piece);
    void Commit();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// True when an entry of that name exists, file or folder. Never throws and
// never shows a system dialog. On Windows the name goes to the directory
// search, so * and ? match as a pattern; elsewhere they are plain characters.
// Elsewhere, only a name that is not there is missing: one that cannot be
// reached (a folder without search permission, a name too long) counts as
// existing, so that reading it reports why it cannot be read.
[[nodiscard]] bool PathExists(const std::string& file_name) noexcept;

// True when an entry of that name exists and is not a folder. Never throws.
[[nodiscard]] bool PlainFileExists(const std::string& file_name) noexcept;

// True when the name, links followed, is a regular file that this program
// can open for reading: a folder, a device, a link that leads nowhere or
// into a loop, and a file behind a folder it may not search are not. Reads
// nothing of the file. Never throws.
[[nodiscard]] bool IsReadableFile(const std::string& file_name) noexcept;

// Why nothing of that name exists, in the system's words ("No such file or
// directory", "Not a directory"); empty when something does.
[[nodiscard]] std::string MissingReason(const std::string& file_name);

// For a command-line program: lets "-" name the standard output, and makes
// writing any name that is the standard output ("-", /dev/stdout,
// /proc/self/fd/1, CON, the file it was sent to) write into the standard
// output as it stands, where it stands, instead of replacing a file. Other
// programs keep "-" as a file's name. Call once, early in main().
void TakeStandardOutputByName() noexcept;

// Whether `file_name` names the standard output in the sense above; always
// false unless TakeStandardOutputByName() was called. Never throws.
[[nodiscard]] bool IsStandardOutput(const std::string& file_name) noexcept;

// Makes the signals that ask the process to end (SIGINT, SIGTERM, SIGHUP,
// SIGPIPE) remove the temporary file of any replacement in progress before
// the process ends with that signal as usual, and makes a write past the
// file-size limit an EWriteError instead of the end of the process (SIGXFSZ
// is ignored). Signals the process already ignores or handles are left as
// they are. Call once, early in main().
void RemoveTemporariesOnSignals() noexcept;

// The platform's path separator, for building default names.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

}  // namespace quarvo
