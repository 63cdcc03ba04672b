// SPDX-License-Identifier: MIT
// Texts met before, for the warnings about a URL or keyword met twice. A
// text that lies inside the input (`lasting`, alive as long as this) is
// remembered as a view of it; only one converted on its way (no longer in
// the input) is copied, so that a large hotlist's URLs are not held twice.
// One flat table of slots rather than a node per text: a hotlist of
// millions of URLs would spend its time in the allocator and in cache
// misses from node to node.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo::formats {

class SeenTexts {
  public:
    explicit SeenTexts(std::string_view lasting) : lasting_(lasting) {}

    // Whether `text` is new; it is remembered.
    bool Insert(std::string_view text) {
        if ((used_ + 1) * 2 > slots_.size()) Grow();
        for (std::size_t at = Home(text);; at = (at + 1) & (slots_.size() - 1)) {
            Slot& slot = slots_[at];
            if (slot.data == nullptr) {
                const std::string_view kept = Kept(text);
                slot = {kept.data(), kept.size()};
                ++used_;
                return true;
            }
            if (slot.text() == text) return false;
        }
    }

  private:
    // Two words a slot; the hash is worked out again when the table grows.
    struct Slot {
        const char* data = nullptr;
        std::size_t size = 0;
        [[nodiscard]] std::string_view text() const { return {data, size}; }
    };

    std::size_t Home(std::string_view text) const {
        return std::hash<std::string_view>{}(text) & (slots_.size() - 1);
    }

    void Grow() {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(old.empty() ? 1024 : old.size() * 2, Slot{});
        for (const Slot& slot : old) {
            if (slot.data == nullptr) continue;
            std::size_t at = Home(slot.text());
            while (slots_[at].data != nullptr) at = (at + 1) & (slots_.size() - 1);
            slots_[at] = slot;
        }
    }

    // The empty text is kept as a view of a static one, so that a slot's
    // null pointer means empty.
    std::string_view Kept(std::string_view text) {
        static constexpr char kNothing[] = "";
        if (text.empty()) return {kNothing, 0};
        const auto begin = reinterpret_cast<std::uintptr_t>(lasting_.data());
        const auto at = reinterpret_cast<std::uintptr_t>(text.data());
        if (at >= begin && at - begin + text.size() <= lasting_.size()) return text;
        return copies_.emplace_back(text);
    }

    std::string_view lasting_;
    std::deque<std::string> copies_;
    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};

}  // namespace quarvo::formats
