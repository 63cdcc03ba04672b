// SPDX-License-Identifier: MIT
#include "speed_button.h"

#include "glyph_icon.h"

namespace quarvo {

SpeedButton::SpeedButton(QWidget* parent) : QToolButton(parent) {
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setFocusPolicy(Qt::NoFocus);
}

void SpeedButton::setGlyph(const QPixmap& normal, const QPixmap& disabled) {
    glyph_ = normal;
    disabled_glyph_ = disabled;
    setIcon(glyphIcon(normal, disabled));
    if (!normal.isNull()) setIconSize(normal.deviceIndependentSize().toSize());
}

}  // namespace quarvo
