#include "uFileViewer.h"

TfFileViewer::TfFileViewer(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fFileViewer"));
    setWindowTitle(QStringLiteral("Quarvo - [Fileviewer]"));
}
