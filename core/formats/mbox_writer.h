// SPDX-License-Identifier: MIT
// A message's bytes on their way into a mailbox file, in pieces of any size,
// never held whole. In an mbox (the mboxrd form of RFC 4155, which today's
// readers undo), every line of a message that starts with "From " after any
// number of '>' gets one more '>', so that no line of it is taken for the
// next message's separator; a reader removes one '>' from such lines and has
// the message's bytes back. CR LF line ends are made LF when asked; every
// other byte is copied as it is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quarvo::formats {

class MessageFilter {
  public:
    MessageFilter(bool quote_from_lines, bool lf_line_ends) noexcept
        : quote_(quote_from_lines), lf_(lf_line_ends), probing_(quote_from_lines) {}

    // Appends what `piece` becomes to `out`; a few bytes at the end may be
    // held back until the next piece tells what they are.
    void Feed(std::string_view piece, std::string& out);
    // Appends what was held back. Returns whether the message ended with a
    // line end.
    bool Finish(std::string& out);

  private:
    void Release(std::string& out);

    bool quote_;
    bool lf_;
    bool probing_;             // at a line's start, deciding whether it is to be quoted
    std::size_t quotes_ = 0;   // the '>' held back at the line's start
    std::size_t matched_ = 0;  // the bytes of "From " held back after them
    bool cr_held_ = false;     // a CR whose next byte decides whether it goes
    bool ended_with_lf_ = false;
};

// The line an mbox puts before a message: "From <sender> <time>" and the line
// end. A sender that is empty or holds blanks becomes MAILER-DAEMON, as
// readers expect a single word there; the time is written in asctime form.
[[nodiscard]] std::string MboxSeparator(std::string_view sender, std::int64_t time,
                                        std::string_view line_end);

}  // namespace quarvo::formats
