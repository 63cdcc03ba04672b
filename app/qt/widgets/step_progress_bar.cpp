// SPDX-License-Identifier: MIT
#include "step_progress_bar.h"

#include <algorithm>

namespace quarvo {

StepProgressBar::StepProgressBar(QWidget* parent) : QProgressBar(parent) {
    setTextVisible(false);
    showPosition();
}

void StepProgressBar::setMaxPosition(int max) {
    max_ = std::max(0, max);
    position_ = std::min(position_, max_);
    showPosition();
}

void StepProgressBar::setPosition(int position) {
    position_ = std::clamp(position, 0, max_);
    showPosition();
}

void StepProgressBar::stepIt() {
    const int before = position_;
    position_ = std::clamp(position_ + step_, 0, max_);
    if (position_ == before) return;
    showPosition();
    if (!isVisible()) return;
    const bool finished = position_ == max_;
    if (finished || !since_repaint_.isValid() || since_repaint_.elapsed() >= repaint_interval_ms_) {
        repaint();
        ++step_repaints_;
        since_repaint_.start();
    }
}

void StepProgressBar::showPosition() {
    // The displayed range never collapses to 0..0, Qt's busy indicator.
    setRange(0, std::max(1, max_));
    setValue(position_);
}

}  // namespace quarvo
