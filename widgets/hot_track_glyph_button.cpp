#include "hot_track_glyph_button.h"

#include <QEvent>

HotTrackGlyphButton::HotTrackGlyphButton(QWidget* parent) : QPushButton(parent) {}

HotTrackGlyphButton::HotTrackGlyphButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent) {}

void HotTrackGlyphButton::setGlyph(const QPixmap& normal, const QPixmap& disabled) {
    glyph_ = normal;
    disabled_glyph_ = disabled;
    QIcon icon;
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(normal, QIcon::Active);
    icon.addPixmap(disabled, QIcon::Disabled);
    setIcon(icon);
    if (!normal.isNull()) setIconSize(normal.deviceIndependentSize().toSize());
}

void HotTrackGlyphButton::enterEvent(QEnterEvent* event) {
    hot_track_.enter();
    QPushButton::enterEvent(event);
}

void HotTrackGlyphButton::leaveEvent(QEvent* event) {
    hot_track_.leave();
    QPushButton::leaveEvent(event);
}

void HotTrackGlyphButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) hot_track_.leave();
    QPushButton::changeEvent(event);
}
