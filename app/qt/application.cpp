// SPDX-License-Identifier: MIT
#include "application.h"

QuarvoApplication::QuarvoApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QuarvoApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        (error_report_ ? *error_report_ : own_desktop_).ReportError(error.what());
        return false;
    }
}
