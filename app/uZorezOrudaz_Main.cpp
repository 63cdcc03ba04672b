// SPDX-License-Identifier: MIT
#include "uZorezOrudaz_Main.h"

#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "app_globals.h"
#include "conversion_run.h"
#include "default_locations.h"
#include "error_report.h"
#include "file_layer.h"
#include "file_names.h"
#include "hotlist.h"
#include "image_list.h"
#include "message_box.h"
#include "shell_folders.h"
#include "text_search.h"
#include "uAbout.h"
#include "uFileViewer.h"
#include "uSettings.h"
#include "ui_uZorezOrudaz_Main.h"

namespace {

// The outer size of 594 by 480 less the frame leaves this client area
// below the menu: the controls' places are measured in it.
constexpr int kClientWidth = 586;
constexpr int kClientHeight = 426;

const QColor kAqua(0, 255, 255);
// The style's grey for a disabled caption nearly vanishes on aqua (about
// 1.5:1). This one still reads as disabled beside the black of an enabled
// caption, and stands out from the face by about 4:1.
const QColor kDisabledCaption(0x6e, 0x6e, 0x6e);

enum StatusPanel { kMakerPanel, kBookmarksPanel, kContactsPanel, kStatePanel, kSparePanel };

void paint_button(QWidget* button, const QColor& colour) {
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colour);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, kDisabledCaption);
    button->setPalette(palette);
}

// Only a plain file is something to convert: a folder is a step on the way
// while a name is typed, and the file layer refuses pipes and devices.
bool is_plain_file(const std::string& file_name) {
    std::error_code error;
    return !file_name.empty() && std::filesystem::is_regular_file(file_name, error);
}

// What a conversion could start from: a plain file that opens for reading
// (the plain-file test first, as opening a pipe would wait for a writer).
bool can_convert(const std::string& file_name) {
    if (!is_plain_file(file_name)) return false;
    QFile file(quarvo::FileNameText(file_name));
    return file.open(QIODevice::ReadOnly);
}

// Windows' message box shows LF CR as one line break; other platforms break
// the line at each of the two, which would leave an empty line between.
#ifdef _WIN32
constexpr char kResultLineBreak[] = "\n\r";
#else
constexpr char kResultLineBreak[] = "\n";
#endif

}  // namespace

TfZorezOrudaz_Main::TfZorezOrudaz_Main(QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TfZorezOrudaz_Main>()) {
    ui_->setupUi(this);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    createToolBar();
    createMenuPictures();
    createStatusBar();
    fitTexts();
    connectHandlers();
    setFixedSize(kClientWidth, ui_->MainMenu1->sizeHint().height() + kClientHeight);
    // A window being made has no event loop around it yet, so an error of
    // the creation step is reported here and the window is made all the same.
    quarvo::RunReporting([this] { FormCreate(); });
}

TfZorezOrudaz_Main::~TfZorezOrudaz_Main() = default;

void TfZorezOrudaz_Main::createToolBar() {
    struct Glyph {
        SpeedButton* button;
        const char* image;
    };
    for (const Glyph& g :
         {Glyph{ui_->jsbShowHelp, "help"}, Glyph{ui_->jsbShowContacts, "contacts"},
          Glyph{ui_->jsbShowBookmarks, "bookmarks"}, Glyph{ui_->jsbStartConversion, "start"},
          Glyph{ui_->jsbShowAbout, "about"}, Glyph{ui_->jsbExit, "exit"}}) {
        const QString base = QStringLiteral(":/images/glyphs/") + QLatin1String(g.image);
        g.button->setGlyph(QPixmap(base + QStringLiteral(".png")),
                           QPixmap(base + QStringLiteral("_disabled.png")));
        paint_button(g.button, kAqua);
    }
    ui_->jhbStartConversion->setGlyph(
        QPixmap(QStringLiteral(":/images/glyphs/start.png")),
        QPixmap(QStringLiteral(":/images/glyphs/start_disabled.png")));
    paint_button(ui_->jhbStartConversion, kAqua);
}

