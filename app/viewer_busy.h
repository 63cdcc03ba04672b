// SPDX-License-Identifier: MIT
// What the viewer shows while it reads, loads or writes a file: a busy
// cursor at once, and a progress box over the viewer once the work has taken
// longer than a moment, which also lets the windows behind it repaint.
#pragma once

#include <QProgressDialog>

class ViewerBusy {
  public:
    // `steps` is how many times step() will be called.
    ViewerBusy(QWidget* parent, const QString& label, int steps);
    ~ViewerBusy();
    ViewerBusy(const ViewerBusy&) = delete;
    ViewerBusy& operator=(const ViewerBusy&) = delete;

    // One more step done.
    void step();

  private:
    QProgressDialog progress_;
    int done_ = 0;
};
