// SPDX-License-Identifier: MIT
// What the viewer shows while it reads, loads or writes a file: a busy
// cursor at once, and its progress in the viewer's own toolbar, painted at
// each step so that the window shows what goes on rather than nothing.
#pragma once

#include <QString>

class QProgressBar;

class ViewerBusy {
  public:
    // `steps` is how many times step() will be called at most; `bar` is the
    // viewer's progress bar, shown with `label` until this is destroyed.
    ViewerBusy(QProgressBar* bar, const QString& label, int steps);
    ~ViewerBusy();
    ViewerBusy(const ViewerBusy&) = delete;
    ViewerBusy& operator=(const ViewerBusy&) = delete;

    // One more step done.
    void step();

  private:
    void paint();

    QProgressBar* bar_;
    int done_ = 0;
};
