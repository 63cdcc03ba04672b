// SPDX-License-Identifier: MIT
#include "qt_desktop.h"

#include <QApplication>
#include <QMessageBox>

#include "app_globals.h"
#include "file_names.h"
#include "shell_folders.h"
#include "viewer_save_dialog.h"

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

namespace {

QWidget* asking_window() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

}  // namespace

bool QtDesktop::AskToSaveAnyway(std::string_view question) {
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kApplicationTitle),
                    QString::fromUtf8(question.data(), static_cast<qsizetype>(question.size())),
                    QMessageBox::Save | QMessageBox::Cancel, asking_window());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Save;
}

std::optional<std::string> QtDesktop::AskSaveFileName(const std::string& suggested) {
    SaveDialog dialog(asking_window());
    dialog.setObjectName(QStringLiteral("jsdFileSaveAs"));
    dialog.SetFileName(FileNameText(suggested));
    if (!dialog.Execute()) return std::nullopt;
    return FileNameBytes(dialog.FileName());
}

std::string QtDesktop::LookUpFolder(std::uint8_t kind) {
    return GetShellFolderPath(kind);
}

}  // namespace quarvo