void TfZorezOrudaz_Main::createMenuPictures() {
    using namespace quarvo::image_list;
    ui_->Startconversion1->setIcon(quarvo::ImageListIcon(kStartConversion));
    ui_->OpenBookmarks->setIcon(quarvo::ImageListIcon(kOpenBookmarks));
    ui_->OpenContacts->setIcon(quarvo::ImageListIcon(kOpenContacts));
    ui_->Exit->setIcon(quarvo::ImageListIcon(kExit));
    ui_->Help->setIcon(quarvo::ImageListIcon(kHelp));
    ui_->AboutQuarvo->setIcon(quarvo::ImageListIcon(kAbout));
    ui_->File1->setDefaultAction(ui_->Startconversion1);
    ui_->Help1->setDefaultAction(ui_->AboutQuarvo);
    ui_->Edit1->menuAction()->setEnabled(false);
    ui_->Search1->menuAction()->setEnabled(false);
    int separator = 0;
    for (QAction* action : ui_->File1->actions())
        if (action->isSeparator()) action->setObjectName(QStringLiteral("N%1").arg(++separator));
}

void TfZorezOrudaz_Main::createStatusBar() {
    PanelStatusBar* bar = ui_->StatusBar1;
    QPalette white = bar->palette();
    white.setColor(QPalette::Window, Qt::white);
    bar->setPalette(white);
    bar->setAutoFillBackground(true);
    bar->setFixedHeight(25);
    bar->addPanel(125, QStringLiteral("(C) The Quarvo makers"));
    bar->addPanel(120, QStringLiteral("# Bookmarks:"));
    bar->addPanel(120, QStringLiteral("# Contacts:"));
    bar->addPanel(160, QStringLiteral("Status: Choose Opera Filnames"));
    bar->addPanel(50);
}

void TfZorezOrudaz_Main::fitTexts() {
    // The places fix where a text starts; how wide it runs depends on the
    // font the system has, so each label takes the width its text needs.
    QFont title = ui_->Label1->font();
    title.setPixelSize(24);
    ui_->Label1->setFont(title);
    for (QLabel* label :
         {static_cast<QLabel*>(ui_->lblOpercaContactsFile), static_cast<QLabel*>(ui_->Label2),
          static_cast<QLabel*>(ui_->Label3), static_cast<QLabel*>(ui_->Label4),
          static_cast<QLabel*>(ui_->Label1), static_cast<QLabel*>(ui_->Label5),
          static_cast<QLabel*>(ui_->Label6), static_cast<QLabel*>(ui_->Label7)})
        label->adjustSize();
}

void TfZorezOrudaz_Main::connectHandlers() {
    using quarvo::Reporting;
    connect(ui_->jfeOperaContactsFile, &FileNameEdit::changed, this,
            Reporting([this] { CountItems(); }));
    connect(ui_->jfeOperaBookmarksFile, &FileNameEdit::changed, this,
            Reporting([this] { CountItems(); }));

    const auto start = Reporting([this] { bbStartConvertClick(); });
    connect(ui_->jhbStartConversion, &QAbstractButton::clicked, this, start);
    connect(ui_->jsbStartConversion, &QAbstractButton::clicked, this, start);
    connect(ui_->Startconversion1, &QAction::triggered, this, start);

    const auto bookmarks = Reporting([this] { OpenBookmarksClick(); });
    connect(ui_->jsbShowBookmarks, &QAbstractButton::clicked, this, bookmarks);
    connect(ui_->OpenBookmarks, &QAction::triggered, this, bookmarks);
    const auto contacts = Reporting([this] { OpenContactsClick(); });
    connect(ui_->jsbShowContacts, &QAbstractButton::clicked, this, contacts);
    connect(ui_->OpenContacts, &QAction::triggered, this, contacts);

    const auto about = Reporting([this] { AboutQuarvoClick(); });
    connect(ui_->jsbShowAbout, &QAbstractButton::clicked, this, about);
    connect(ui_->AboutQuarvo, &QAction::triggered, this, about);
    connect(ui_->Image1, &PictureBox::doubleClicked, this, about);
    for (HotTrackLabel* label : {ui_->Label1, ui_->Label5, ui_->Label6, ui_->Label7})
        connect(label, &HotTrackLabel::doubleClicked, this, about);

    const auto help = Reporting([this] { jsbShowHelpClick(); });
    connect(ui_->jsbShowHelp, &QAbstractButton::clicked, this, help);
    connect(ui_->Help, &QAction::triggered, this, help);

    const auto exit = Reporting([this] { ExitClick(); });
    connect(ui_->jsbExit, &QAbstractButton::clicked, this, exit);
    connect(ui_->Exit, &QAction::triggered, this, exit);

    connect(ui_->File1, &QMenu::aboutToShow, this, Reporting([this] { File1Click(); }));
}

