// SPDX-License-Identifier: MIT
#include "viewer_busy.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QWindow>
#include <algorithm>

namespace {

// A window just shown is mapped by the window manager a moment later; work
// begun before that leaves an empty frame on the screen until it is done.
void waitUntilExposed(QWidget* window) {
    const QWindow* handle = window->windowHandle();
    QElapsedTimer waited;
    waited.start();
    while (handle && window->isVisible() && !handle->isExposed() && waited.elapsed() < 500)
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
}

}  // namespace

ViewerBusy::ViewerBusy(QProgressBar* bar, const QString& label, int steps) : bar_(bar) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bar_->setRange(0, std::max(1, steps));
    bar_->setValue(0);
    bar_->setFormat(label.isEmpty() ? QStringLiteral("%p%") : label + QStringLiteral("  %p%"));
    bar_->show();
    waitUntilExposed(bar_->window());
    paint();
}

ViewerBusy::~ViewerBusy() {
    bar_->hide();
    QApplication::restoreOverrideCursor();
}

void ViewerBusy::step() {
    bar_->setValue(std::min(++done_, bar_->maximum()));
    bar_->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ViewerBusy::paint() {
    // Only painting: a click must not reach the viewer half-way through.
    bar_->window()->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
