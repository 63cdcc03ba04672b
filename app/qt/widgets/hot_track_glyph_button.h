// SPDX-License-Identifier: MIT
// A push button with a glyph that has its own image for the disabled state,
// and the hot-track look while the mouse is over it.
#pragma once

#include <QPushButton>

#include "hot_track.h"

namespace quarvo {

class HotTrackGlyphButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(bool hotTrack READ hotTrack WRITE setHotTrack)

  public:
    explicit HotTrackGlyphButton(QWidget* parent = nullptr);
    explicit HotTrackGlyphButton(const QString& text, QWidget* parent = nullptr);

    // `disabled` is shown while the button is disabled; the icon size follows
    // the normal glyph.
    void setGlyph(const QPixmap& normal, const QPixmap& disabled);
    [[nodiscard]] QPixmap glyph() const { return glyph_; }
    [[nodiscard]] QPixmap disabledGlyph() const { return disabled_glyph_; }

    [[nodiscard]] bool hotTrack() const { return hot_track_.isEnabled(); }
    void setHotTrack(bool on) { hot_track_.setEnabled(on); }
    void setHotTrackFont(const QFont& font) { hot_track_.setFont(font); }
    [[nodiscard]] QFont hotTrackFont() const { return hot_track_.font(); }
    void setHotTrackColor(const QColor& color) { hot_track_.setColor(color); }
    [[nodiscard]] bool isHot() const { return hot_track_.isHot(); }

  private:
    HotTrack hot_track_{this};
    QPixmap glyph_;
    QPixmap disabled_glyph_;
};

}  // namespace quarvo
