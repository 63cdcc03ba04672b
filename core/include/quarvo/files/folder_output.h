// SPDX-License-Identifier: MIT
// A new folder of files written as a whole, for the outputs that are folders
// (a folder of notes, a mailbox per account). The files go into a temporary
// folder beside the target, named as the file layer names its temporaries
// (".quarvo-*.tmp"), and Commit() renames it into place: until then nothing
// is at the target's name, and a folder output dropped without Commit()
// leaves nothing behind. One that a termination signal or a kill ends leaves
// at most its hidden temporary folder, which the next folder output made in
// that folder removes.
#pragma once

#include <ctime>
#include <memory>
#include <string>
#include <string_view>

namespace quarvo {

class FolderOutput {
  public:
    // `target` may be missing or an empty folder; with `replace`, also a
    // folder with files in it, which Commit() then swaps for the new one as
    // a whole (the old one is removed once the new one is in place). Its
    // parent folder must exist.
    // Throws EFCreateError naming the target when it is not a folder, when
    // it holds files and `replace` is false ("...: Folder is not empty"),
    // or when the temporary folder cannot be made.
    FolderOutput(const std::string& target, bool replace);
    FolderOutput(const FolderOutput&) = delete;
    FolderOutput& operator=(const FolderOutput&) = delete;
    ~FolderOutput();

    // Names inside the new folder are relative, with '/' between folders,
    // in UTF-8 (on Windows too, where the target's own name is in the
    // system's code page). They must name nothing outside the folder.

    // Makes a folder inside the new one (its parent must exist already).
    // Throws EFCreateError.
    void MakeFolder(std::string_view relative);

    // A new file of the folder, written piece by piece (a mailbox of
    // gigabytes). Write() throws EWriteError, Close() too when the last
    // bytes cannot be stored.
    class File {
      public:
        File(File&&) noexcept;
        File& operator=(File&&) noexcept;
        ~File();
        void Write(std::string_view piece);
        // Sets the file's modification time (seconds since 1970, UTC);
        // best effort, as FolderOutput::SetModificationTime. Before Close.
        void SetModificationTime(std::time_t when) noexcept;
        void Close();

      private:
        friend class FolderOutput;
        struct State;
        explicit File(std::unique_ptr<State> state);
        std::unique_ptr<State> state_;
    };
    // Throws EFCreateError when the file cannot be made or already exists.
    [[nodiscard]] File NewFile(std::string_view relative);

    // A new file holding `bytes`.
    void WriteFile(std::string_view relative, std::string_view bytes);

    // Sets the modification time of a file or folder made here (seconds
    // since 1970, UTC). Best effort: a file system that keeps no such time
    // is not an error.
    void SetModificationTime(std::string_view relative, std::time_t when) noexcept;

    // Flushes every file to the disk and renames the folder into place.
    // Throws EFCreateError (the target appeared meanwhile, or the rename
    // failed) or EWriteError (the disk did not take the files); the target
    // is then as it was before.
    void Commit();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace quarvo
