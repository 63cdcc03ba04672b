#include "uSettings.h"

TfSettings::TfSettings(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fSettings"));
    setWindowTitle(QStringLiteral("Quarvo - [Help]"));
}
