// SPDX-License-Identifier: MIT
// Where the smaller windows appear: centred over the main window, from their
// first showing on.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace quarvo {

// The client area of a window of client size `client` and frame `margins`
// whose frame is centred over `owner_frame`, moved as little as needed to
// lie within `room` (the screen's free area).
[[nodiscard]] QRect centredPlace(QSize client, QMargins margins, const QRect& owner_frame,
                                 const QRect& room);

// Every later showing of `window` centres it over the window of its parent
// widget. Before its first showing a window has no frame yet; the parent
// window's, drawn by the same window manager, stands in for it.
void centreOverParentWhenShown(QWidget* window);

}  // namespace quarvo
