// SPDX-License-Identifier: MIT
// The icon of a glyph button: the normal picture, and its own picture while
// the button is disabled.
#pragma once

#include <QIcon>
#include <QPixmap>

[[nodiscard]] QIcon GlyphIcon(const QPixmap& normal, const QPixmap& disabled);
