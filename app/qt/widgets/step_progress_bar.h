// SPDX-License-Identifier: MIT
// A progress bar driven in steps from inside a long synchronous job on the
// user-interface thread. It keeps its own maximum and position so that a
// maximum of 0 is an empty bar (QProgressBar would show a busy indicator)
// and setting the maximum below the position brings the position down to it.
// A step past the maximum keeps the bar full.
//
// Nothing else gets painted while such a job runs, so stepIt() paints the
// bar itself; it does so at most once per repaint interval, and once more
// on reaching the maximum, so that painting stays a small share of the job.
#pragma once

#include <QElapsedTimer>
#include <QProgressBar>

namespace quarvo {

class StepProgressBar : public QProgressBar {
    Q_OBJECT
    Q_PROPERTY(int maxPosition READ maxPosition WRITE setMaxPosition)
    Q_PROPERTY(int position READ position WRITE setPosition)
    Q_PROPERTY(int step READ step WRITE setStep)

  public:
    explicit StepProgressBar(QWidget* parent = nullptr);

    [[nodiscard]] int maxPosition() const { return max_; }
    void setMaxPosition(int max);
    [[nodiscard]] int position() const { return position_; }
    void setPosition(int position);
    [[nodiscard]] int step() const { return step_; }
    void setStep(int step) { step_ = step; }

    // Adds the step to the position.
    void stepIt();

    void setRepaintInterval(int milliseconds) { repaint_interval_ms_ = milliseconds; }
    [[nodiscard]] int repaintInterval() const { return repaint_interval_ms_; }
    // How often stepIt() has painted the bar, for measuring the throttle.
    [[nodiscard]] long long stepRepaints() const { return step_repaints_; }

  private:
    void showPosition();

    int max_ = 100;
    int position_ = 0;
    int step_ = 1;
    int repaint_interval_ms_ = 40;
    long long step_repaints_ = 0;
    QElapsedTimer since_repaint_;
};

}  // namespace quarvo
