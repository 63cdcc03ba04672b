// SPDX-License-Identifier: MIT
#include "glyph_icon.h"

QIcon GlyphIcon(const QPixmap& normal, const QPixmap& disabled) {
    QIcon icon;
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(normal, QIcon::Active);
    icon.addPixmap(disabled, QIcon::Disabled);
    return icon;
}
