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
#include "report_box.h"
#include "shell_folders.h"
#include "viewer_save_dialog.h"
#include "window_placement.h"

namespace quarvo {

namespace {

QWidget* askingWindow() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

// A box of the program: plain text, the application title, centred over
// `owner` as the other windows are.
int runBox(QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons,
           QMessageBox::StandardButton default_button, QWidget* owner) {
    QMessageBox box(icon, QString::fromLatin1(kApplicationTitle), text, buttons, owner);
    box.setTextFormat(Qt::PlainText);
    if (default_button != QMessageBox::NoButton) box.setDefaultButton(default_button);
    centreOverParentWhenShown(&box);
    return box.exec();
}

}  // namespace

void QtDesktop::ShowMessage(std::string_view text) {
    runBox(QMessageBox::NoIcon, fileNameText(text), QMessageBox::Ok, QMessageBox::NoButton,
           main_window_);
}

void QtDesktop::ShowReport(std::string_view text, std::string_view details) {
    QWidget* owner = askingWindow();
    ReportBox box(fileNameText(text), details, owner ? owner : main_window_);
    centreOverParentWhenShown(&box);
    box.exec();
}

void QtDesktop::ReportError(std::string_view message) {
    runBox(QMessageBox::Critical, fileNameText(message), QMessageBox::Ok, QMessageBox::NoButton,
           QApplication::activeWindow());
}

bool QtDesktop::AskToSaveAnyway(std::string_view question) {
    return runBox(QMessageBox::Warning,
                  QString::fromUtf8(question.data(), static_cast<qsizetype>(question.size())),
                  QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Cancel,
                  askingWindow()) == QMessageBox::Save;
}

SaveChoice QtDesktop::AskToSaveChanges(std::string_view question) {
    switch (runBox(QMessageBox::Warning, fileNameText(question),
                   QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                   QMessageBox::Save, askingWindow())) {
        case QMessageBox::Save:
            return SaveChoice::Save;
        case QMessageBox::Discard:
            return SaveChoice::Discard;
        default:
            return SaveChoice::Cancel;
    }
}

bool QtDesktop::AskToReplace(std::string_view question) {
    return runBox(QMessageBox::Warning, fileNameText(question), QMessageBox::Yes | QMessageBox::No,
                  QMessageBox::No, askingWindow()) == QMessageBox::Yes;
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
