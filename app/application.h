// SPDX-License-Identifier: MIT
// The program's application object. Every event goes through notify(); an
// error escaping an event handler is shown by the default error report
// there, and the event loop goes on.
#pragma once

#include <QApplication>

class QuarvoApplication : public QApplication {
    Q_OBJECT

  public:
    QuarvoApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