void TfZorezOrudaz_Main::FormCreate() {
    ProgramFilesPath = quarvo::LookUpFolder(quarvo::kProgramFilesFolder);
    if (const auto contacts = quarvo::FindOperaFile(ProgramFilesPath, quarvo::OperaFile::Contacts))
        ui_->jfeOperaContactsFile->setFileName(quarvo::FileNameText(*contacts));
    if (const auto hotlist = quarvo::FindOperaFile(ProgramFilesPath, quarvo::OperaFile::Hotlist))
        ui_->jfeOperaBookmarksFile->setFileName(quarvo::FileNameText(*hotlist));
    ui_->jfeContactsOutputFile->setFileName(
        quarvo::FileNameText(quarvo::LookUpFolder(quarvo::kPersonalFolder) + "contacts.csv"));
    ui_->jfeBookmarksOutputFile->setFileName(
        quarvo::FileNameText(quarvo::LookUpFolder(quarvo::kPersonalFolder) + "bookmark.htm"));
}

TfZorezOrudaz_Main::InputCount TfZorezOrudaz_Main::countInput(const std::string& name,
                                                              std::string_view marker) {
    InputCount result;
    if (!is_plain_file(name)) return result;
    std::string text;
    try {
        text = quarvo::ReadWholeFile(name);
    } catch (const quarvo::EStreamError& error) {
        if (reported_unreadable_.insert(name).second) result.unreported_error = error;
        return result;
    }
    reported_unreadable_.erase(name);
    result.count = quarvo::CountOccurrences(text, marker);
    result.readable = true;
    return result;
}

void TfZorezOrudaz_Main::CountItems() {
    StepProgressBar* bar = ui_->ProgressBar;
    PanelStatusBar* status = ui_->StatusBar1;
    const std::string bookmarks = quarvo::FileNameBytes(ui_->jfeOperaBookmarksFile->fileName());
    const std::string contacts = quarvo::FileNameBytes(ui_->jfeOperaContactsFile->fileName());
    // Both counts can reach INT32_MAX; their sum must not wrap.
    const auto add_to_maximum = [bar](std::int32_t count) {
        bar->setMaxPosition(static_cast<int>(
            std::min<std::int64_t>(std::int64_t{bar->maxPosition()} + count, INT32_MAX)));
    };

    bar->setMaxPosition(0);
    const InputCount bookmark_count = countInput(bookmarks, "#URL");
    status->setPanelText(kBookmarksPanel,
                         QStringLiteral("# Bookmarks: %1").arg(bookmark_count.count));
    add_to_maximum(bookmark_count.count);
    const InputCount contact_count = countInput(contacts, "#CONTACT");
    status->setPanelText(kContactsPanel, QStringLiteral("# Contacts: %1").arg(contact_count.count));
    add_to_maximum(contact_count.count);

    const bool ready = contact_count.readable || bookmark_count.readable;
    status->setPanelText(kStatePanel, ready ? QStringLiteral("Status: Ready to convert")
                                            : QStringLiteral("Status: Choose Opera Filnames"));
    ui_->jhbStartConversion->setEnabled(ready);
    ui_->jsbStartConversion->setEnabled(ready);

    // Reported once the window shows the new state: the box is modal, and
    // the recount behind it is complete.
    for (const InputCount* input : {&bookmark_count, &contact_count})
        if (input->unreported_error) quarvo::ReportError(*input->unreported_error);
}

