// SPDX-License-Identifier: MIT
// A toolbar button: a glyph with its own image for the disabled state, a
// caption kept for menus and screen readers, the hint as tooltip and the
// hot-track look on hover. Shown flat until the mouse comes over it.
#pragma once

#include <QToolButton>

#include "hot_track.h"

namespace quarvo {

class SpeedButton : public QToolButton {
    Q_OBJECT
    Q_PROPERTY(bool hotTrack READ hotTrack WRITE setHotTrack)

  public:
    explicit SpeedButton(QWidget* parent = nullptr);

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
