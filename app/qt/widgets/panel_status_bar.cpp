// SPDX-License-Identifier: MIT
#include "panel_status_bar.h"

#include <QEvent>
#include <QLabel>
#include <algorithm>

namespace quarvo {

PanelStatusBar::PanelStatusBar(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
}

int PanelStatusBar::addPanel(int width, const QString& text) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("Panel%1").arg(panels_.size()));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setMargin(2);
    panels_.push_back({label, width});
    // Every panel stretches, but only the last has room to: the others
    // have fixed widths.
    addWidget(label, 1);
    for (int i = std::max(0, panelCount() - 2); i < panelCount(); ++i) fit(i);
    return panelCount() - 1;
}

QString PanelStatusBar::panelText(int index) const {
    return panels_.at(index).label->text();
}

void PanelStatusBar::setPanelText(int index, const QString& text) {
    panels_.at(index).label->setText(text);
    fit(index);
}

int PanelStatusBar::panelWidth(int index) const {
    return panels_.at(index).label->width();
}

QLabel* PanelStatusBar::panel(int index) const {
    return panels_.at(index).label;
}

void PanelStatusBar::changeEvent(QEvent* event) {
    QStatusBar::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        for (int i = 0; i < panelCount(); ++i) fit(i);
}

void PanelStatusBar::fit(int index) {
    QLabel* label = panels_[index].label;
    const int needed = label->fontMetrics().horizontalAdvance(label->text()) +
                       2 * (label->margin() + label->frameWidth()) +
                       label->fontMetrics().averageCharWidth();
    if (index + 1 < panelCount()) {
        label->setFixedWidth(std::max(panels_[index].width, needed));
        return;
    }
    // The last panel takes what is left of the bar, so that it never runs
    // past the window's edge, however wide the others grew.
    label->setMinimumWidth(needed);
    label->setMaximumWidth(QWIDGETSIZE_MAX);
}

}  // namespace quarvo
