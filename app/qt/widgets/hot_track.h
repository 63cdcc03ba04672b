// SPDX-License-Identifier: MIT
// The hover look shared by the hot-track controls: while the mouse is over an
// enabled control, its text takes the hot-track font and colour, and gets its
// own look back when the mouse leaves or the control is disabled.
#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPalette>
#include <optional>

class QWidget;

namespace quarvo {

// Watches the control's enter, leave and enabled-change events itself, so
// that each hot-track control needs no event handlers of its own for it.
class HotTrack : public QObject {
  public:
    explicit HotTrack(QWidget* widget);

    // Unless set, the hot-track font is the control's own font underlined.
    void setFont(const QFont& font);
    [[nodiscard]] QFont font() const;
    void setColor(const QColor& color);
    [[nodiscard]] QColor color() const { return color_; }

    void setEnabled(bool enabled);
    [[nodiscard]] bool isEnabled() const { return enabled_; }
    [[nodiscard]] bool isHot() const { return hot_; }

    void enter();
    void leave();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* widget_;
    std::optional<QFont> font_;
    QColor color_{0, 0, 192};
    bool enabled_ = true;
    bool hot_ = false;
    // What the control looked like before, and whether that was its own
    // setting or inherited from its parent, so that leaving restores either.
    QFont saved_font_;
    QPalette saved_palette_;
    bool had_own_font_ = false;
    bool had_own_palette_ = false;
};

}  // namespace quarvo
