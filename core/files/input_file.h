// SPDX-License-Identifier: MIT
// Where a file conversion takes its text from: the input file, read in
// parts, so that the conversion of one part can start while another is
// still being read. Not part of the public interface.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "quarvo/files/file_layer.h"

namespace quarvo {

class InputFile {
  public:
    // Opens the file; throws as FileReading does, also for a missing one.
    explicit InputFile(const std::string& file_name);

    [[nodiscard]] std::size_t size() const noexcept { return text_.size(); }
    // The whole text; only the parts read so far hold the file's bytes.
    [[nodiscard]] std::string_view text() const noexcept { return text_; }

    // Reads the bytes from `begin` up to `end` in. Two threads may read
    // different parts at once.
    void Read(std::size_t begin, std::size_t end);

    // Reads the line ends of the text, which must have been read whole, as
    // CR LF where the file needs it (see NeedsCrLfLineEnds). The text grows
    // in place, so that the file is never held twice.
    void MakeLineEndsCrLf();

    // Gives up the text and closes the file.
    void Release() noexcept;

  private:
    std::optional<FileReading> file_;
    struct Free {
        void operator()(char* bytes) const noexcept { std::free(bytes); }
    };
    // The file's bytes, in memory that is not filled with zeros first: the
    // read overwrites it anyway. From malloc, so that growing it for CR LF
    // line ends can remap its pages instead of copying them.
    std::unique_ptr<char, Free> bytes_;
    std::string_view text_;
};

}  // namespace quarvo
