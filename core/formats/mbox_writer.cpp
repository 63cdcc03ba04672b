// SPDX-License-Identifier: MIT
#include "formats/mbox_writer.h"

#include <cstring>

#include "formats/mail_dates.h"

namespace quarvo::formats {
namespace {

constexpr std::string_view kFrom = "From ";

}  // namespace

void MessageFilter::Release(std::string& out) {
    out.append(quotes_, '>');
    out.append(kFrom.substr(0, matched_));
    quotes_ = 0;
    matched_ = 0;
}

void MessageFilter::Feed(std::string_view piece, std::string& out) {
    if (piece.empty()) return;
    std::size_t i = 0;
    while (i < piece.size()) {
        if (probing_) {
            const char c = piece[i];
            if (matched_ == 0 && c == '>') {
                ++quotes_;
                ++i;
                continue;
            }
            if (c == kFrom[matched_]) {
                ++i;
                if (++matched_ == kFrom.size()) {
                    out += '>';
                    Release(out);
                    probing_ = false;
                }
                continue;
            }
            Release(out);
            probing_ = false;  // the byte is the line's own: copied below
        }
        if (cr_held_) {
            cr_held_ = false;
            if (piece[i] != '\n') out += '\r';
        }
        // Lines are found with memchr: a lone CR is content and is copied.
        const void* newline = std::memchr(piece.data() + i, '\n', piece.size() - i);
        if (newline == nullptr) {
            std::string_view rest = piece.substr(i);
            if (lf_ && rest.back() == '\r') {
                rest.remove_suffix(1);
                cr_held_ = true;
            }
            out.append(rest);
            break;
        }
        const auto stop =
            static_cast<std::size_t>(static_cast<const char*>(newline) - piece.data());
        std::string_view line = piece.substr(i, stop - i);
        if (lf_ && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        out.append(line);
        out += '\n';
        i = stop + 1;
        probing_ = quote_;
    }
    ended_with_lf_ = piece.back() == '\n';
}

bool MessageFilter::Finish(std::string& out) {
    Release(out);
    probing_ = quote_;
    if (cr_held_) out += '\r';
    cr_held_ = false;
    return ended_with_lf_;
}

std::string MboxSeparator(std::string_view sender, std::int64_t time, std::string_view line_end) {
    if (sender.empty() || sender.find_first_of(" \t") != std::string_view::npos)
        sender = "MAILER-DAEMON";
    std::string line(kFrom);
    line.append(sender).append(" ").append(FormatAsctime(time)).append(line_end);
    return line;
}

}  // namespace quarvo::formats
