// SPDX-License-Identifier: MIT
// Converted text under construction, and the blocks it is handed on in. Not
// part of the public interface.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/large_buffer.h"

namespace quarvo {

// Records are written into room beyond the end of the text, which is made a
// block at a time: std::string fills what it adds with zeros, and so that
// fill is paid once per byte instead of once per record for the record's
// longest possible text.
class TextBuffer {
  public:
    TextBuffer() = default;
    TextBuffer(TextBuffer&& other) noexcept
        : bytes_(std::move(other.bytes_)), used_(std::exchange(other.used_, 0)) {}
    TextBuffer& operator=(TextBuffer&& other) noexcept {
        bytes_ = std::move(other.bytes_);
        used_ = std::exchange(other.used_, 0);
        return *this;
    }

    // Capacity for `bytes` in all. A text that is kept whole (`kept_whole`)
    // is asked to be on huge pages, which spare it most page faults. Blocks
    // handed on to a file are few megabytes and reused, and while a second
    // thread works beside them, huge pages made many runs slower by half.
    void Reserve(std::size_t bytes, bool kept_whole = false) {
        bytes_.reserve(bytes);
        if (kept_whole) AdviseHugePages(bytes_);
    }
    // Appends `text` without filling its room with zeros first.
    void Append(std::string_view text) {
        bytes_.resize(used_);
        bytes_.append(text);
        used_ = bytes_.size();
    }
    [[nodiscard]] std::string_view view() const noexcept { return {bytes_.data(), used_}; }
    [[nodiscard]] std::size_t size() const noexcept { return used_; }
    [[nodiscard]] std::size_t capacity() const noexcept { return bytes_.capacity(); }
    void Clear() noexcept { used_ = 0; }

    // The text, handed over without a copy.
    [[nodiscard]] std::string Take() && {
        bytes_.resize(used_);
        used_ = 0;
        return std::move(bytes_);
    }

    // Room for `bytes` more after the end of the text.
    [[nodiscard]] char* Room(std::size_t bytes) {
        if (bytes_.size() - used_ < bytes) {
            constexpr std::size_t kGrowth = std::size_t{256} << 10;
            const std::size_t size = std::max(used_ + bytes, bytes_.size() + kGrowth);
            // One call maps the new room instead of a fault per page.
            if (size <= bytes_.capacity())
                PrepareForWriting(bytes_.data() + bytes_.size(), size - bytes_.size());
            bytes_.resize(size);
        }
        return bytes_.data() + used_;
    }
    // Extends the text over the room up to `end`.
    void EndAt(const char* end) noexcept { used_ = static_cast<std::size_t>(end - bytes_.data()); }

  private:
    std::string bytes_;
    std::size_t used_ = 0;
};

// How much converted text a conversion gathers before handing it on, and
// the room a block is given: records of more than a quarter block are
// written in pieces (formats::RecordWriter), so a block seldom outgrows it.
inline constexpr std::size_t kOutputBlockBytes = std::size_t{1} << 20;
inline constexpr std::size_t kBlockRoomBytes = kOutputBlockBytes + kOutputBlockBytes / 2;

// Takes the text gathered in `block`, leaving `block` empty, and says
// whether it did; when it did not, the text stays to be offered again.
using BlockSink = std::function<bool(TextBuffer& block)>;

// Blocks of converted text sent from a second thread to the one that writes
// them, and their buffers sent back for reuse, so that the second thread
// writes into memory that is already mapped.
//
// The blocks waiting hold at most `most_held` bytes of room (one block at
// least): the sender waits for the receiver beyond that, so that text that
// escaping made many times longer than its input is never held whole.
class BlockChannel {
  public:
    explicit BlockChannel(std::size_t most_held = std::string::npos) : most_held_(most_held) {}

    // Takes the text of `block` and leaves it empty, with a used buffer
    // when one has come back.
    void Send(TextBuffer& block) {
        std::unique_lock lock(mutex_);
        room_.wait(lock, [&] {
            return abandoned_ || held_ == 0 || held_ + block.capacity() <= most_held_;
        });
        if (abandoned_) {
            block.Clear();
            return;
        }
        TextBuffer spare;
        if (!spares_.empty()) {
            spare = std::move(spares_.back());
            spares_.pop_back();
        }
        held_ += block.capacity();
        full_.push_back(std::move(block));
        lock.unlock();
        ready_.notify_one();
        if (spare.capacity() < kOutputBlockBytes) spare.Reserve(kBlockRoomBytes);
        block = std::move(spare);
    }

    // Nobody will take the blocks before every one is sent: they are all
    // held.
    void HoldAll() {
        std::lock_guard lock(mutex_);
        most_held_ = std::string::npos;
    }

    // Nobody will take the blocks: they are dropped as they are sent.
    void Abandon() {
        {
            std::lock_guard lock(mutex_);
            abandoned_ = true;
            full_.clear();
            held_ = 0;
        }
        room_.notify_all();
    }

    // No more blocks will be sent.
    void Close() {
        {
            std::lock_guard lock(mutex_);
            closed_ = true;
        }
        ready_.notify_one();
    }

    // Hands every block to `deliver` as it arrives, until the channel is
    // closed and empty.
    void DeliverAll(const BlockSink& deliver) {
        std::unique_lock lock(mutex_);
        for (;;) {
            ready_.wait(lock, [this] { return !full_.empty() || closed_; });
            if (full_.empty()) return;
            TextBuffer block = std::move(full_.front());
            full_.pop_front();
            const std::size_t counted = block.capacity();
            lock.unlock();
            deliver(block);
            block.Clear();
            lock.lock();
            held_ -= counted;
            spares_.push_back(std::move(block));
            room_.notify_all();
        }
    }

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::condition_variable room_;
    std::deque<TextBuffer> full_;
    std::vector<TextBuffer> spares_;
    std::size_t most_held_;
    std::size_t held_ = 0;
    bool closed_ = false;
    bool abandoned_ = false;
};

}  // namespace quarvo
