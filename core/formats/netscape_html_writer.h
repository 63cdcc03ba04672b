// SPDX-License-Identifier: MIT
// Hotlist entries as a Netscape bookmark file (HTML) that browsers import,
// written by the tuned record writer. Not part of the public interface.
#pragma once

#include <string_view>

#include "model/hotlist_entry.h"
#include "quarvo/formats/file_texts.h"
#include "text/text_buffer.h"

namespace quarvo::formats {

// Writes the text of each entry to `html`, between kPrologue and kEpilogue,
// which the caller writes: a folder heading, a bookmark line, a separator
// line and a folder end, each where the entry is of that kind, in that
// order. Names, URLs and dates are escaped for HTML. The entries' values
// must be slices of `source`, which the writer may read a few bytes past a
// value. With a `drain`, the text gathered in `html` is handed to it
// whenever a block is full, and an entry whose longest possible text is
// more than a quarter block is written in pieces.
class NetscapeHtmlWriter {
  public:
    static constexpr std::string_view kPrologue = kBookmarkPrologue;
    static constexpr std::string_view kEpilogue = kBookmarkEpilogue;

    NetscapeHtmlWriter(TextBuffer& html, std::string_view source, const BlockSink& drain) noexcept
        : html_(html), source_(source), drain_(drain) {}

    void Write(const model::HotlistEntry& entry);

  private:
    TextBuffer& html_;
    std::string_view source_;
    const BlockSink& drain_;
};

}  // namespace quarvo::formats
