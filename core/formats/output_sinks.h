// SPDX-License-Identifier: MIT
// Where the notes writers put their bytes: one file written piece by piece,
// or a tree of files and folders. The conversion's entry point ties them to
// the file layer (FileReplacement, FolderOutput); tests and fuzz targets
// keep the bytes in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quarvo::formats {

// Called by a writer that appends to a string the caller holds, at least
// once a mebibyte, so that the caller can hand on what the string holds so
// far and clear it: a record whose one value is huge is never held whole.
// May be empty.
using PassText = std::function<void()>;

class TextSink {
  public:
    virtual ~TextSink() = default;
    virtual void Write(std::string_view piece) = 0;
};

// Names are relative to the tree's top, with '/' between folders, in UTF-8.
class FolderSink {
  public:
    virtual ~FolderSink() = default;
    // The folder's parent was made before.
    virtual void MakeFolder(std::string_view relative) = 0;
    // One file is open at a time: its bytes go to the sink BeginFile returns
    // until EndFile, which gives it its modification time (seconds since
    // 1970) when one is given.
    virtual TextSink& BeginFile(std::string_view relative) = 0;
    virtual void EndFile(std::optional<std::int64_t> modified = {}) = 0;
    // Seconds since 1970; an empty name is the tree's top.
    virtual void SetModificationTime(std::string_view relative, std::int64_t seconds) = 0;
};

// A writer's text on its way to a sink: appended to text() and handed on
// in blocks of about a mebibyte, so that a large output is never held whole.
class BlockedText {
  public:
    explicit BlockedText(TextSink& sink) : sink_(sink) {}
    BlockedText(const BlockedText&) = delete;
    BlockedText& operator=(const BlockedText&) = delete;

    [[nodiscard]] std::string& text() { return text_; }
    // Hands the text on once a block is full; call between items.
    void Pass() {
        if (text_.size() >= kBlock) Flush();
    }
    // Hands on whatever is held; call at the end.
    void Flush() {
        if (!text_.empty()) sink_.Write(text_);
        text_.clear();
    }

  private:
    static constexpr std::size_t kBlock = std::size_t{1} << 20;
    TextSink& sink_;
    std::string text_;
};

}  // namespace quarvo::formats
