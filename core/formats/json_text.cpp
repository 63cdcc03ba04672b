// SPDX-License-Identifier: MIT
#include "formats/json_text.h"

#include <algorithm>
#include <charconv>

#include "text/text_encoding.h"

namespace quarvo::formats {
namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;
// Past this many levels the layout indents no further: a million nested
// folders then grow the file in proportion to its items, not their square.
constexpr std::size_t kDeepestIndent = 16;
constexpr char kOperaBreak = '\x02';
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool IsPlain(unsigned char c) {
    return c >= 0x20 && c < 0x80 && c != '"' && c != '\\';
}

void AppendNumber(std::string& out, std::int64_t number) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, static_cast<std::size_t>(end - digits));
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text, std::string_view pair,
                      const PassText& pass) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::size_t i = 0;
    while (i < text.size()) {
        // A run of plain bytes that fills the block at most, so that what
        // `pass` hands on stays near a block long.
        const std::size_t room = !pass ? kBlock : out.size() < kBlock ? kBlock - out.size() : 1;
        const std::size_t stop = std::min(text.size(), i + room);
        std::size_t plain = i;
        while (plain < stop && IsPlain(static_cast<unsigned char>(text[plain]))) ++plain;
        out.append(text.data() + i, plain - i);
        i = plain;
        if (i < text.size() && !IsPlain(static_cast<unsigned char>(text[i]))) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c == '"' || c == '\\') {
                out += '\\';
                out += static_cast<char>(c);
                ++i;
            } else if (c == kOperaBreak && i + 1 < text.size() && text[i + 1] == kOperaBreak) {
                out.append(pair);
                i += 2;
            } else if (c < 0x20) {
                out.append("\\u00");
                out += kHex[c >> 4];
                out += kHex[c & 0xF];
                ++i;
            } else if (const std::size_t length = Utf8SequenceLength(text, i); length != 0) {
                out.append(text.data() + i, length);
                i += length;
            } else {
                out.append(kReplacement);
                ++i;
            }
        }
        if (pass && out.size() >= kBlock) pass();
    }
}

std::optional<std::int64_t> Microseconds(const std::optional<std::int64_t>& seconds,
                                         std::int64_t epoch_offset) {
    constexpr std::int64_t kLastSecondOf9999 = 253402300799;
    if (!seconds || *seconds < 0 || *seconds > kLastSecondOf9999) return std::nullopt;
    return (*seconds + epoch_offset) * 1000000;
}

JsonOut::JsonOut(TextSink& sink) : sink_(sink) {
    out_.reserve(kBlock + kBlock / 8);
}

void JsonOut::BeginObject(std::string_view key) {
    if (open_.empty())
        first_ = true;
    else
        Member(key);
    out_ += '{';
    open_.push_back('}');
    first_ = true;
}

void JsonOut::BeginArray(std::string_view key) {
    Member(key);
    out_ += '[';
    open_.push_back(']');
    first_ = true;
}

void JsonOut::End() {
    const char close = open_.back();
    open_.pop_back();
    if (!first_) NewLine();
    out_ += close;
    first_ = false;
    if (open_.empty()) out_ += '\n';
}

void JsonOut::String(std::string_view key, std::string_view text, std::string_view pair) {
    Member(key);
    out_ += '"';
    AppendJsonString(out_, text, pair, [this] { Pass(); });
    out_ += '"';
}

void JsonOut::Number(std::string_view key, std::int64_t number) {
    Member(key);
    AppendNumber(out_, number);
}

void JsonOut::NumberString(std::string_view key, std::int64_t number) {
    Member(key);
    out_ += '"';
    AppendNumber(out_, number);
    out_ += '"';
}

void JsonOut::Pass() {
    if (out_.size() >= kBlock) Flush();
}

void JsonOut::Flush() {
    if (!out_.empty()) sink_.Write(out_);
    out_.clear();
}

// Keys are the writers' own names: plain ASCII, written as they are.
void JsonOut::Member(std::string_view key) {
    if (!first_) out_ += ',';
    first_ = false;
    NewLine();
    if (key.empty()) return;
    out_ += '"';
    out_.append(key);
    out_.append("\": ");
}

void JsonOut::NewLine() {
    out_ += '\n';
    out_.append(std::min(open_.size(), kDeepestIndent) * 2, ' ');
}

}  // namespace quarvo::formats

namespace quarvo::formats {

std::uint64_t IdentitySeed(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

}  // namespace quarvo::formats
