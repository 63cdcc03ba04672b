// Reading values out of one entry of an Opera .adr file. Shared by both
// converters; not part of the public interface.
#pragma once

#include <string_view>

#include "strman.h"

namespace quarvo::adr {

inline constexpr std::string_view kCrLf = "\r\n";

// The value of `key`: the bytes after its first occurrence anywhere in the
// entry up to the next CR LF, or to the end of the entry; empty when absent.
[[nodiscard]] inline std::string_view Value(std::string_view entry, std::string_view key) noexcept {
    return StrMan.TextBefore(kCrLf, StrMan.TextAfter(key, entry));
}

}  // namespace quarvo::adr
