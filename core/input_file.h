// Where a file conversion takes its text from: the input file, read in two
// steps, so that the conversion of its first part can start while the rest
// is still being read. Not part of the public interface.
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
    // Opens the file (see FileReading); a missing file reads as empty.
    explicit InputFile(const std::string& file_name);

    [[nodiscard]] std::size_t size() const noexcept { return text_.size(); }
    // The whole text; only its first arrived() bytes have been read yet.
    [[nodiscard]] std::string_view text() const noexcept { return text_; }
    [[nodiscard]] std::size_t arrived() const noexcept { return arrived_; }

    // Reads on until `end` bytes (at most all of them) have arrived.
    void ReadUpTo(std::size_t end);
    void ReadRest() { ReadUpTo(size()); }

    // Replaces the text, once read whole, with its copy whose line ends are
    // all CR LF.
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
    std::size_t arrived_ = 0;
};

}  // namespace quarvo
