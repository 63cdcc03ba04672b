// SPDX-License-Identifier: MIT
#include "hot_track_glyph_button.h"

#include "glyph_icon.h"

namespace quarvo {

HotTrackGlyphButton::HotTrackGlyphButton(QWidget* parent) : QPushButton(parent) {}

HotTrackGlyphButton::HotTrackGlyphButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent) {}

void HotTrackGlyphButton::setGlyph(const QPixmap& normal, const QPixmap& disabled) {
    glyph_ = normal;
    disabled_glyph_ = disabled;
    setIcon(glyphIcon(normal, disabled));
    if (!normal.isNull()) setIconSize(normal.deviceIndependentSize().toSize());
}

}  // namespace quarvo
