// SPDX-License-Identifier: MIT
// The entries of an Opera hotlist (opera6.adr, "Opera Hotlist version 2.0"),
// read in one tuned walk. Not part of the public interface.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "formats/adr_entry.h"
#include "model/hotlist_entry.h"
#include "quarvo/base/callbacks.h"
#include "quarvo/text/text_search.h"
#include "text/text_cut.h"

namespace quarvo::formats {

class OperaHotlistReader {
  public:
    // Where `window` (the start of a text, or all of it) can be cut into two
    // runs of whole entries: at the first empty-line separator from `near` on
    // that cannot be part of an earlier one, which is one not preceded by
    // CR LF. Cutting entries one after another from the start meets every
    // such separator. The separator belongs to neither part.
    [[nodiscard]] static std::optional<TextCut> FindCut(std::string_view window,
                                                        std::size_t near) noexcept {
        if (near >= window.size()) return std::nullopt;
        for (std::size_t at = FindBytes(window, kEntrySeparator, near);
             at != std::string_view::npos; at = FindBytes(window, kEntrySeparator, at + 1)) {
            if (at < 2 || window.substr(at - 2, 2) != adr::kCrLf)
                return TextCut{at, at + kEntrySeparator.size()};
        }
        return std::nullopt;
    }

    // Hands each entry of `text` (CR LF line ends) that is of a kind, in
    // order, to `on_entry(const model::HotlistEntry&)`; the values are slices
    // of `text`, and entries of no kind are passed over. `progress` steps
    // once per bookmark, before its entry is handed on. Returns false, having
    // stopped there, at an entry that names a hotlist version other than 2.0.
    //
    // Entries are separated by an empty line. A value is the text after its
    // key's first occurrence in the entry, up to the next CR LF. One walk
    // over the CR, '#', '=' and 'O' bytes finds entry ends, markers, the
    // version line, keys and line ends alike; none of the markers holds a
    // CR, so each one found lies inside its entry.
    template <class OnEntry>
    [[nodiscard]] static bool ForEach(std::string_view text, const ProgressSink& progress,
                                      OnEntry&& on_entry) {
        const char* const data = text.data();
        const std::size_t size = text.size();
        adr::ByteHits<'\r', '#', '=', 'O'> hits(text, 0);
        adr::EntryValues<kKeyCount> found;
        std::size_t begin = 0;
        while (begin < size) {
            // Every occurrence of the supported version line is also one of
            // the version line.
            bool folder = false, bookmark = false, separator = false;
            bool version = false, supported_version = false;
            found.Clear();
            std::size_t end = size;
            std::size_t next = size;
            for (std::size_t at = hits.Next(); at != adr::kNone; at = hits.Next()) {
                const char c = data[at];
                if (c == '\r') {
                    if (at + 1 >= size || data[at + 1] != '\n') continue;
                    found.CloseAt(at);
                    if (at + 3 < size && data[at + 2] == '\r' && data[at + 3] == '\n') {
                        end = at;
                        next = at + kEntrySeparator.size();
                        break;
                    }
                } else if (c == '=') {
                    const auto missing = found.missing();
                    if (missing == 0) continue;
                    if (const auto keys = kKeys.EndingAt(data, begin, at, missing))
                        found.Open(keys, at + 1);
                } else if (c == '#') {
                    folder = folder || adr::HoldsAt(text, at, "#FOLDER");
                    bookmark = bookmark || adr::HoldsAt(text, at, "#URL");
                    separator = separator || adr::HoldsAt(text, at, "#SEPERATOR");
                } else {
                    if (!adr::HoldsAt(text, at, kVersionLine)) continue;
                    version = true;
                    supported_version =
                        supported_version || adr::HoldsAt(text, at, kSupportedVersionLine);
                }
            }
            found.CloseAt(end);
            hits.SkipTo(next);

            if (version && !supported_version) return false;
            const bool folder_end = end - begin == 1 && data[begin] == '-';
            begin = next;
            if (!folder && !bookmark && !separator && !folder_end) continue;
            if (bookmark && progress) progress();
            on_entry(model::HotlistEntry{folder, bookmark, separator, folder_end,
                                         found.Of(data, kName), found.Of(data, kUrl),
                                         found.Of(data, kCreated), found.Of(data, kVisited)});
        }
        return true;
    }

  private:
    static constexpr std::string_view kEntrySeparator = "\r\n\r\n";
    static constexpr std::string_view kVersionLine = "Opera Hotlist version";
    static constexpr std::string_view kSupportedVersionLine = "Opera Hotlist version 2.0";

    enum Key : std::size_t { kName, kUrl, kCreated, kVisited, kKeyCount };
    static constexpr adr::KeySet<kKeyCount> kKeys{
        std::array<std::string_view, kKeyCount>{"NAME=", "URL=", "CREATED=", "VISITED="}};
};

}  // namespace quarvo::formats
