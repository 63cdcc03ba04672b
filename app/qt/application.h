// SPDX-License-Identifier: MIT
// The program's application object. Every event goes through notify(); an
// error escaping an event handler is shown by the desktop's error report
// there, and the event loop goes on.
#pragma once

#include <QApplication>

#include "qt_desktop.h"

class QuarvoApplication : public QApplication {
    Q_OBJECT
  public:
    QuarvoApplication(int& argc, char** argv);

    // Where errors escaping a handler are reported: the Qt desktop's box
    // until another desktop is given; nullptr brings the box back.
    void setErrorReport(quarvo::Desktop* desktop) { error_report_ = desktop; }

    bool notify(QObject* receiver, QEvent* event) override;

  private:
    quarvo::QtDesktop own_desktop_;
    quarvo::Desktop* error_report_ = nullptr;
};
