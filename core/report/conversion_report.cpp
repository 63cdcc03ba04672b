// SPDX-License-Identifier: MIT
#include "quarvo/report/conversion_report.h"

#include <algorithm>

#include "quarvo/text/shown_text.h"

namespace quarvo {

void ConversionReport::Count(std::string_view label, std::int64_t n) {
    const auto found = std::find_if(counts_.begin(), counts_.end(),
                                    [&](const auto& count) { return count.first == label; });
    if (found == counts_.end())
        counts_.emplace_back(std::string(label), n);
    else
        found->second += n;
}

namespace {

// A place is named, not quoted whole: a bookmarklet's URL runs to pages.
constexpr std::size_t kLongestPlace = 80;

// Escaped too, as the report may go to a terminal.
std::string Shortened(std::string_view place) {
    return ShownBriefly(place, kLongestPlace);
}

}  // namespace

void ConversionReport::Warn(std::string_view what, std::string_view place, std::size_t times) {
    auto found = std::find_if(warnings_.begin(), warnings_.end(),
                              [&](const Warning& warning) { return warning.what == what; });
    if (found == warnings_.end())
        found = warnings_.insert(warnings_.end(), Warning{std::string(what), 0, {}, 0});
    found->times += times;
    ++found->calls;
    if (!place.empty() && found->places.size() < kMostPlaces)
        found->places.push_back(Shortened(place));
}

void ConversionReport::Append(const ConversionReport& later) {
    for (const auto& [label, n] : later.counts_) Count(label, n);
    for (const Warning& warning : later.warnings_) {
        auto found = std::find_if(warnings_.begin(), warnings_.end(),
                                  [&](const Warning& own) { return own.what == warning.what; });
        if (found == warnings_.end())
            found = warnings_.insert(warnings_.end(), Warning{warning.what, 0, {}, 0});
        found->times += warning.times;
        found->calls += warning.calls;
        for (const std::string& place : warning.places)
            if (found->places.size() < kMostPlaces) found->places.push_back(place);
    }
}

std::int64_t ConversionReport::CountOf(std::string_view label) const noexcept {
    for (const auto& [name, n] : counts_)
        if (name == label) return n;
    return 0;
}

std::string ConversionReport::Text(std::string_view title) const {
    std::string text(title);
    text += '\n';
    for (const auto& [label, n] : counts_) text += label + ": " + std::to_string(n) + '\n';
    if (warnings_.empty()) return text + "Nothing suspicious.\n";
    for (const Warning& warning : warnings_) {
        text += "Warning: " + warning.what + " (" + std::to_string(warning.times) +
                (warning.times == 1 ? " time" : " times") + ')';
        for (std::size_t i = 0; i < warning.places.size(); ++i)
            text += (i == 0 ? ": \"" : ", \"") + warning.places[i] + '"';
        if (warning.places.size() < warning.calls && !warning.places.empty()) text += ", ...";
        text += '\n';
    }
    return text;
}

}  // namespace quarvo
