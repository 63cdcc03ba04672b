// Click and double-click handlers for widgets that have no such signals,
// such as plain labels: the small windows let most of their texts react.
#pragma once

#include <functional>

class QWidget;

namespace quarvo {

// Runs `handler` when the left button is pressed and released over `widget`.
void OnClick(QWidget* widget, std::function<void()> handler);

// Runs `handler` when `widget` is double-clicked with the left button.
void OnDoubleClick(QWidget* widget, std::function<void()> handler);

}  // namespace quarvo
