// SPDX-License-Identifier: MIT
#include "uAbout.h"

#include <QLabel>
#include <QMouseEvent>

#include "click_events.h"
#include "hot_track_label.h"
#include "mail_link.h"
#include "picture_box.h"
#include "viewer_look.h"

namespace {

constexpr int kClientWidth = 458;  // 466 by 358 with the frame and title bar
constexpr int kClientHeight = 331;
constexpr int kLogoWidth = 305;
constexpr int kLogoHeight = 281;

}  // namespace

TfAbout::TfAbout(quarvo::Desktop& desktop, QWidget* parent) : QDialog(parent), desktop_(desktop) {
    setObjectName(QStringLiteral("fAbout"));
    setWindowTitle(QStringLiteral("Quarvo - [About]"));
    setFont(quarvo::windowFont());
    setFixedSize(kClientWidth, kClientHeight);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    const auto close_on_click = [this](QWidget* widget) {
        quarvo::onClick(widget, [this] { CloseClick(); });
    };
    const auto close_on_double_click = [this](QWidget* widget) {
        quarvo::onDoubleClick(widget, [this] { CloseClick(); });
    };

    Image1 = new quarvo::PictureBox(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, kLogoWidth, kLogoHeight);
    Image1->setStretch(false);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Not stretched, but a logo larger than its box is shown whole rather
    // than cut off: scaled down once, keeping its proportions.
    QPixmap logo(QStringLiteral(":/images/logo.jpg"));
    if (logo.width() > kLogoWidth || logo.height() > kLogoHeight) {
        logo = logo.scaled(kLogoWidth, kLogoHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    Image1->setPicture(logo);
    connect(Image1, &quarvo::PictureBox::clicked, this, &TfAbout::CloseClick);
    connect(Image1, &quarvo::PictureBox::doubleClicked, this, &TfAbout::CloseClick);

    const QFont plain = quarvo::windowFont();
    const QFont bold = quarvo::windowFont(11, true);
    for (QLabel* label :
         {AddLabel("Label1", 320, 8, QStringLiteral("Quarvo"), quarvo::windowFont(24, true)),
          AddLabel("Label2", 363, 32, QStringLiteral("Version: 1.0"), plain),
          AddLabel(
              "Label6", 8, 288,
              QStringLiteral("Convert your Opera Contacts to Windows Adressbook compatible CSV "
                             "files "),
              bold),
          AddLabel(
              "Label7", 50, 304,
              QStringLiteral("and Opera Bookmarks to Internet Explorer  compatible HTML files."),
              bold)}) {
        close_on_click(label);
        close_on_double_click(label);
    }
    // The caption's doubled ampersand stands for one shown ampersand.
    AddLabel("Label3", 320, 96, QStringLiteral("Author & Contact:"), bold);

    lblEmail = AddLabel("lblEmail", 320, 112, QString::fromLatin1(kMakerAddress), plain);
    lblEmail->setCursor(Qt::PointingHandCursor);
    quarvo::onClick(lblEmail, [this] { SendEmail(); });
    quarvo::onDoubleClick(lblEmail, [this] { SendEmail(); });

    JvLabel1 = new quarvo::HotTrackLabel(
        QStringLiteral("for comments and suggestions please drop me an eMail "), this);
    JvLabel1->setObjectName(QStringLiteral("JvLabel1"));
    JvLabel1->setGeometry(329, 136, 113, 52);
    JvLabel1->setAlignment(Qt::AlignRight | Qt::AlignTop);
    JvLabel1->setWordWrap(true);
    JvLabel1->setOpenExternalLinks(false);
    JvLabel1->setTextFormat(Qt::PlainText);
    JvLabel1->setHandCursor(true);
    connect(JvLabel1, &quarvo::HotTrackLabel::clicked, this, &TfAbout::SendEmail);
    connect(JvLabel1, &quarvo::HotTrackLabel::doubleClicked, this, &TfAbout::SendEmail);

    Image2 = new quarvo::PictureBox(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(320, 184, 121, 97);
    Image2->setStretch(true);
    Image2->setPicture(QPixmap(QStringLiteral(":/images/about_mail.jpg")));
    Image2->setCursor(Qt::PointingHandCursor);
    connect(Image2, &quarvo::PictureBox::clicked, this, &TfAbout::SendEmail);
    connect(Image2, &quarvo::PictureBox::doubleClicked, this, &TfAbout::SendEmail);
}

QLabel* TfAbout::AddLabel(const char* name, int left, int top, const QString& text,
                          const QFont& font) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->adjustSize();
    label->move(left, top);
    return label;
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
    desktop_.OpenLink(quarvo::MailLink(lblEmail->text().toStdString()));
}