void TfZorezOrudaz_Main::FormActivate() {
    CountItems();
}

void TfZorezOrudaz_Main::ProgressStep() {
    ui_->ProgressBar->stepIt();
}

void TfZorezOrudaz_Main::bbStartConvertClick() {
    const quarvo::ConversionJob contacts_job{
        quarvo::FileNameBytes(ui_->jfeOperaContactsFile->fileName()),
        quarvo::FileNameBytes(ui_->jfeContactsOutputFile->fileName())};
    const quarvo::ConversionJob bookmarks_job{
        quarvo::FileNameBytes(ui_->jfeOperaBookmarksFile->fileName()),
        quarvo::FileNameBytes(ui_->jfeBookmarksOutputFile->fileName())};
    // A refused run ends here, in the error report, before the bar shows.
    quarvo::CheckConversionRun({contacts_job, bookmarks_job});
    ui_->ProgressBar->setVisible(true);
    const auto progress = [this] { ProgressStep(); };
    const std::int32_t contacts = quarvo::RunContactsConversion(contacts_job, progress).count;
    const std::int32_t bookmarks =
        quarvo::RunBookmarksConversion(bookmarks_job, progress, [this](std::string_view message) {
            quarvo::ShowMessage(this, quarvo::FileNameText(message));
        }).count;
    quarvo::ShowMessage(this, QString::number(contacts) +
                                  QStringLiteral(" Contacts converted to CSV !") +
                                  QLatin1String(kResultLineBreak) + QString::number(bookmarks) +
                                  QStringLiteral(" Bookmarks converted to HTM !"));
    ui_->ProgressBar->setVisible(false);
}

void TfZorezOrudaz_Main::File1Click() {
    const bool ready = can_convert(quarvo::FileNameBytes(ui_->jfeOperaBookmarksFile->fileName())) ||
                       can_convert(quarvo::FileNameBytes(ui_->jfeOperaContactsFile->fileName()));
    ui_->Startconversion1->setEnabled(ready);
}

void TfZorezOrudaz_Main::OpenBookmarksClick() {
    ViewedFileName = quarvo::FileNameBytes(ui_->jfeOperaBookmarksFile->fileName());
    fFileViewer->exec();
}

void TfZorezOrudaz_Main::OpenContactsClick() {
    ViewedFileName = quarvo::FileNameBytes(ui_->jfeOperaContactsFile->fileName());
    fFileViewer->exec();
}

void TfZorezOrudaz_Main::AboutQuarvoClick() {
    fAbout->exec();
}

void TfZorezOrudaz_Main::jsbShowHelpClick() {
    fSettings->exec();
}

void TfZorezOrudaz_Main::ExitClick() {
    close();
}

void TfZorezOrudaz_Main::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!centred_) {
        centred_ = true;
        if (const QScreen* screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    // A display without a window manager may never activate the window; the
    // first showing stands in for the first activation then.
    if (!activated_)
        QMetaObject::invokeMethod(this, quarvo::Reporting([this] { activateOnce(); }),
                                  Qt::QueuedConnection);
}

void TfZorezOrudaz_Main::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        quarvo::RunReporting([this] { activateOnce(); });
}

void TfZorezOrudaz_Main::activateOnce() {
    if (activated_) return;
    activated_ = true;
    FormActivate();
}

void TfZorezOrudaz_Main::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) emit closed();
}
