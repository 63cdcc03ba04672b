// Opera on Unix writes its files with LF alone; the converters cut at CR LF.
#pragma once

#include <string>
#include <string_view>

namespace quarvo {

// True when `text` holds an LF that is not preceded by CR.
[[nodiscard]] bool HasBareLineFeed(std::string_view text) noexcept;

// `text` with every LF that is not preceded by CR written as CR LF. Text
// without such an LF comes back unchanged.
[[nodiscard]] std::string WithCrLfLineEnds(std::string_view text);

}  // namespace quarvo
