// SPDX-License-Identifier: MIT
#include "qt_desktop.h"

#include <QApplication>
#include <QMessageBox>

#include "app_globals.h"
#include "file_names.h"
#include "shell_folders.h"

namespace quarvo {

void QtDesktop::ShowMessage(std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), FileNameText(text),
                    QMessageBox::Ok, main_window_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtDesktop::ReportError(std::string_view message) {
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kApplicationTitle),
                    FileNameText(message), QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

std::string QtDesktop::LookUpFolder(std::uint8_t kind) {
    return GetShellFolderPath(kind);
}

}  // namespace quarvo
