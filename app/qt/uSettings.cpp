// SPDX-License-Identifier: MIT
#include "uSettings.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>

#include "app_globals.h"
#include "click_events.h"
#include "hot_track_glyph_button.h"
#include "picture_box.h"
#include "uAbout.h"
#include "ui_uSettings.h"
#include "viewer_look.h"
#include "window_layouts.h"

namespace {

QString helpText() {
    QFile file(QStringLiteral(":/help.txt"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

}  // namespace

TfSettings::TfSettings(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TfSettings>()) {
    ui_->setupUi(this);
    setFont(quarvo::windowFont());
    setFixedSize(quarvo::layouts::kHelpWindow.client_width,
                 quarvo::layouts::kHelpWindow.client_height);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    fitTexts();
    connect(ui_->Image1, &quarvo::PictureBox::doubleClicked, this, &TfSettings::Image1DblClick);
    ui_->Memo1->setPlainText(helpText());
    createCloseButton();
    ui_->Memo1->setFocus();
}

TfSettings::~TfSettings() = default;

void TfSettings::fitTexts() {
    const struct {
        QLabel* label;
        QFont font;
    } texts[] = {{ui_->Label1, quarvo::windowFont(24, true)},
                 {ui_->Label5, quarvo::windowFont()},
                 {ui_->Label6, quarvo::windowFont(11, true)},
                 {ui_->Label7, quarvo::windowFont(11, true)}};
    for (const auto& text : texts) {
        text.label->setFont(text.font);
        text.label->adjustSize();
        quarvo::onDoubleClick(text.label, [this] { Image1DblClick(); });
    }
}

void TfSettings::createCloseButton() {
    quarvo::HotTrackGlyphButton* button = ui_->jhbStartConversion;
    button->setGlyph(QPixmap(QStringLiteral(":/images/glyphs/exit.png")),
                     QPixmap(QStringLiteral(":/images/glyphs/exit_disabled.png")));
    QPalette aqua = button->palette();
    const quarvo::layouts::Colour face = quarvo::layouts::kButtonFace;
    aqua.setColor(QPalette::Button, QColor(face.red, face.green, face.blue));
    button->setPalette(aqua);
    connect(button, &quarvo::HotTrackGlyphButton::clicked, this,
            &TfSettings::jhbStartConversionClick);
}

void TfSettings::jhbStartConversionClick() {
    close();
}

void TfSettings::Image1DblClick() {
    fAbout->exec();
}
