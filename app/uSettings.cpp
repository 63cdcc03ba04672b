// SPDX-License-Identifier: MIT
#include "uSettings.h"

#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>

#include "app_globals.h"
#include "click_events.h"
#include "hot_track_glyph_button.h"
#include "picture_box.h"
#include "uAbout.h"
#include "viewer_look.h"

namespace {

// A sunken line along the bottom edge of its box, parting the header from
// the text.
class BottomBevel : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const int y = height() - 2;
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(0, y, width() - 1, y);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(0, y + 1, width() - 1, y + 1);
    }
};

QString helpText() {
    QFile file(QStringLiteral(":/help.txt"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

}  // namespace

TfSettings::TfSettings(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fSettings"));
    setWindowTitle(QStringLiteral("Quarvo - [Help]"));
    setFont(quarvo::windowFont());
    setFixedSize(586, 451);  // 594 by 478 with the frame and title bar
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    CreateHeader();

    auto* bevel = new BottomBevel(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setGeometry(8, 96, 569, 10);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 120, 569, 289);
    Memo1->setReadOnly(true);
    // Read-only, yet the keys still move through the text and Tab leaves it.
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo1->setTabChangesFocus(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setPlainText(helpText());

    jhbStartConversion = new quarvo::HotTrackGlyphButton(QStringLiteral("Close"), this);
    jhbStartConversion->setObjectName(QStringLiteral("jhbStartConversion"));
    jhbStartConversion->setGeometry(8, 414, 569, 25);
    jhbStartConversion->setGlyph(QPixmap(QStringLiteral(":/images/glyphs/exit.png")),
                                 QPixmap(QStringLiteral(":/images/glyphs/exit_disabled.png")));
    QPalette aqua = jhbStartConversion->palette();
    aqua.setColor(QPalette::Button, QColor(0, 255, 255));
    jhbStartConversion->setPalette(aqua);
    connect(jhbStartConversion, &quarvo::HotTrackGlyphButton::clicked, this,
            &TfSettings::jhbStartConversionClick);

    setTabOrder(Memo1, jhbStartConversion);
    Memo1->setFocus();
}

QLabel* TfSettings::AddHeaderLabel(const char* name, int left, int top, const QString& text,
                                   bool bold) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->setFont(quarvo::windowFont(11, bold));
    label->adjustSize();
    label->move(left, top);
    quarvo::onDoubleClick(label, [this] { Image1DblClick(); });
    return label;
}

void TfSettings::CreateHeader() {
    Image1 = new quarvo::PictureBox(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(8, 6, 105, 89);
    Image1->setStretch(true);
    Image1->setPicture(QPixmap(QStringLiteral(":/images/logo.jpg")));
    connect(Image1, &quarvo::PictureBox::doubleClicked, this, &TfSettings::Image1DblClick);

    QLabel* name = AddHeaderLabel("Label1", 120, 2, QStringLiteral("Quarvo"), true);
    name->setFont(quarvo::windowFont(24, true));
    name->adjustSize();
    AddHeaderLabel("Label5", 163, 26, QStringLiteral("Version: 1.0"), false);
    AddHeaderLabel(
        "Label6", 118, 58,
        QStringLiteral("Convert your Opera Contacts to Windows Adressbook compatible CSV files "),
        true);
    AddHeaderLabel(
        "Label7", 170, 74,
        QStringLiteral("and Opera Bookmarks to Internet Explorer  compatible HTML files."), true);
}

void TfSettings::jhbStartConversionClick() {
    close();
}

void TfSettings::Image1DblClick() {
    fAbout->exec();
}
