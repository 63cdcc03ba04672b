// SPDX-License-Identifier: MIT
#include "balloon_hint.h"

#include <QApplication>
#include <QBitmap>
#include <QGridLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace quarvo {

namespace {

constexpr int kStemHeight = 14;
constexpr int kStemWidth = 14;
constexpr int kCornerRadius = 8;
// How long a balloon stays when the user does nothing, as a tooltip does.
constexpr int kHideAfterMs = 10000;

const QColor kBalloonColor(255, 255, 225);

}  // namespace

BalloonHintWindow::BalloonHintWindow(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint),
      icon_(new QLabel(this)),
      header_(new QLabel(this)),
      text_(new QLabel(this)),
      close_(new QToolButton(this)) {
    setObjectName(QStringLiteral("BalloonHintWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    header_->setObjectName(QStringLiteral("header"));
    text_->setObjectName(QStringLiteral("text"));
    icon_->setObjectName(QStringLiteral("icon"));
    close_->setObjectName(QStringLiteral("closeButton"));
    QFont bold = header_->font();
    bold.setBold(true);
    header_->setFont(bold);
    header_->setTextFormat(Qt::PlainText);
    text_->setTextFormat(Qt::PlainText);
    close_->setAutoRaise(true);
    close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close_->setIconSize(QSize(10, 10));
    close_->setToolTip(QString());
    connect(close_, &QToolButton::clicked, this, &QWidget::close);

    QPalette colours = palette();
    colours.setColor(QPalette::Window, kBalloonColor);
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    grid->addWidget(icon_, 0, 0, Qt::AlignTop);
    grid->addWidget(header_, 0, 1);
    grid->addWidget(close_, 0, 2, Qt::AlignTop | Qt::AlignRight);
    grid->addWidget(text_, 1, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void BalloonHintWindow::setContent(const QPixmap& icon, const QString& header,
                                   const QString& text) {
    icon_->setPixmap(icon);
    header_->setText(header);
    text_->setText(text);
    layout()->activate();
}

QString BalloonHintWindow::header() const {
    return header_->text();
}

QString BalloonHintWindow::text() const {
    return text_->text();
}

QPixmap BalloonHintWindow::icon() const {
    return icon_->pixmap();
}

void BalloonHintWindow::pointAt(const QPoint& target) {
    const QScreen* screen = QGuiApplication::screenAt(target);
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(target, QSize(1, 1));

    // Below the point when there is room, else above it; the stem turns with it.
    stem_on_top_ = target.y() + kStemHeight + height() <= area.bottom();
    QMargins margins(8, 6, 8, 6);
    if (stem_on_top_)
        margins.setTop(margins.top() + kStemHeight);
    else
        margins.setBottom(margins.bottom() + kStemHeight);
    layout()->setContentsMargins(margins);
    layout()->activate();
    adjustSize();

    int left = target.x() - 20;
    left = std::clamp(left, area.left(), std::max(area.left(), area.right() - width()));
    stem_x_ = std::clamp(target.x() - left, kCornerRadius + kStemWidth / 2,
                         width() - kCornerRadius - kStemWidth / 2);
    const int top = stem_on_top_ ? target.y() : target.y() - height();
    move(left, top);
    resizeEvent(nullptr);
    update();
}

QPainterPath BalloonHintWindow::outline() const {
    const QRectF box = stem_on_top_
                           ? QRectF(0, kStemHeight, width() - 1, height() - kStemHeight - 1)
                           : QRectF(0, 0, width() - 1, height() - kStemHeight - 1);
    QPainterPath path;
    path.addRoundedRect(box, kCornerRadius, kCornerRadius);
    QPainterPath stem;
    const qreal base = stem_on_top_ ? box.top() + 1 : box.bottom() - 1;
    const qreal tip = stem_on_top_ ? 0 : height() - 1;
    stem.moveTo(stem_x_ - kStemWidth / 2.0, base);
    stem.lineTo(stem_x_ - kStemWidth / 2.0, tip);
    stem.lineTo(stem_x_ + kStemWidth / 2.0, base);
    stem.closeSubpath();
    return path.united(stem);
}

void BalloonHintWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(80, 80, 80), 1));
    painter.setBrush(kBalloonColor);
    painter.drawPath(outline());
}

void BalloonHintWindow::resizeEvent(QResizeEvent*) {
    // Without a compositor a window cannot be see-through, so the balloon's
    // shape is cut out of its square window instead.
    QBitmap mask(size());
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    painter.setPen(QPen(Qt::color1, 1));
    painter.setBrush(Qt::color1);
    painter.drawPath(outline());
    painter.end();
    setMask(mask);
}

BalloonHint::BalloonHint(QObject* parent) : QObject(parent) {}

BalloonHint::~BalloonHint() {
    uninstall();
    hideHint();
}

void BalloonHint::install() {
    if (installed_ || !qApp) return;
    qApp->installEventFilter(this);
    installed_ = true;
}

void BalloonHint::uninstall() {
    if (!installed_ || !qApp) return;
    qApp->removeEventFilter(this);
    installed_ = false;
}

BalloonHintWindow* BalloonHint::balloon() const {
    return window_;
}

void BalloonHint::showHint(QWidget* anchor, const QPoint& globalPos, const QString& text) {
    if (window_ && anchor_ == anchor && window_->text() == text) return;
    hideHint();
    anchor_ = anchor;
    window_ = new BalloonHintWindow();
    window_->setContent(icon_, header_, text);
    window_->pointAt(globalPos);
    window_->show();
    QTimer::singleShot(kHideAfterMs, window_, &QWidget::close);
}

void BalloonHint::hideHint() {
    if (window_) window_->close();
    window_ = nullptr;
    anchor_ = nullptr;
}

bool BalloonHint::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::ToolTip: {
            auto* widget = qobject_cast<QWidget*>(watched);
            // A widget without a hint lets the event travel on to its parent,
            // whose hint then covers it.
            if (!widget || widget->toolTip().isEmpty()) return false;
            const auto* help = static_cast<QHelpEvent*>(event);
            showHint(widget, help->globalPos(), widget->toolTip());
            return true;
        }
        case QEvent::Leave:
            if (window_ && watched == anchor_) hideHint();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::KeyPress:
        case QEvent::Wheel:
        case QEvent::WindowDeactivate:
            if (window_ && !window_->isAncestorOf(qobject_cast<QWidget*>(watched)) &&
                watched != window_)
                hideHint();
            break;
        case QEvent::Hide:
            if (window_ && watched == anchor_) hideHint();
            break;
        default:
            break;
    }
    return false;
}

}  // namespace quarvo
