// SPDX-License-Identifier: MIT
// Contacts as the Windows Address Book's CSV import wants them, written by
// the tuned record writer. Not part of the public interface.
#pragma once

#include <string_view>

#include "model/contact.h"
#include "quarvo/formats/file_texts.h"
#include "text/text_buffer.h"

namespace quarvo::formats {

// Writes one record of 29 columns per contact to `csv`, after the caller
// has written kHeader. The contacts' values must be slices of `source`,
// which the writer may read a few bytes past a value. With a `drain`, the
// text gathered in `csv` is handed to it whenever a block is full, and a
// record whose longest possible text is more than a quarter block is written
// in pieces, so that a giant value never needs room whole.
class WabCsvWriter {
  public:
    static constexpr std::string_view kHeader = kContactsCsvHeader;

    WabCsvWriter(TextBuffer& csv, std::string_view source, const BlockSink& drain) noexcept
        : csv_(csv), source_(source), drain_(drain) {}

    void Write(const model::Contact& contact);

  private:
    TextBuffer& csv_;
    std::string_view source_;
    const BlockSink& drain_;
};

}  // namespace quarvo::formats
