// SPDX-License-Identifier: MIT
#include "hot_track.h"

#include <QEvent>
#include <QWidget>

namespace quarvo {

HotTrack::HotTrack(QWidget* widget) : widget_(widget) {
    widget->installEventFilter(this);
}

bool HotTrack::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget_) {
        switch (event->type()) {
            case QEvent::Enter:
                enter();
                break;
            case QEvent::Leave:
                leave();
                break;
            case QEvent::EnabledChange:
                if (!widget_->isEnabled()) leave();
                break;
            default:
                break;
        }
    }
    return false;
}

void HotTrack::setFont(const QFont& font) {
    font_ = font;
    if (hot_) widget_->setFont(font);
}

QFont HotTrack::font() const {
    if (font_) return *font_;
    QFont underlined = hot_ ? saved_font_ : widget_->font();
    underlined.setUnderline(true);
    return underlined;
}

void HotTrack::setColor(const QColor& color) {
    color_ = color;
}

void HotTrack::setEnabled(bool enabled) {
    if (!enabled) leave();
    enabled_ = enabled;
}

void HotTrack::enter() {
    if (hot_ || !enabled_ || !widget_->isEnabled()) return;
    saved_font_ = widget_->font();
    saved_palette_ = widget_->palette();
    had_own_font_ = widget_->testAttribute(Qt::WA_SetFont);
    had_own_palette_ = widget_->testAttribute(Qt::WA_SetPalette);
    const QFont hot_font = font();
    hot_ = true;
    widget_->setFont(hot_font);
    QPalette hot_palette = saved_palette_;
    hot_palette.setColor(QPalette::ButtonText, color_);
    hot_palette.setColor(QPalette::WindowText, color_);
    widget_->setPalette(hot_palette);
}

void HotTrack::leave() {
    if (!hot_) return;
    hot_ = false;
    widget_->setFont(had_own_font_ ? saved_font_ : QFont());
    widget_->setPalette(had_own_palette_ ? saved_palette_ : QPalette());
}

}  // namespace quarvo
