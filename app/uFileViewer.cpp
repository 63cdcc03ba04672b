// SPDX-License-Identifier: MIT
#include "uFileViewer.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QToolButton>
#include <string>

#include "app_globals.h"
#include "file_layer.h"
#include "image_list.h"
#include "message_box.h"
#include "strman.h"
#include "text_editor.h"
#include "viewer_busy.h"
#include "viewer_look.h"
#include "viewer_save_dialog.h"

namespace {

constexpr int kClientWidth = 582;
constexpr int kClientHeight = 438;
constexpr int kToolBarHeight = 29;

QString FromLocal(const std::string& name) {
    return QFile::decodeName(QByteArray::fromStdString(name));
}
std::string ToLocal(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

// The question for a text that holds characters its file cannot.
QString UnencodableQuestion(const quarvo::EncodedText& text) {
    const char32_t first = text.first_unencodable;
    return QStringLiteral(
               "This file is kept one byte per character (Windows-1252), which has no byte "
               "for %1 of the characters in the text, the first being \"%2\" (U+%3).\n\n"
               "Each of them would be saved as \"?\". Save anyway?")
        .arg(text.unencodable)
        .arg(QString::fromUcs4(&first, 1),
             QString::number(static_cast<uint>(first), 16).toUpper().rightJustified(4, u'0'));
}

}  // namespace

TfFileViewer::TfFileViewer(quarvo::Desktop& desktop, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      desktop_(desktop) {
    setObjectName(QStringLiteral("fFileViewer"));
    setWindowTitle(QStringLiteral("Quarvo - [Fileviewer]"));
    setFont(quarvo::WindowFont());
    setFixedSize(kClientWidth, kClientHeight);

    CreateToolBar();

    jmeFile = new TextEditor(this);
    jmeFile->setObjectName(QStringLiteral("jmeFile"));
    jmeFile->setGeometry(0, kToolBarHeight, kClientWidth, kClientHeight - kToolBarHeight);
    jmeFile->setFocusPolicy(Qt::StrongFocus);

    jsdFileSaveAs = new SaveDialog(this);
    jsdFileSaveAs->setObjectName(QStringLiteral("jsdFileSaveAs"));
}

QToolButton* TfFileViewer::AddToolButton(const char* name, int left, int picture,
                                         const QString& hint) {
    auto* button = new QToolButton(ToolBar1);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(left, 2, 23, 22);
    button->setAutoRaise(true);
    button->setIcon(quarvo::ImageListIcon(picture));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void TfFileViewer::CreateToolBar() {
    ToolBar1 = new QWidget(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setGeometry(0, 0, kClientWidth, kToolBarHeight);

    tbReload = AddToolButton("tbReload", 0, quarvo::image_list::kReload,
                             QStringLiteral("Reload file, discard all changes "));
    tbSaveAs =
        AddToolButton("tbSaveAs", 23, quarvo::image_list::kSaveAs, QStringLiteral("Save as ... "));
    tbSaveFile = AddToolButton(
        "tbSaveFile", 46, quarvo::image_list::kSave,
        QStringLiteral("Save changes\n"
                       "\n"
                       "Be careful when you edited your original opera-file \n"
                       "if you did something wrong your original bookmarks/contacts \n"
                       "will be overwritten !!!"));
    tbSearch = AddToolButton("tbSearch", 69, quarvo::image_list::kSearch,
                             QStringLiteral("Search within this file"));
    tbSearch->setEnabled(false);

    auto* separator = new QFrame(ToolBar1);
    separator->setObjectName(QStringLiteral("ToolButtonSeparator"));
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(92, 2, 21, 22);

    tbClose = AddToolButton("tbClose", 113, quarvo::image_list::kExit,
                            QStringLiteral("Close, go back to Main-Window"));

    // File errors end the click at its receiver and go to the error report.
    connect(tbReload, &QToolButton::clicked, this,
            quarvo::Reporting(desktop_, [this] { tbReloadClick(); }));
    connect(tbSaveAs, &QToolButton::clicked, this,
            quarvo::Reporting(desktop_, [this] { tbSaveAsClick(); }));
    connect(tbSaveFile, &QToolButton::clicked, this,
            quarvo::Reporting(desktop_, [this] { tbSaveFileClick(); }));
    connect(tbClose, &QToolButton::clicked, this, &TfFileViewer::tbCloseClick);
}

void TfFileViewer::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Queued so that it runs once per showing, from the event loop, after
    // the window is up: a file error's box then appears over the viewer.
    if (!event->spontaneous()) {
        QMetaObject::invokeMethod(this, quarvo::Reporting(desktop_, [this] { FormActivate(); }),
                                  Qt::QueuedConnection);
    }
}

void TfFileViewer::keyPressEvent(QKeyEvent* event) {
    // The window has no close button; the toolbar's is the one way back, so
    // Escape must not drop the user's edits behind their back.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfFileViewer::FormActivate() {
    const std::string_view shown_name =
        quarvo::StrMan.TextAfterLast(std::string_view(&quarvo::kPathSeparator, 1), ViewedFileName);
    setWindowTitle(QStringLiteral("Quarvo - [") + FromLocal(std::string(shown_name)) +
                   QStringLiteral("]"));

    // Emptied first: should reading fail, text of an earlier showing must
    // not stay where a Save would write it over the newly named file.
    jmeFile->SetText({});
    if (!quarvo::PlainFileExists(ViewedFileName)) return;
    Load(/*write_backup=*/true);
}

void TfFileViewer::Load(bool write_backup) {
    ViewerBusy busy(this, QDir::toNativeSeparators(FromLocal(ViewedFileName)),
                    write_backup ? 3 : 2);
    const std::string bytes = quarvo::ReadWholeFile(ViewedFileName);
    busy.Step();
    jmeFile->SetText(bytes);
    busy.Step();
    if (!write_backup) return;
    // The backup is the file as it is on disk, whatever the editor makes of it.
    quarvo::WriteWholeFile(kBackupFileName, bytes);
    busy.Step();
}

void TfFileViewer::tbReloadClick() {
    Load(/*write_backup=*/false);
}

void TfFileViewer::Save(const std::string& file_name, bool unless_empty) {
    quarvo::EncodedText text;
    {
        ViewerBusy busy(this, QString(), 1);
        text = jmeFile->Encoded();
        busy.Step();
    }
    if (unless_empty && text.bytes.empty()) return;
    if (text.unencodable != 0 && !quarvo::AskToSaveAnyway(this, UnencodableQuestion(text))) return;
    ViewerBusy busy(this, QDir::toNativeSeparators(FromLocal(file_name)), 1);
    quarvo::WriteWholeFile(file_name, text.bytes);
    busy.Step();
}

void TfFileViewer::tbSaveFileClick() {
    // Saving never creates a file, and an empty editor never blanks one.
    if (!quarvo::PlainFileExists(ViewedFileName)) return;
    Save(ViewedFileName, /*unless_empty=*/true);
}

void TfFileViewer::tbSaveAsClick() {
    jsdFileSaveAs->SetFileName(FromLocal(ViewedFileName));
    if (!jsdFileSaveAs->Execute()) return;
    Save(ToLocal(jsdFileSaveAs->FileName()), /*unless_empty=*/false);
}

void TfFileViewer::tbCloseClick() {
    close();
}
