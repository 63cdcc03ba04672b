// SPDX-License-Identifier: MIT
// The look the program's smaller windows share: their fixed layouts are
// measured for an 8-point sans-serif face at 96 dpi, so text is sized in
// pixels and a face of similar width stands in where that one is missing.
#pragma once

#include <QFont>

namespace quarvo {

// The windows' face at `pixel_size` (11 pixels is 8 points at 96 dpi).
[[nodiscard]] QFont windowFont(int pixel_size = 11, bool bold = false);

}  // namespace quarvo
