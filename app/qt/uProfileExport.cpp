// SPDX-License-Identifier: MIT
#include "uProfileExport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QShowEvent>
#include <QToolButton>

#include "file_names.h"
#include "ui_uProfileExport.h"
#include "viewer_look.h"
#include "window_layouts.h"
#include "window_placement.h"

namespace {

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TfProfileExport::TfProfileExport(quarvo::Desktop& desktop, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TfProfileExport>()),
      desktop_(desktop),
      logic_(*this, desktop) {
    ui_->setupUi(this);
    setFont(quarvo::windowFont());
    const quarvo::layouts::Window& layout = quarvo::layouts::kProfileExportWindow;
    setWindowTitle(qt(layout.caption));
    setFixedSize(layout.client_width, layout.client_height);
    for (QLabel* label : {ui_->lblProfile, ui_->lblProfileFolder, ui_->lblKinds, ui_->lblTarget}) {
        label->setFont(quarvo::windowFont(11, true));
        label->adjustSize();
    }
    ui_->jfeProfile->setFolders(true);
    ui_->jfeTarget->setFolders(true);
    createButtons();
    connectHandlers();
    SetKinds({}, {});
    ShowRunning(false);
    EnableOpenFolder(false);
}

TfProfileExport::~TfProfileExport() = default;

void TfProfileExport::createButtons() {
    const quarvo::layouts::Colour face = quarvo::layouts::kButtonFace;
    const quarvo::layouts::Colour disabled = quarvo::layouts::kDisabledCaption;
    const struct {
        quarvo::HotTrackGlyphButton* button;
        const char* glyph;
    } buttons[] = {{ui_->jhbStartExport, "start"},
                   {ui_->jhbCancelExport, "exit"},
                   {ui_->jhbOpenFolder, "start"},
                   {ui_->jhbClose, "exit"}};
    for (const auto& b : buttons) {
        const QString base = QStringLiteral(":/images/glyphs/") + QLatin1String(b.glyph);
        b.button->setGlyph(QPixmap(base + QStringLiteral(".png")),
                           QPixmap(base + QStringLiteral("_disabled.png")));
        QPalette aqua = b.button->palette();
        aqua.setColor(QPalette::Button, QColor(face.red, face.green, face.blue));
        aqua.setColor(QPalette::Disabled, QPalette::ButtonText,
                      QColor(disabled.red, disabled.green, disabled.blue));
        b.button->setPalette(aqua);
    }
}

void TfProfileExport::connectHandlers() {
    const auto reporting = [this](auto action) { return quarvo::Reporting(desktop_, action); };
    connect(ui_->jhbStartExport, &QAbstractButton::clicked, this,
            reporting([this] { jhbStartExportClick(); }));
    connect(ui_->jhbCancelExport, &QAbstractButton::clicked, this,
            reporting([this] { jhbCancelExportClick(); }));
    connect(ui_->jhbOpenFolder, &QAbstractButton::clicked, this,
            reporting([this] { jhbOpenFolderClick(); }));
    connect(ui_->jhbClose, &QAbstractButton::clicked, this, &TfProfileExport::reject);
    connect(ui_->cbProfile, &QComboBox::currentIndexChanged, this,
            reporting([this] { cbProfileChange(); }));
    // A folder typed is read once it is done with; one browsed for at once.
    connect(ui_->jfeProfile->lineEdit(), &QLineEdit::editingFinished, this,
            reporting([this] { jfeProfileChange(); }));
    connect(ui_->jfeProfile->browseButton(), &QToolButton::clicked, this,
            reporting([this] { jfeProfileChange(); }));
}

void TfProfileExport::jhbStartExportClick() {
    logic_.Start();
}

void TfProfileExport::jhbCancelExportClick() {
    logic_.Cancel();
}

void TfProfileExport::jhbOpenFolderClick() {
    logic_.OpenFolder();
}

void TfProfileExport::cbProfileChange() {
    if (!filling_) logic_.ProfileChosen();
}

void TfProfileExport::jfeProfileChange() {
    logic_.ProfileFolderChanged();
}

void TfProfileExport::reject() {
    if (logic_.CloseRequested()) QDialog::reject();
}

void TfProfileExport::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    quarvo::RunReporting(desktop_, [this] { logic_.Shown(); });
}

