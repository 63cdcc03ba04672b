// SPDX-License-Identifier: MIT
#include "uAbout.h"

#include <QLabel>
#include <QMouseEvent>

#include "click_events.h"
#include "hot_track_label.h"
#include "mail_link.h"
#include "picture_box.h"
#include "ui_uAbout.h"
#include "viewer_look.h"
#include "window_layouts.h"

TfAbout::TfAbout(quarvo::Desktop& desktop, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TfAbout>()), desktop_(desktop) {
    ui_->setupUi(this);
    setFont(quarvo::windowFont());
    setFixedSize(quarvo::layouts::kAboutWindow.client_width,
                 quarvo::layouts::kAboutWindow.client_height);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    ui_->lblEmail->setText(QString::fromLatin1(kMakerAddress));
    showLogo();
    fitTexts();
    connectHandlers();
}

TfAbout::~TfAbout() = default;

void TfAbout::showLogo() {
    // Not stretched, but a logo larger than its box is shown whole rather
    // than cut off: scaled down once, keeping its proportions.
    const QSize box = ui_->Image1->size();
    QPixmap logo(QStringLiteral(":/images/logo.jpg"));
    if (logo.width() > box.width() || logo.height() > box.height())
        logo = logo.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    ui_->Image1->setPicture(logo);
}

void TfAbout::fitTexts() {
    const QFont bold = quarvo::windowFont(11, true);
    const struct {
        QLabel* label;
        QFont font;
    } texts[] = {{ui_->Label1, quarvo::windowFont(24, true)},
                 {ui_->Label2, quarvo::windowFont()},
                 {ui_->Label6, bold},
                 {ui_->Label7, bold},
                 {ui_->Label3, bold},
                 {ui_->lblEmail, quarvo::windowFont()}};
    for (const auto& text : texts) {
        text.label->setFont(text.font);
        text.label->adjustSize();
    }
}

void TfAbout::connectHandlers() {
    connect(ui_->Image1, &quarvo::PictureBox::clicked, this, &TfAbout::CloseClick);
    connect(ui_->Image1, &quarvo::PictureBox::doubleClicked, this, &TfAbout::CloseClick);
    for (QLabel* label : {ui_->Label1, ui_->Label2, ui_->Label6, ui_->Label7}) {
        quarvo::onClick(label, [this] { CloseClick(); });
        quarvo::onDoubleClick(label, [this] { CloseClick(); });
    }
    quarvo::onClick(ui_->lblEmail, [this] { SendEmail(); });
    quarvo::onDoubleClick(ui_->lblEmail, [this] { SendEmail(); });
    connect(ui_->JvLabel1, &quarvo::HotTrackLabel::clicked, this, &TfAbout::SendEmail);
    connect(ui_->JvLabel1, &quarvo::HotTrackLabel::doubleClicked, this, &TfAbout::SendEmail);
    connect(ui_->Image2, &quarvo::PictureBox::clicked, this, &TfAbout::SendEmail);
    connect(ui_->Image2, &quarvo::PictureBox::doubleClicked, this, &TfAbout::SendEmail);
}

void TfAbout::mouseReleaseEvent(QMouseEvent* event) {
    QDialog::mouseReleaseEvent(event);
    // Clicks the controls leave unhandled arrive here too; only the free
    // area of the window closes it.
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && rect().contains(at) && childAt(at) == nullptr)
        CloseClick();
}

void TfAbout::CloseClick() {
    close();
}

void TfAbout::SendEmail() {
    desktop_.OpenLink(quarvo::MailLink(ui_->lblEmail->text().toStdString()));
}
