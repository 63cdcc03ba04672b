// SPDX-License-Identifier: MIT
// A picture that stands for a feature still to come; a click closes it.
// Created with the other windows, but nothing in the program shows it yet.
// Its picture comes from the window layout.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TfUnderConstruction;
}

class TfUnderConstruction : public QDialog {
    Q_OBJECT
  public:
    explicit TfUnderConstruction(QWidget* parent = nullptr);
    ~TfUnderConstruction() override;

  public slots:
    void Image1Click();

  private:
    std::unique_ptr<Ui::TfUnderConstruction> ui_;
};
