#include "hot_track_label.h"

#include <QMouseEvent>

HotTrackLabel::HotTrackLabel(QWidget* parent) : QLabel(parent) {}

HotTrackLabel::HotTrackLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

bool HotTrackLabel::handCursor() const {
    return testAttribute(Qt::WA_SetCursor) && cursor().shape() == Qt::PointingHandCursor;
}

void HotTrackLabel::setHandCursor(bool on) {
    if (on)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void HotTrackLabel::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) pressed_ = true;
}

// The release that ends a double click is no click of its own, so a double
// click reports one click and one double click, not two clicks.
void HotTrackLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    const bool click = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click) emit clicked();
}

void HotTrackLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton) return;
    pressed_ = false;
    emit doubleClicked();
}
