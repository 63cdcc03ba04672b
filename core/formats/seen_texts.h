// SPDX-License-Identifier: MIT
// Texts met before, for the warnings about a URL or keyword met twice. A
// text that lies inside the input (`lasting`, alive as long as this) is
// remembered as a view of it; only one converted on its way (no longer in
// the input) is copied, so that a large hotlist's URLs are not held twice.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace quarvo::formats {

class SeenTexts {
  public:
    explicit SeenTexts(std::string_view lasting) : lasting_(lasting) {}

    // The value `text` was first met with, after remembering `value` for it
    // if it is new; `added` tells which.
    struct Met {
        std::string_view first_value;
        bool added;
    };
    Met Insert(std::string_view text, std::string_view value = {}) {
        const auto found = seen_.find(text);
        if (found != seen_.end()) return {found->second, false};
        const std::string_view kept_value = Kept(value);
        seen_.emplace(Kept(text), kept_value);
        return {kept_value, true};
    }

  private:
    std::string_view Kept(std::string_view text) {
        const auto begin = reinterpret_cast<std::uintptr_t>(lasting_.data());
        const auto at = reinterpret_cast<std::uintptr_t>(text.data());
        if (text.empty() || (at >= begin && at - begin + text.size() <= lasting_.size()))
            return text;
        return copies_.emplace_back(text);
    }

    std::string_view lasting_;
    std::deque<std::string> copies_;
    std::unordered_map<std::string_view, std::string_view> seen_;
};

}  // namespace quarvo::formats
