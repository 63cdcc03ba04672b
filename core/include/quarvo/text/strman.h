// SPDX-License-Identifier: MIT
// Marker cutting: the operations the converters parse Opera files with.
// All comparisons are byte for byte; positions are 1-based; nothing throws.
#pragma once

#include <string>
#include <string_view>

namespace quarvo {

class TStringManager {
  public:
    // Bytes of `text` after the first `marker` found at or after `start`;
    // empty when there is none (also for an empty marker or text).
    [[nodiscard]] std::string_view TextAfter(std::string_view marker, std::string_view text,
                                             long long start = 1) const noexcept;

    // Bytes of `text` before the first `marker` found at or after `start`;
    // the whole text when there is none (also for an empty marker).
    [[nodiscard]] std::string_view TextBefore(std::string_view marker, std::string_view text,
                                              long long start = 1) const noexcept;

    // Bytes of `text` after the last `marker`; empty when there is none.
    [[nodiscard]] std::string_view TextAfterLast(std::string_view marker,
                                                 std::string_view text) const noexcept;

    // `text` with every non-overlapping occurrence of `old_text`, scanned left
    // to right, replaced by `new_text`; inserted text is never searched again.
    [[nodiscard]] std::string ReplaceText(std::string_view old_text, std::string_view new_text,
                                          std::string_view text) const;
};

// The one shared instance; it holds no state, so it is usable from static
// initialisation on.
inline constexpr TStringManager StrMan{};

}  // namespace quarvo
