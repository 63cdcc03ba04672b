#pragma once

#include <QDialog>

class TfFileViewer : public QDialog {
    Q_OBJECT
public:
    explicit TfFileViewer(QWidget* parent = nullptr);
};
