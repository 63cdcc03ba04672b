// SPDX-License-Identifier: MIT
#include "picture_box.h"

#include "click_events.h"

PictureBox::PictureBox(QWidget* parent) : QLabel(parent) {
    quarvo::OnClick(this, [this] { emit clicked(); });
    quarvo::OnDoubleClick(this, [this] { emit doubleClicked(); });
}
