// SPDX-License-Identifier: MIT
// A label that reports clicks and double clicks, takes the hot-track look
// while the mouse is over it (unless switched off) and can show the hand
// pointer, for texts that act as links.
#pragma once

#include <QLabel>

#include "hot_track.h"

namespace quarvo {

class HotTrackLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(bool hotTrack READ hotTrack WRITE setHotTrack)
    Q_PROPERTY(bool handCursor READ handCursor WRITE setHandCursor)

  public:
    explicit HotTrackLabel(QWidget* parent = nullptr);
    explicit HotTrackLabel(const QString& text, QWidget* parent = nullptr);

    [[nodiscard]] bool hotTrack() const { return hot_track_.isEnabled(); }
    void setHotTrack(bool on) { hot_track_.setEnabled(on); }
    void setHotTrackFont(const QFont& font) { hot_track_.setFont(font); }
    [[nodiscard]] QFont hotTrackFont() const { return hot_track_.font(); }
    void setHotTrackColor(const QColor& color) { hot_track_.setColor(color); }
    [[nodiscard]] bool isHot() const { return hot_track_.isHot(); }

    [[nodiscard]] bool handCursor() const;
    void setHandCursor(bool on);

  signals:
    void clicked();
    void doubleClicked();

  private:
    HotTrack hot_track_{this};
};

}  // namespace quarvo
