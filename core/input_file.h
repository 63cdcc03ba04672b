// Where a file conversion takes its text from: the input file, read in
// parts, so that the conversion of one part can start while another is
// still being read. Not part of the public interface.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "file_layer.h"

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

    // Replaces the text, which must have been read whole, with its copy
    // whose line ends are all CR LF.
    void MakeLineEndsCrLf();

    // Gives up the text and closes the file.
    void Release() noexcept;

  private:
    std::optional<FileReading> file_;
    // The file's bytes, in memory that is not filled with zeros first: the
    // read overwrites it anyway. After MakeLineEndsCrLf() they are in
    // crlf_ instead.
    std::unique_ptr<char[]> bytes_;
    std::string crlf_;
    std::string_view text_;
};

}  // namespace quarvo
