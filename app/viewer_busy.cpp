// SPDX-License-Identifier: MIT
#include "viewer_busy.h"

#include <QApplication>

#include "app_globals.h"

ViewerBusy::ViewerBusy(QWidget* parent, const QString& label, int steps)
    : progress_(label, QString(), 0, steps, parent) {
    progress_.setWindowTitle(QString::fromLatin1(quarvo::kApplicationTitle));
    // Modal, so that the steps may let paint events through while no click
    // reaches the viewer half-way; no cancel, as a half-done load or save
    // is worse than a finished one.
    progress_.setWindowModality(Qt::WindowModal);
    progress_.setCancelButton(nullptr);
    progress_.setMinimumDuration(400);
    progress_.setAutoClose(false);
    progress_.setValue(0);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

ViewerBusy::~ViewerBusy() {
    QApplication::restoreOverrideCursor();
}

void ViewerBusy::step() {
    progress_.setValue(++done_);
}
