// SPDX-License-Identifier: MIT
// The list of lines a text editor holds, and the two conversions between it
// and a whole text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// An ordered list of lines without line-break bytes. The lines are kept in
// one buffer, each already followed by CR LF, so joining them is one copy.
// Where each line starts is worked out only when a line is first asked for:
// the editor takes the whole text, and a large file need not pay for an
// index that nobody reads.
class LineList {
  public:
    [[nodiscard]] std::size_t size() const noexcept { return count_; }
    [[nodiscard]] bool empty() const noexcept { return count_ == 0; }
    // The line at `index` (below size()).
    [[nodiscard]] std::string_view operator[](std::size_t index) const;
    void clear() noexcept {
        joined_.clear();
        count_ = 0;
        starts_.clear();
    }
    // A line holding CR or LF bytes would come back as several lines after a
    // join and split; the caller keeps lines free of them.
    void push_back(std::string_view line);

    // Every line followed by CR LF.
    [[nodiscard]] const std::string& joined() const noexcept { return joined_; }

  private:
    friend void SplitLines(std::string_view text, LineList& lines);
    void Append(std::string_view line);

    std::string joined_;
    std::size_t count_ = 0;
    // Start offsets of the first lines; complete once a line has been asked for.
    mutable std::vector<std::size_t> starts_;
};

// Replaces `lines` by the lines of `text`: CR LF, a lone CR and a lone LF each
// end one line, a break at the very end adds no empty line, and a zero byte
// ends the text.
void SplitLines(std::string_view text, LineList& lines);

// Every line followed by CR LF; an empty list gives an empty text.
[[nodiscard]] std::string JoinLines(const LineList& lines);

}  // namespace quarvo
