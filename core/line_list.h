// The list of lines a text editor holds, and the two conversions between it
// and a whole text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// An ordered list of lines without line-break bytes. The lines are kept in
// one buffer, each already followed by CR LF, so joining them is one copy
// and splitting a large file allocates twice rather than once per line.
class LineList {
public:
    [[nodiscard]] std::size_t size() const noexcept { return bounds_.size(); }
    [[nodiscard]] bool empty() const noexcept { return bounds_.empty(); }
    [[nodiscard]] std::string_view operator[](std::size_t index) const noexcept {
        const Bounds& b = bounds_[index];
        return std::string_view(joined_).substr(b.start, b.length);
    }
    void clear() noexcept {
        joined_.clear();
        bounds_.clear();
    }
    // A line holding CR or LF bytes would come back as several lines after a
    // join and split; the caller keeps lines free of them.
    void push_back(std::string_view line);

    // Every line followed by CR LF.
    [[nodiscard]] const std::string& joined() const noexcept { return joined_; }

private:
    friend void SplitLines(std::string_view text, LineList& lines);
    struct Bounds {
        std::size_t start;
        std::size_t length;
    };
    std::string joined_;
    std::vector<Bounds> bounds_;
};

// Replaces `lines` by the lines of `text`: CR LF, a lone CR and a lone LF each
// end one line, a break at the very end adds no empty line, and a zero byte
// ends the text.
void SplitLines(std::string_view text, LineList& lines);

// Every line followed by CR LF; an empty list gives an empty text.
[[nodiscard]] std::string JoinLines(const LineList& lines);

}  // namespace quarvo
