// SPDX-License-Identifier: MIT
// Opera on Unix writes its files with LF alone, and old Mac systems wrote
// CR alone; the converters cut at CR LF. Which line ends a file has is
// decided for the whole file: a file that holds a CR LF anywhere keeps all
// its bytes, so that an LF inside one of its values stays a byte of the value.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quarvo {

// True when `text` holds a CR or an LF but no CR LF anywhere: its line ends
// are then read as CR LF, every LF when it holds one, else every CR.
[[nodiscard]] bool NeedsCrLfLineEnds(std::string_view text) noexcept;

// How many bytes reading the line ends of `text` as CR LF adds: 0 unless
// NeedsCrLfLineEnds(text).
[[nodiscard]] std::size_t CrLfLineEndsGrowth(std::string_view text) noexcept;

// Rewrites the `size` bytes at `data` with their line ends read as CR LF, in
// place; `growth` is CrLfLineEndsGrowth of them, and there must be room for
// `size + growth` bytes.
void MakeLineEndsCrLfInPlace(char* data, std::size_t size, std::size_t growth) noexcept;

// `text` with its line ends read as CR LF where NeedsCrLfLineEnds(text);
// other text comes back unchanged.
[[nodiscard]] std::string WithCrLfLineEnds(std::string_view text);

}  // namespace quarvo
