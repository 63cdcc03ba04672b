// SPDX-License-Identifier: MIT
// Writing one output record at a time from values that are slices of an
// Opera file's text. Shared by the tuned writers; not part of the public
// interface.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "text/scan/byte_set.h"
#include "text/text_buffer.h"

namespace quarvo::formats {

// A writer for one output record at a time. Room for the record's longest
// possible text is made first, so that the pieces are copied with plain
// stores; Finish() extends the text over what was written.
//
// A record whose longest possible text is more than kLargeRecordBytes (a
// giant value, escaped) is written in pieces instead: room is made for one
// piece of a value at a time, and the text is handed to `drain` whenever a
// block is full, so that its whole escaped text never needs room at once.
//
// The values copied are slices of one source text. A value's bytes are
// taken sixteen at a time, also past its end while that stays inside the
// source, so most values are copied in one step; the bytes stored beyond
// the value land in the room made, and the next piece overwrites them.
class RecordWriter {
  public:
    static constexpr std::size_t kSlack = 16;
    static constexpr std::size_t kLargeRecordBytes = kOutputBlockBytes / 4;
    // Room kept beyond a piece: for the fixed text between two values.
    static constexpr std::size_t kFixedRoom = 1024;

    RecordWriter(TextBuffer& out, std::size_t most, std::string_view source,
                 const BlockSink* drain = nullptr)
        : out_(out),
          drain_(drain),
          source_end_(source.data() + source.size()),
          in_pieces_(most > kLargeRecordBytes),
          start_(out.Room(in_pieces_ ? kFixedRoom : most + kSlack)),
          at_(start_) {}
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;
    ~RecordWriter() { Finish(); }

    // Ends the record; nothing may be put after.
    void Finish() noexcept {
        if (at_ == nullptr) return;
        out_.EndAt(at_);
        at_ = nullptr;
    }

    // Whether the record is written in pieces; written() and PutAgain()
    // are then not to be used, as its start may have been handed on.
    [[nodiscard]] bool in_pieces() const noexcept { return in_pieces_; }

    // How many bytes this record holds so far.
    [[nodiscard]] std::size_t written() const noexcept {
        return static_cast<std::size_t>(at_ - start_);
    }
    // Writes again what the record holds from offset `from` to `to`.
    void PutAgain(std::size_t from, std::size_t to) noexcept {
        std::memcpy(at_, start_ + from, to - from);
        at_ += to - from;
    }

    // Writes `value` with `put(writer, part)`, which writes at most `growth`
    // bytes for each byte of its part. In a record written in pieces the
    // parts are pieces of the value, none of which ends between the two
    // bytes of a `pair` (pairs taken left to right), so that `put` sees
    // every pair whole; else the part is the whole value.
    template <class Put>
    void PutInPieces(std::string_view value, std::size_t growth, Put&& put, char pair = '\0') {
        if (!in_pieces_) {
            put(*this, value);
            return;
        }
        constexpr std::size_t kPiece = std::size_t{16} << 10;
        std::size_t begin = 0;
        while (begin < value.size()) {
            std::size_t end = std::min(value.size(), begin + kPiece);
            if (end < value.size() && value[end] == pair && value[end - 1] == pair) {
                std::size_t run = 1;
                while (end - run > begin && value[end - run - 1] == pair) ++run;
                end -= run % 2;
            }
            MakeRoom(growth * (end - begin));
            put(*this, value.substr(begin, end - begin));
            begin = end;
        }
        MakeRoom(0);
    }

    void Put(char c) noexcept { *at_++ = c; }
    void Put(std::string_view text) noexcept {
        if (text.empty()) return;  // an absent value has no bytes to copy from
        std::memcpy(at_, text.data(), text.size());
        at_ += text.size();
    }

    // Copies `value` (a slice of the source), handing each byte among
    // `Special` to `escape(writer, value, i)`, which writes its replacement
    // and returns the offset to go on from.
    template <char... Special, class Escape>
    void CopyEscaped(std::string_view value, Escape&& escape) noexcept {
        const char* const data = value.data();
        const std::size_t n = value.size();
        // A local pointer: stores of bytes could otherwise alias at_ itself
        // and force it back to memory after every one.
        char* at = at_;
        std::size_t i = 0;
        while (i < n) {
            const std::size_t plain =
                scan::CopyUntilAnyOf<Special...>(data + i, n - i, source_end_, at);
            at += plain;
            i += plain;
            if (i == n) break;
            at_ = at;
            i = escape(*this, value, i);
            at = at_;
        }
        at_ = at;
    }

  private:
    // Room for `bytes` and the fixed text after them, the text so far
    // handed on first when a block is full.
    void MakeRoom(std::size_t bytes) {
        out_.EndAt(at_);
        if (drain_ != nullptr && *drain_ && out_.size() >= kOutputBlockBytes) (*drain_)(out_);
        at_ = out_.Room(bytes + kFixedRoom + kSlack);
        start_ = at_;
    }

    TextBuffer& out_;
    const BlockSink* drain_;
    const char* source_end_;
    bool in_pieces_;
    char* start_;
    char* at_;
};

}  // namespace quarvo::formats
