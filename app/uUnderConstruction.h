// SPDX-License-Identifier: MIT
// A picture that stands for a feature still to come; a click closes it.
// Created with the other windows, but nothing in the program shows it yet.
#pragma once

#include <QDialog>


namespace quarvo {
class PictureBox;
}  // namespace quarvo

class TfUnderConstruction : public QDialog {
    Q_OBJECT
  public:
    explicit TfUnderConstruction(QWidget* parent = nullptr);

  public slots:
    void Image1Click();

  private:
    quarvo::PictureBox* Image1 = nullptr;
};
