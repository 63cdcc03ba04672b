#pragma once

#include <QDialog>

class TfSettings : public QDialog {
    Q_OBJECT
public:
    explicit TfSettings(QWidget* parent = nullptr);
};
