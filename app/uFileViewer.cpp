#include "uFileViewer.h"

#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QToolButton>

#include "app_globals.h"
#include "error_report.h"
#include "file_layer.h"
#include "image_list.h"
#include "strman.h"
#include "text_editor.h"
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

}  // namespace

TfFileViewer::TfFileViewer(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
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
    connect(tbReload, &QToolButton::clicked, this, quarvo::Reporting([this] { tbReloadClick(); }));
    connect(tbSaveAs, &QToolButton::clicked, this, quarvo::Reporting([this] { tbSaveAsClick(); }));
    connect(tbSaveFile, &QToolButton::clicked, this,
            quarvo::Reporting([this] { tbSaveFileClick(); }));
    connect(tbClose, &QToolButton::clicked, this, &TfFileViewer::tbCloseClick);
}

void TfFileViewer::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Queued so that it runs once per showing, from the event loop, after
    // the window is up: a file error's box then appears over the viewer.
    if (!event->spontaneous()) {
        QMetaObject::invokeMethod(this, quarvo::Reporting([this] { FormActivate(); }),
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
    jmeFile->SetText(quarvo::ReadWholeFile(ViewedFileName));
    quarvo::WriteWholeFile(kBackupFileName, jmeFile->Text());
}

void TfFileViewer::tbReloadClick() {
    jmeFile->SetText(quarvo::ReadWholeFile(ViewedFileName));
}

void TfFileViewer::tbSaveFileClick() {
    // Saving never creates a file, and an empty editor never blanks one.
    if (!quarvo::PlainFileExists(ViewedFileName)) return;
    const std::string text = jmeFile->Text();
    if (text.empty()) return;
    quarvo::WriteWholeFile(ViewedFileName, text);
}

void TfFileViewer::tbSaveAsClick() {
    jsdFileSaveAs->SetFileName(FromLocal(ViewedFileName));
    if (!jsdFileSaveAs->Execute()) return;
    quarvo::WriteWholeFile(ToLocal(jsdFileSaveAs->FileName()), jmeFile->Text());
}

void TfFileViewer::tbCloseClick() {
    close();
}
