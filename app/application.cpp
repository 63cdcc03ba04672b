// SPDX-License-Identifier: MIT
#include "application.h"

#include "error_report.h"

QuarvoApplication::QuarvoApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QuarvoApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        quarvo::ReportError(error);
        return false;
    }
}
