// SPDX-License-Identifier: MIT
// The icon of a glyph button: the normal picture, and its own picture while
// the button is disabled.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace quarvo {

[[nodiscard]] QIcon glyphIcon(const QPixmap& normal, const QPixmap& disabled);

}  // namespace quarvo
