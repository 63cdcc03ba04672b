// SPDX-License-Identifier: MIT
#include "accessible_names.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "file_name_edit.h"

namespace quarvo {

void nameFromHint(QAbstractButton* button) {
    if (!button->text().isEmpty()) return;
    button->setAccessibleName(button->toolTip().section(QLatin1Char('\n'), 0, 0).trimmed());
}

void nameByLabel(FileNameEdit* field, QLabel* label) {
    const QString name = label->text();
    label->setBuddy(field);
    field->setAccessibleName(name);
    field->lineEdit()->setAccessibleName(name);
    field->browseButton()->setAccessibleName(QStringLiteral("Browse for the ") + name);
}

}  // namespace quarvo
