#include "picture_box.h"

#include <QMouseEvent>

PictureBox::PictureBox(QWidget* parent) : QLabel(parent) {}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) pressed_ = true;
}

// The release that ends a double click is no click of its own, so a double
// click reports one click and one double click, not two clicks.
void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    const bool click = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click) emit clicked();
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton) return;
    pressed_ = false;
    emit doubleClicked();
}
