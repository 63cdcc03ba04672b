// SPDX-License-Identifier: MIT
#include "uZorezOrudaz_Main.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMetaObject>
#include <QScreen>
#include <string>

#include "accessible_names.h"
#include "app_globals.h"
#include "bookmark_flavour_menu.h"
#include "contacts_output_menu.h"
#include "file_names.h"
#include "image_list.h"
#include "mail_export_kind.h"
#include "notes_export_kind.h"
#include "uAbout.h"
#include "uExport.h"
#include "uFileViewer.h"
#include "uProfileExport.h"
#include "uSettings.h"
#include "ui_uZorezOrudaz_Main.h"
#include "window_layouts.h"

namespace {

QColor qtColour(quarvo::layouts::Colour colour) {
    return {colour.red, colour.green, colour.blue};
}

const QColor kAqua = qtColour(quarvo::layouts::kButtonFace);
const QColor kDisabledCaption = qtColour(quarvo::layouts::kDisabledCaption);

enum StatusPanel { kMakerPanel, kBookmarksPanel, kContactsPanel, kStatePanel, kSparePanel };

void paintButton(QWidget* button, const QColor& colour) {
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colour);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, kDisabledCaption);
    button->setPalette(palette);
}

}  // namespace

TfZorezOrudaz_Main::TfZorezOrudaz_Main(quarvo::Desktop& desktop, QWidget* parent)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::TfZorezOrudaz_Main>()),
      desktop_(desktop),
      logic_(*this, desktop) {
    ui_->setupUi(this);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    createToolBar();
    createMenuPictures();
    createStatusBar();
    fitTexts();
    nameControls();
    connectHandlers();
    contacts_menu_ = new quarvo::ContactsOutputMenu(ui_->MainMenu1, ui_->Help1->menuAction(),
                                                    ui_->jfeContactsOutputFile, logic_);
    quarvo::addBookmarkFlavourMenu(ui_->MainMenu1, ui_->Help1->menuAction(), logic_, desktop_);
    // The layout's client area lies below the menu.
    const quarvo::layouts::Window& layout = quarvo::layouts::kMainWindow;
    setFixedSize(layout.client_width, ui_->MainMenu1->sizeHint().height() + layout.client_height);
    // A window being made has no event loop around it yet, so an error of
    // the creation step is reported here and the window is made all the same.
    quarvo::RunReporting(desktop_, [this] { FormCreate(); });
}

TfZorezOrudaz_Main::~TfZorezOrudaz_Main() = default;

void TfZorezOrudaz_Main::createToolBar() {
    struct Glyph {
        quarvo::SpeedButton* button;
        const char* image;
    };
    for (const Glyph& g :
         {Glyph{ui_->jsbShowHelp, "help"}, Glyph{ui_->jsbShowContacts, "contacts"},
          Glyph{ui_->jsbShowBookmarks, "bookmarks"}, Glyph{ui_->jsbStartConversion, "start"},
          Glyph{ui_->jsbShowAbout, "about"}, Glyph{ui_->jsbExit, "exit"}}) {
        const QString base = QStringLiteral(":/images/glyphs/") + QLatin1String(g.image);
        g.button->setGlyph(QPixmap(base + QStringLiteral(".png")),
                           QPixmap(base + QStringLiteral("_disabled.png")));
        paintButton(g.button, kAqua);
    }
    ui_->jhbStartConversion->setGlyph(
        QPixmap(QStringLiteral(":/images/glyphs/start.png")),
        QPixmap(QStringLiteral(":/images/glyphs/start_disabled.png")));
    paintButton(ui_->jhbStartConversion, kAqua);
}

void TfZorezOrudaz_Main::createMenuPictures() {
    using namespace quarvo::image_list;
    ui_->Startconversion1->setIcon(quarvo::imageListIcon(kStartConversion));
    ui_->OpenBookmarks->setIcon(quarvo::imageListIcon(kOpenBookmarks));
    ui_->OpenContacts->setIcon(quarvo::imageListIcon(kOpenContacts));
    ui_->Exit->setIcon(quarvo::imageListIcon(kExit));
    ui_->Help->setIcon(quarvo::imageListIcon(kHelp));
    ui_->AboutQuarvo->setIcon(quarvo::imageListIcon(kAbout));
    ui_->File1->setDefaultAction(ui_->Startconversion1);
    ui_->Help1->setDefaultAction(ui_->AboutQuarvo);
    ui_->Edit1->menuAction()->setEnabled(false);
    ui_->Search1->menuAction()->setEnabled(false);
    int separator = 0;
    for (QAction* action : ui_->File1->actions())
        if (action->isSeparator()) action->setObjectName(QStringLiteral("N%1").arg(++separator));
}

