// SPDX-License-Identifier: MIT
#include "glyph_icon.h"

namespace quarvo {

QIcon glyphIcon(const QPixmap& normal, const QPixmap& disabled) {
    QIcon icon;
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(normal, QIcon::Active);
    icon.addPixmap(disabled, QIcon::Disabled);
    return icon;
}

}  // namespace quarvo
