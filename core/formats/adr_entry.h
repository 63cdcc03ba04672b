// SPDX-License-Identifier: MIT
// Finding the entries, markers and key values of an Opera .adr file in one
// walk over the few bytes that matter. Shared by the Opera readers; not part
// of the public interface.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "text/scan/byte_set.h"

namespace quarvo::adr {

inline constexpr std::string_view kCrLf = "\r\n";
inline constexpr std::size_t kNone = std::string_view::npos;

// Visits, in order, every position of a text that holds one of `Bytes`.
//
// A converter walks a file once through the few bytes that matter to it
// (line ends, '=', marker starts). Blocks of 32 bytes are classified at once
// and the hits of a block are then taken from its bit mask, so that a hit
// costs a few instructions instead of a search call.
template <char... Bytes>
class ByteHits {
  public:
    ByteHits(std::string_view text, std::size_t from) noexcept
        : data_(text.data()), size_(text.size()) {
        Load(from);
    }

    // The next hit, or kNone after the last.
    [[nodiscard]] std::size_t Next() noexcept {
        while (mask_ == 0) {
            if (base_ + kBlock >= size_) return kNone;
            Load(base_ + kBlock);
        }
        const std::size_t at = base_ + static_cast<std::size_t>(std::countr_zero(mask_));
        mask_ &= mask_ - 1;
        return at;
    }

    // Visits the hits from `from` on again, also those already visited.
    void Rewind(std::size_t from) noexcept { Load(from); }

    // Drops the hits before `from`; `from` may lie anywhere ahead.
    void SkipTo(std::size_t from) noexcept {
        if (from >= base_ + kBlock) {
            Load(from);
        } else if (from > base_) {
            mask_ &= ~0u << (from - base_);
        }
    }

  private:
    static constexpr std::size_t kBlock = 32;

    void Load(std::size_t from) noexcept {
        base_ = from;
        mask_ = 0;
        if (from >= size_) return;
        mask_ = from + kBlock <= size_ ? scan::HitsIn32<Bytes...>(data_ + from)
                                       : scan::HitsIn<Bytes...>(data_ + from, size_ - from);
    }

    const char* data_;
    std::size_t size_;
    std::size_t base_ = 0;
    unsigned mask_ = 0;
};

// Whether `text` holds `word` at offset `at`. Markers are a few bytes long
// and most candidates differ in their second byte, where a plain loop beats
// a call to memcmp.
[[nodiscard]] inline bool HoldsAt(std::string_view text, std::size_t at,
                                  std::string_view word) noexcept {
    if (text.size() - at < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (text[at + i] != word[i]) return false;
    return true;
}

// The keys whose values a converter takes from an entry (all ending in '='),
// recognised at the '=' that ends them. The two bytes before '=' pick the few
// keys worth comparing, and a key is compared as two 8-byte words: the
// sixteen bytes that end at the '=', masked to the key's length.
template <std::size_t N>
class KeySet {
  public:
    static_assert(N < 32);
    using Mask = std::uint32_t;
    static constexpr std::size_t kLongestKey = 16;

    constexpr explicit KeySet(const std::array<std::string_view, N>& keys) : keys_(keys) {
        for (std::size_t k = 0; k < N; ++k) {
            const std::string_view key = keys[k];
            // The sets are constants, so a bad key stops the build here.
            if (key.size() < 3 || key.size() > kLongestKey || key.back() != '=') throw "bad key";
            by_last_bytes_[Slot(key[key.size() - 3], key[key.size() - 2])] |= Mask{1} << k;
            // Byte j of the sixteen goes to word j / 8, where a load of eight
            // bytes puts it.
            for (std::size_t i = 0; i < key.size(); ++i) {
                const std::size_t j = kLongestKey - key.size() + i;
                const std::size_t shift =
                    std::endian::native == std::endian::little ? 8 * (j % 8) : 8 * (7 - j % 8);
                const auto byte = static_cast<std::uint64_t>(static_cast<unsigned char>(key[i]));
                words_[k][j / 8] |= byte << shift;
                masks_[k][j / 8] |= std::uint64_t{0xFF} << shift;
            }
        }
    }

    // The keys among `wanted` that end at the '=' at `eq`, none of them
    // starting before `floor`.
    [[nodiscard]] Mask EndingAt(const char* text, std::size_t floor, std::size_t eq,
                                Mask wanted) const noexcept {
        if (eq < floor + 2) return 0;
        Mask candidates = by_last_bytes_[Slot(text[eq - 2], text[eq - 1])] & wanted;
        if (candidates == 0) return 0;
        const bool whole_words = eq + 1 >= floor + kLongestKey;
        std::uint64_t low = 0, high = 0;
        if (whole_words) {
            std::memcpy(&low, text + eq + 1 - kLongestKey, 8);
            std::memcpy(&high, text + eq + 1 - kLongestKey + 8, 8);
        }
        Mask matched = 0;
        while (candidates != 0) {
            const auto k = static_cast<std::size_t>(std::countr_zero(candidates));
            candidates &= candidates - 1;
            const std::string_view key = keys_[k];
            if (whole_words) {
                if ((low & masks_[k][0]) == words_[k][0] && (high & masks_[k][1]) == words_[k][1])
                    matched |= Mask{1} << k;
            } else if (eq + 1 - floor >= key.size() &&
                       HoldsAt(std::string_view(text, eq + 1), eq + 1 - key.size(), key)) {
                matched |= Mask{1} << k;
            }
        }
        return matched;
    }

  private:
    // The two bytes before '=' pick a slot; keys that share one are all
    // compared.
    static constexpr std::size_t Slot(char before_last, char last) noexcept {
        return (static_cast<unsigned char>(before_last) * 7u + static_cast<unsigned char>(last)) &
               255u;
    }

    std::array<std::string_view, N> keys_;
    std::array<Mask, 256> by_last_bytes_{};
    std::array<std::array<std::uint64_t, 2>, N> words_{};
    std::array<std::array<std::uint64_t, 2>, N> masks_{};
};

// The values of an entry's keys as they are found. A key's value starts after
// its first occurrence and runs to the next CR LF, or to the end of the entry;
// a value is open from its key until that line end is seen.
template <std::size_t N>
class EntryValues {
  public:
    using Mask = typename KeySet<N>::Mask;

    void Clear() noexcept {
        found_ = 0;
        open_ = 0;
    }
    [[nodiscard]] Mask missing() const noexcept { return ~found_ & ((Mask{1} << N) - 1); }

    void Open(Mask keys, std::size_t value_begin) noexcept {
        found_ |= keys;
        open_ |= keys;
        for (Mask m = keys; m != 0; m &= m - 1) {
            const auto k = static_cast<std::size_t>(std::countr_zero(m));
            begin_[k] = value_begin;
        }
    }
    // A line end (or the end of the entry) at `at` ends every open value.
    void CloseAt(std::size_t at) noexcept {
        for (Mask m = open_; m != 0; m &= m - 1)
            end_[static_cast<std::size_t>(std::countr_zero(m))] = at;
        open_ = 0;
    }

    // Key `k`'s value, empty when the entry lacks the key.
    [[nodiscard]] std::string_view Of(const char* text, std::size_t k) const noexcept {
        if ((found_ & (Mask{1} << k)) == 0) return {};
        return {text + begin_[k], end_[k] - begin_[k]};
    }

  private:
    Mask found_ = 0;
    Mask open_ = 0;
    std::array<std::size_t, N> begin_{};
    std::array<std::size_t, N> end_{};
};

}  // namespace quarvo::adr