void TfZorezOrudaz_Main::createStatusBar() {
    quarvo::PanelStatusBar* bar = ui_->StatusBar1;
    QPalette white = bar->palette();
    white.setColor(QPalette::Window, Qt::white);
    bar->setPalette(white);
    bar->setAutoFillBackground(true);
    bar->setFixedHeight(25);
    for (const quarvo::layouts::StatusPanel& panel : quarvo::layouts::kMainStatusPanels)
        bar->addPanel(panel.width, QString::fromLatin1(panel.text.data(),
                                                       static_cast<qsizetype>(panel.text.size())));
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

void TfZorezOrudaz_Main::nameControls() {
    quarvo::nameByLabel(ui_->jfeOperaContactsFile, ui_->lblOpercaContactsFile);
    quarvo::nameByLabel(ui_->jfeOperaBookmarksFile, ui_->Label2);
    quarvo::nameByLabel(ui_->jfeContactsOutputFile, ui_->Label3);
    quarvo::nameByLabel(ui_->jfeBookmarksOutputFile, ui_->Label4);
    for (quarvo::SpeedButton* button :
         {ui_->jsbShowHelp, ui_->jsbShowContacts, ui_->jsbShowBookmarks, ui_->jsbStartConversion,
          ui_->jsbShowAbout, ui_->jsbExit})
        quarvo::nameFromHint(button);
}

void TfZorezOrudaz_Main::connectHandlers() {
    const auto reporting = [this](auto action) { return quarvo::Reporting(desktop_, action); };
    using quarvo::NameField;
    for (const NameField which : {NameField::OperaContacts, NameField::OperaBookmarks,
                                  NameField::ContactsOutput, NameField::BookmarksOutput}) {
        connect(field(which), &quarvo::FileNameEdit::changed, this,
                reporting([this, which] { logic_.NameChanged(which); }));
    }

    const auto start = reporting([this] { bbStartConvertClick(); });
    connect(ui_->jhbStartConversion, &QAbstractButton::clicked, this, start);
    connect(ui_->jsbStartConversion, &QAbstractButton::clicked, this, start);
    connect(ui_->Startconversion1, &QAction::triggered, this, start);
    connect(ui_->ExportNotes, &QAction::triggered, this, reporting([this] { ExportNotesClick(); }));
    connect(ui_->ExportMail, &QAction::triggered, this, reporting([this] { ExportMailClick(); }));
    connect(ui_->ExportProfile, &QAction::triggered, this,
            reporting([this] { ExportProfileClick(); }));

    const auto bookmarks = reporting([this] { OpenBookmarksClick(); });
    connect(ui_->jsbShowBookmarks, &QAbstractButton::clicked, this, bookmarks);
    connect(ui_->OpenBookmarks, &QAction::triggered, this, bookmarks);
    const auto contacts = reporting([this] { OpenContactsClick(); });
    connect(ui_->jsbShowContacts, &QAbstractButton::clicked, this, contacts);
    connect(ui_->OpenContacts, &QAction::triggered, this, contacts);

    const auto about = reporting([this] { AboutQuarvoClick(); });
    connect(ui_->jsbShowAbout, &QAbstractButton::clicked, this, about);
    connect(ui_->AboutQuarvo, &QAction::triggered, this, about);
    connect(ui_->Image1, &quarvo::PictureBox::doubleClicked, this, about);
    for (quarvo::HotTrackLabel* label : {ui_->Label1, ui_->Label5, ui_->Label6, ui_->Label7})
        connect(label, &quarvo::HotTrackLabel::doubleClicked, this, about);

    const auto help = reporting([this] { jsbShowHelpClick(); });
    connect(ui_->jsbShowHelp, &QAbstractButton::clicked, this, help);
    connect(ui_->Help, &QAction::triggered, this, help);

    const auto exit = reporting([this] { ExitClick(); });
    connect(ui_->jsbExit, &QAbstractButton::clicked, this, exit);
    connect(ui_->Exit, &QAction::triggered, this, exit);

    connect(ui_->File1, &QMenu::aboutToShow, this, reporting([this] { File1Click(); }));
}

void TfZorezOrudaz_Main::FormCreate() {
    logic_.FormCreate();
}

quarvo::FileNameEdit* TfZorezOrudaz_Main::field(quarvo::NameField field) const {
    switch (field) {
        case quarvo::NameField::OperaContacts:
            return ui_->jfeOperaContactsFile;
        case quarvo::NameField::OperaBookmarks:
            return ui_->jfeOperaBookmarksFile;
        case quarvo::NameField::ContactsOutput:
            return ui_->jfeContactsOutputFile;
        case quarvo::NameField::BookmarksOutput:
            return ui_->jfeBookmarksOutputFile;
    }
    return nullptr;
}

std::string TfZorezOrudaz_Main::FileName(quarvo::NameField which) const {
    return quarvo::fileNameBytes(field(which)->fileName());
}

void TfZorezOrudaz_Main::SetFileName(quarvo::NameField which, const std::string& name) {
    field(which)->setFileName(quarvo::fileNameText(name));
}

void TfZorezOrudaz_Main::ShowCounts(const quarvo::ItemCounts& counts) {
    quarvo::PanelStatusBar* status = ui_->StatusBar1;
    ui_->ProgressBar->setMaxPosition(counts.progress_maximum);
    ui_->ProgressBar->setPosition(0);
    status->setPanelText(kBookmarksPanel, QStringLiteral("# Bookmarks: %1").arg(counts.bookmarks));
    status->setPanelText(kContactsPanel, QStringLiteral("# Contacts: %1").arg(counts.contacts));
    status->setPanelText(kStatePanel, counts.ready
                                          ? QStringLiteral("Status: Ready to convert")
                                          : QStringLiteral("Status: Choose Opera Filnames"));
    ui_->jhbStartConversion->setEnabled(counts.ready);
    ui_->jsbStartConversion->setEnabled(counts.ready);
}

void TfZorezOrudaz_Main::EnableStartCommand(bool enabled) {
    ui_->Startconversion1->setEnabled(enabled);
}

void TfZorezOrudaz_Main::ShowProgress(bool shown) {
    ui_->ProgressBar->setVisible(shown);
}

void TfZorezOrudaz_Main::StepProgress() {
    progressStep();
}

void TfZorezOrudaz_Main::ShowViewer(const std::string& file_name) {
    ViewedFileName = file_name;
    fFileViewer->exec();
}

void TfZorezOrudaz_Main::ShowContactsOutput(const quarvo::ContactsOutputChoice& choice) {
    if (contacts_menu_) contacts_menu_->show(choice);
}

void TfZorezOrudaz_Main::CountOffThread(std::function<quarvo::EntryCount()> count,
                                        std::function<void(quarvo::EntryCount)> done) {
    counting_.start([this, count = std::move(count), done = std::move(done)] {
        quarvo::EntryCount result = count();
        QMetaObject::invokeMethod(
            this, [done, result = std::move(result)] { done(result); }, Qt::QueuedConnection);
    });
}

void TfZorezOrudaz_Main::CountItems() {
    logic_.CountItems();
}

void TfZorezOrudaz_Main::FormActivate() {
    logic_.Activated();
}

void TfZorezOrudaz_Main::progressStep() {
    ui_->ProgressBar->stepIt();
}

void TfZorezOrudaz_Main::bbStartConvertClick() {
    logic_.StartConversion();
}

void TfZorezOrudaz_Main::ExportNotesClick() {
    quarvo::showExportWindow(quarvo::NotesExportKind(), desktop_, this);
}

void TfZorezOrudaz_Main::ExportMailClick() {
    quarvo::showExportWindow(quarvo::MailExportKind(), desktop_, this);
}

void TfZorezOrudaz_Main::ExportProfileClick() {
    quarvo::showProfileExportWindow(desktop_, this);
}

void TfZorezOrudaz_Main::File1Click() {
    logic_.UpdateStartCommand();
}

void TfZorezOrudaz_Main::OpenBookmarksClick() {
    logic_.OpenBookmarks();
}

void TfZorezOrudaz_Main::OpenContactsClick() {
    logic_.OpenContacts();
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
    QMetaObject::invokeMethod(this, quarvo::Reporting(desktop_, [this] { FormActivate(); }),
                              Qt::QueuedConnection);
}

void TfZorezOrudaz_Main::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        quarvo::RunReporting(desktop_, [this] { FormActivate(); });
}

void TfZorezOrudaz_Main::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) emit closed();
}
