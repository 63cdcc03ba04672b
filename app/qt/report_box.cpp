// SPDX-License-Identifier: MIT
#include "report_box.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStringDecoder>
#include <QVBoxLayout>
#include <algorithm>

#include "program_texts.h"

namespace quarvo {

QString ReportBox::detailsText(std::string_view details) {
    QString text;
    for (std::size_t start = 0; start < details.size();) {
        std::size_t end = details.find('\n', start);
        end = end == std::string_view::npos ? details.size() : end + 1;
        const QByteArrayView line(details.data() + start, static_cast<qsizetype>(end - start));
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8(line);
        text += utf8.hasError() ? QString::fromLocal8Bit(line) : decoded;
        start = end;
    }
    return text;
}

ReportBox::ReportBox(const QString& text, std::string_view details, QWidget* parent)
    : QDialog(parent), list_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("ReportBox"));
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    auto* message = new QLabel(text, this);
    message->setObjectName(QStringLiteral("ReportText"));
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    list_->setObjectName(QStringLiteral("ReportDetails"));
    list_->setReadOnly(true);
    list_->setLineWrapMode(QPlainTextEdit::NoWrap);
    list_->setPlainText(detailsText(details));
    list_->setAccessibleName(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);

    // As tall as the list needs, up to half the screen: a long list scrolls.
    const QRect room = screen() ? screen()->availableGeometry() : QRect(0, 0, 800, 600);
    const QFontMetrics metrics(list_->font());
    const int lines = std::max(3, static_cast<int>(list_->document()->blockCount()));
    // Room for the lines, the frame and a horizontal scroll bar under them.
    const int list_height = std::min(lines * metrics.lineSpacing() + 2 * list_->frameWidth() + 8 +
                                         list_->horizontalScrollBar()->sizeHint().height(),
                                     room.height() / 2);
    list_->setMinimumHeight(std::min(list_height, 6 * metrics.lineSpacing()));
    resize(std::min(560, room.width() * 9 / 10),
           std::min(sizeHint().height() - list_->sizeHint().height() + list_height,
                    room.height() * 9 / 10));
}

}  // namespace quarvo
