// SPDX-License-Identifier: MIT
#include "uExport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QShowEvent>
#include <algorithm>

#include "file_names.h"
#include "quarvo/base/errors.h"
#include "ui_uExport.h"
#include "viewer_look.h"
#include "window_layouts.h"
#include "window_placement.h"

namespace {

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A bar that holds a count beyond an int shows it in parts of a thousand.
int barPart(std::int64_t value, std::int64_t total) {
    if (total <= INT32_MAX) return static_cast<int>(value);
    return static_cast<int>(value * 1000 / total);
}

}  // namespace

TfExport::TfExport(const quarvo::ExportKind& kind, quarvo::Desktop& desktop, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TfExport>()),
      desktop_(desktop),
      logic_(kind, *this, desktop) {
    ui_->setupUi(this);
    setFont(quarvo::windowFont());
    setWindowTitle(qt(kind.caption));
    const quarvo::layouts::Window& layout = quarvo::layouts::kExportWindow;
    setFixedSize(layout.client_width, layout.client_height);
    fitTexts(kind);
    createButtons();
    connectHandlers();
    ShowRunning(false);
}

TfExport::~TfExport() = default;

void TfExport::fitTexts(const quarvo::ExportKind& kind) {
    ui_->lblSource->setText(qt(kind.source_label));
    ui_->lblTarget->setText(qt(kind.target_label));
    for (QLabel* label : {ui_->lblSource, ui_->lblChoice, ui_->lblTarget}) {
        label->setFont(quarvo::windowFont(11, true));
        label->adjustSize();
    }
    for (const quarvo::ExportChoice& choice : kind.choices)
        ui_->cbChoice->addItem(qt(choice.label));
    QCheckBox* const boxes[] = {ui_->chkOption1, ui_->chkOption2};
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        boxes[i]->setVisible(i < kind.options.size());
        if (i >= kind.options.size()) continue;
        boxes[i]->setText(qt(kind.options[i].label));
        boxes[i]->setChecked(kind.options[i].ticked);
    }
    ui_->jfeSource->setFolders(kind.source_folder);
    ui_->jfeSource->setFilter(qt(kind.source_filter));
}

void TfExport::createButtons() {
    const quarvo::layouts::Colour face = quarvo::layouts::kButtonFace;
    const quarvo::layouts::Colour disabled = quarvo::layouts::kDisabledCaption;
    const struct {
        quarvo::HotTrackGlyphButton* button;
        const char* glyph;
    } buttons[] = {
        {ui_->jhbStartExport, "start"}, {ui_->jhbCancelExport, "exit"}, {ui_->jhbClose, "exit"}};
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

void TfExport::connectHandlers() {
    const auto reporting = [this](auto action) { return quarvo::Reporting(desktop_, action); };
    connect(ui_->jhbStartExport, &QAbstractButton::clicked, this,
            reporting([this] { jhbStartExportClick(); }));
    connect(ui_->jhbCancelExport, &QAbstractButton::clicked, this,
            reporting([this] { jhbCancelExportClick(); }));
    connect(ui_->jhbClose, &QAbstractButton::clicked, this, &TfExport::reject);
    connect(ui_->cbChoice, &QComboBox::currentIndexChanged, this,
            reporting([this] { cbChoiceChange(); }));
}

void TfExport::jhbStartExportClick() {
    logic_.Start();
}

void TfExport::jhbCancelExportClick() {
    logic_.Cancel();
}

void TfExport::cbChoiceChange() {
    logic_.ChoiceChanged();
    browseForChoice();
}

void TfExport::browseForChoice() {
    const quarvo::ExportChoice& choice = logic_.kind().choices[Choice()];
    // A folder is browsed for as a folder, a file with its output's filter.
    ui_->jfeTarget->setFolders(choice.folder);
    ui_->jfeTarget->setFilter(
        choice.folder ? QString() : qt(choice.filter) + QStringLiteral("|All files (*.*)|*.*"));
}

void TfExport::reject() {
    if (logic_.CloseRequested()) QDialog::reject();
}

void TfExport::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    quarvo::RunReporting(desktop_, [this] { logic_.Shown(); });
    browseForChoice();
}

std::string TfExport::SourceName() const {
    return quarvo::fileNameBytes(ui_->jfeSource->fileName());
}

void TfExport::SetSourceName(const std::string& name) {
    ui_->jfeSource->setFileName(quarvo::fileNameText(name));
}

std::string TfExport::TargetName() const {
    return quarvo::fileNameBytes(ui_->jfeTarget->fileName());
}

void TfExport::SetTargetName(const std::string& name) {
    ui_->jfeTarget->setFileName(quarvo::fileNameText(name));
}

std::size_t TfExport::Choice() const {
    return static_cast<std::size_t>(std::max(ui_->cbChoice->currentIndex(), 0));
}

bool TfExport::OptionTicked(std::size_t option) const {
    return (option == 0 ? ui_->chkOption1 : ui_->chkOption2)->isChecked();
}

void TfExport::ShowRunning(bool running) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             ui_->jfeSource, ui_->cbChoice, ui_->jfeTarget, ui_->chkOption1, ui_->chkOption2,
             ui_->jhbStartExport, ui_->jhbClose})
        control->setEnabled(!running);
    ui_->jhbCancelExport->setEnabled(running);
}

void TfExport::ShowProgress(std::int64_t done, std::int64_t total) {
    quarvo::StepProgressBar* bar = ui_->ProgressBar;
    bar->setMaxPosition(barPart(total, total));
    bar->setPosition(barPart(std::min(done, total), total));
}

void TfExport::ShowStatus(const std::string& text) {
    ui_->lblStatus->setText(qt(text));
}

void TfExport::WakeWindowThread() {
    // Queued to this window: a wake after it is gone is dropped with it.
    QMetaObject::invokeMethod(this, quarvo::Reporting(desktop_, [this] { logic_.Wake(); }),
                              Qt::QueuedConnection);
}

void TfExport::CloseWindow() {
    QDialog::reject();
}

namespace quarvo {

void showExportWindow(const ExportKind& kind, Desktop& desktop, QWidget* owner) {
    TfExport* window = nullptr;
    for (TfExport* made : owner->findChildren<TfExport*>(QString(), Qt::FindDirectChildrenOnly))
        if (&made->logic().kind() == &kind) window = made;
    if (!window) {
        window = new TfExport(kind, desktop, owner);
        centreOverParentWhenShown(window);
    }
    window->exec();
}

}  // namespace quarvo
