#include "uUnderConstruction.h"

TfUnderConstruction::TfUnderConstruction(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fUnderConstruction"));
    setWindowTitle(QStringLiteral("Quarvo - [Under Construction]"));
}
