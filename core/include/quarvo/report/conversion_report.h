// SPDX-License-Identifier: MIT
// What a conversion did, beyond its one count: how many items of each kind
// it wrote or left out, and what looked wrong in the input. Any conversion
// fills one; the front ends show its text form on request. A bookmarks
// conversion counts "folders", "bookmarks" and so on and warns of "dates
// that are not numbers" naming the bookmark; a contacts conversion into an
// 8-bit file would count "contacts" and warn of characters the encoding
// cannot hold, naming the contact.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

class ConversionReport {
  public:
    // One kind of trouble and where it was met. A file may hold the same
    // trouble thousands of times: all are counted, a few are named.
    struct Warning {
        std::string what;  // "bytes not valid in the file's encoding"
        std::size_t times = 0;
        std::vector<std::string> places;  // the first kMostPlaces items it was met in, shortened
        std::size_t calls = 0;            // the Warn calls, one per place
    };
    static constexpr std::size_t kMostPlaces = 5;

    // Adds `n` to the count labelled `label`; labels keep the order in
    // which they were first counted. Counting 0 still shows the label.
    void Count(std::string_view label, std::int64_t n = 1);
    // `times` more times `what` was met, in the item named `place` (may be
    // empty), which is named once.
    void Warn(std::string_view what, std::string_view place = {}, std::size_t times = 1);

    // Adds what `later` counted and warned of, as though its calls had
    // come after this report's own.
    void Append(const ConversionReport& later);

    // The count labelled `label`, 0 when it was never counted.
    [[nodiscard]] std::int64_t CountOf(std::string_view label) const noexcept;
    [[nodiscard]] const std::vector<std::pair<std::string, std::int64_t>>& counts() const noexcept {
        return counts_;
    }
    [[nodiscard]] const std::vector<Warning>& warnings() const noexcept { return warnings_; }
    [[nodiscard]] bool empty() const noexcept { return counts_.empty() && warnings_.empty(); }

    // Lines ending in LF: the title, "label: n" per count, then each
    // warning with its times and the places named.
    [[nodiscard]] std::string Text(std::string_view title) const;

  private:
    std::vector<std::pair<std::string, std::int64_t>> counts_;
    std::vector<Warning> warnings_;
};

}  // namespace quarvo