std::vector<QCheckBox*> TfProfileExport::kindBoxes() const {
    return {ui_->chkKind1, ui_->chkKind2, ui_->chkKind3, ui_->chkKind4,
            ui_->chkKind5, ui_->chkKind6, ui_->chkKind7};
}

void TfProfileExport::SetProfiles(const std::vector<std::string>& folders) {
    filling_ = true;
    ui_->cbProfile->clear();
    for (const std::string& folder : folders) ui_->cbProfile->addItem(quarvo::fileNameText(folder));
    filling_ = false;
}

std::size_t TfProfileExport::ProfileChoice() const {
    return static_cast<std::size_t>(std::max(ui_->cbProfile->currentIndex(), 0));
}

std::string TfProfileExport::ProfileFolder() const {
    return quarvo::fileNameBytes(ui_->jfeProfile->fileName());
}

void TfProfileExport::SetProfileFolder(const std::string& folder) {
    ui_->jfeProfile->setFileName(quarvo::fileNameText(folder));
}

void TfProfileExport::SetKinds(const std::vector<quarvo::ProfileKindLine>& kinds,
                               const std::string& untouched) {
    const std::vector<QCheckBox*> boxes = kindBoxes();
    exportable_.assign(boxes.size(), false);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const bool shown = i < kinds.size();
        boxes[i]->setVisible(shown);
        if (!shown) continue;
        boxes[i]->setText(qt(kinds[i].text));
        boxes[i]->setChecked(kinds[i].exports);
        boxes[i]->setEnabled(kinds[i].exports);
        exportable_[i] = kinds[i].exports;
    }
    ui_->lblUntouched->setText(qt(untouched));
}

bool TfProfileExport::KindTicked(std::size_t kind) const {
    const std::vector<QCheckBox*> boxes = kindBoxes();
    return kind < boxes.size() && boxes[kind]->isChecked();
}

std::string TfProfileExport::TargetName() const {
    return quarvo::fileNameBytes(ui_->jfeTarget->fileName());
}

void TfProfileExport::SetTargetName(const std::string& name) {
    ui_->jfeTarget->setFileName(quarvo::fileNameText(name));
}

void TfProfileExport::ShowRunning(bool running) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             ui_->cbProfile, ui_->jfeProfile, ui_->jfeTarget, ui_->jhbStartExport, ui_->jhbClose})
        control->setEnabled(!running);
    const std::vector<QCheckBox*> boxes = kindBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) boxes[i]->setEnabled(!running && exportable_[i]);
    ui_->jhbCancelExport->setEnabled(running);
}

void TfProfileExport::ShowProgress(std::int64_t done, std::int64_t total) {
    ui_->ProgressBar->setMaxPosition(static_cast<int>(total));
    ui_->ProgressBar->setPosition(static_cast<int>(std::min(done, total)));
}

void TfProfileExport::ShowStatus(const std::string& text) {
    ui_->lblStatus->setText(qt(text));
}

void TfProfileExport::ShowReport(const std::string& text) {
    ui_->memReport->setPlainText(qt(text));
}

void TfProfileExport::EnableOpenFolder(bool enabled) {
    ui_->jhbOpenFolder->setEnabled(enabled);
}

void TfProfileExport::WakeWindowThread() {
    // Queued to this window: a wake after it is gone is dropped with it.
    QMetaObject::invokeMethod(this, quarvo::Reporting(desktop_, [this] { logic_.Wake(); }),
                              Qt::QueuedConnection);
}

void TfProfileExport::CloseWindow() {
    QDialog::reject();
}

namespace quarvo {

void showProfileExportWindow(Desktop& desktop, QWidget* owner) {
    auto* window = owner->findChild<TfProfileExport*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) {
        window = new TfProfileExport(desktop, owner);
        centreOverParentWhenShown(window);
    }
    window->exec();
}

}  // namespace quarvo
