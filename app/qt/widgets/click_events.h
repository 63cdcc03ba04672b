// SPDX-License-Identifier: MIT
// Click and double-click handlers for widgets that have no such signals,
// such as plain labels. A double click is one click and one double click:
// the release that ends it is no second click.
#pragma once

#include <functional>

class QWidget;

namespace quarvo {

// Runs `handler` when the left button is pressed and released over `widget`.
void onClick(QWidget* widget, std::function<void()> handler);

// Runs `handler` when `widget` is double-clicked with the left button.
void onDoubleClick(QWidget* widget, std::function<void()> handler);

}  // namespace quarvo
