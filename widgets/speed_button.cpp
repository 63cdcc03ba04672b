#include "speed_button.h"

#include <QEvent>

SpeedButton::SpeedButton(QWidget* parent) : QToolButton(parent) {
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setFocusPolicy(Qt::NoFocus);
}

void SpeedButton::setGlyph(const QPixmap& normal, const QPixmap& disabled) {
    glyph_ = normal;
    disabled_glyph_ = disabled;
    QIcon icon;
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(normal, QIcon::Active);
    icon.addPixmap(disabled, QIcon::Disabled);
    setIcon(icon);
    if (!normal.isNull()) setIconSize(normal.deviceIndependentSize().toSize());
}

void SpeedButton::enterEvent(QEnterEvent* event) {
    hot_track_.enter();
    QToolButton::enterEvent(event);
}

void SpeedButton::leaveEvent(QEvent* event) {
    hot_track_.leave();
    QToolButton::leaveEvent(event);
}

void SpeedButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) hot_track_.leave();
    QToolButton::changeEvent(event);
}
