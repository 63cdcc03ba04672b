// SPDX-License-Identifier: MIT
#include "error_report.h"

#include <QApplication>
#include <QMessageBox>

#include "app_globals.h"
#include "file_names.h"

namespace quarvo {
namespace {

ErrorHook& error_hook() {
    static ErrorHook hook;
    return hook;
}

}  // namespace

QString ErrorMessage(const std::exception& error) {
    // The core's messages carry file names as the file system's bytes.
    return FileNameText(error.what());
}

void ReportError(const std::exception& error) {
    const QString message = ErrorMessage(error);
    if (error_hook()) {
        error_hook()(message);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kApplicationTitle), message,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void SetErrorHook(ErrorHook hook) {
    error_hook() = std::move(hook);
}

}  // namespace quarvo
