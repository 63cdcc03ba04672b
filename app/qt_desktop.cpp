// SPDX-License-Identifier: MIT
#include "qt_desktop.h"

#include <QApplication>
#include <QMessageBox>

#ifdef _WIN32
#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>
#else
#include <QDesktopServices>
#include <QUrl>
#endif

#include "app_globals.h"
#include "file_names.h"
#include "shell_folders.h"
#include "viewer_save_dialog.h"

namespace quarvo {

void QtDesktop::ShowMessage(std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), fileNameText(text),
                    QMessageBox::Ok, main_window_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtDesktop::ReportError(std::string_view message) {
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kApplicationTitle),
                    fileNameText(message), QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

namespace {

QWidget* askingWindow() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

}  // namespace

bool QtDesktop::AskToSaveAnyway(std::string_view question) {
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kApplicationTitle),
                    QString::fromUtf8(question.data(), static_cast<qsizetype>(question.size())),
                    QMessageBox::Save | QMessageBox::Cancel, askingWindow());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Save;
}

std::optional<std::string> QtDesktop::AskSaveFileName(const std::string& suggested) {
    SaveDialog dialog(askingWindow());
    dialog.setObjectName(QStringLiteral("jsdFileSaveAs"));
    dialog.setFileName(fileNameText(suggested));
    if (!dialog.execute()) return std::nullopt;
    return fileNameBytes(dialog.fileName());
}

QWidget* QtDesktop::linkOwner() const {
    return main_window_ ? main_window_ : QApplication::activeWindow();
}

void QtDesktop::OpenLink(const std::string& link) {
#ifdef _WIN32
    QWidget* owner = linkOwner();
    HWND window = owner ? reinterpret_cast<HWND>(owner->window()->winId()) : nullptr;
    ShellExecuteA(window, nullptr, link.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
#else
    // The desktop's opener wants a URL; tolerant parsing keeps the link as
    // built and escapes only what a URL cannot carry (the subject's blanks).
    QDesktopServices::openUrl(
        QUrl(QString::fromLocal8Bit(link.data(), static_cast<qsizetype>(link.size())),
             QUrl::TolerantMode));
#endif
}

std::string QtDesktop::LookUpFolder(std::uint8_t kind) {
    return GetShellFolderPath(kind);
}

}  // namespace quarvo
