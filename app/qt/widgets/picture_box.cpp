// SPDX-License-Identifier: MIT
#include "picture_box.h"

#include "click_events.h"

namespace quarvo {

PictureBox::PictureBox(QWidget* parent) : QLabel(parent) {
    onClick(this, [this] { emit clicked(); });
    onDoubleClick(this, [this] { emit doubleClicked(); });
}

}  // namespace quarvo
