// SPDX-License-Identifier: MIT
#include "hot_track_label.h"

#include "click_events.h"

namespace quarvo {

HotTrackLabel::HotTrackLabel(QWidget* parent) : HotTrackLabel(QString(), parent) {}

HotTrackLabel::HotTrackLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    onClick(this, [this] { emit clicked(); });
    onDoubleClick(this, [this] { emit doubleClicked(); });
}

bool HotTrackLabel::handCursor() const {
    return testAttribute(Qt::WA_SetCursor) && cursor().shape() == Qt::PointingHandCursor;
}

void HotTrackLabel::setHandCursor(bool on) {
    if (on)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

}  // namespace quarvo
