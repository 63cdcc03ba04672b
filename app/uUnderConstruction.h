#pragma once

#include <QDialog>

class TfUnderConstruction : public QDialog {
    Q_OBJECT
public:
    explicit TfUnderConstruction(QWidget* parent = nullptr);
};
