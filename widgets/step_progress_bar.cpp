// SPDX-License-Identifier: MIT
#include "step_progress_bar.h"

#include <algorithm>

StepProgressBar::StepProgressBar(QWidget* parent) : QProgressBar(parent) {
    setTextVisible(false);
    show_position();
}

void StepProgressBar::setMaxPosition(int max) {
    max_ = std::max(0, max);
    position_ = std::min(position_, max_);
    show_position();
}

void StepProgressBar::setPosition(int position) {
    position_ = std::clamp(position, 0, max_);
    show_position();
}

void StepProgressBar::stepIt() {
    const int before = position_;
    position_ = std::clamp(position_ + step_, 0, max_);
    if (position_ == before) return;
    show_position();
    if (!isVisible()) return;
    const bool finished = position_ == max_;
    if (finished || !since_repaint_.isValid() || since_repaint_.elapsed() >= repaint_interval_ms_) {
        repaint();
        ++step_repaints_;
        since_repaint_.start();
    }
}

void StepProgressBar::show_position() {
    // The displayed range never collapses to 0..0, Qt's busy indicator.
    setRange(0, std::max(1, max_));
    setValue(position_);
}
