// SPDX-License-Identifier: MIT
// Where a file conversion sends its text: to the target file in blocks as it
// is built, so that a large conversion never holds all of it. Not part of
// the public interface.
#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "quarvo/files/file_layer.h"
#include "text/text_buffer.h"

namespace quarvo {

// The replacement of the target file, begun with the first block. A file
// error is held back until Finish(), so that the conversion runs to its end
// first and its own outcome (a refused hotlist) comes before any file error.
// Dropped without Finish(), it leaves the target as it was.
class OutputFile {
  public:
    explicit OutputFile(std::string file_name) : file_name_(std::move(file_name)) {}

    // Appends `text` to the new file. Never throws.
    void Write(std::string_view text) noexcept;

    // A sink that writes each block to the new file.
    [[nodiscard]] BlockSink Sink() {
        return [this](TextBuffer& block) {
            Write(block.view());
            block.Clear();
            return true;
        };
    }

    // Puts the new file in place, or throws the first error met.
    void Finish();

  private:
    void Begin();

    std::string file_name_;
    std::optional<FileReplacement> file_;
    std::exception_ptr failure_;
};

}  // namespace quarvo
