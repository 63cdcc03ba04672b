// SPDX-License-Identifier: MIT
// The help window: the program's logo and name over a fixed, read-only help
// text, and a button to close it. A double click on the logo area opens the
// about window over it. Its controls come from the window layout.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TfSettings;
}

class TfSettings : public QDialog {
    Q_OBJECT
  public:
    explicit TfSettings(QWidget* parent = nullptr);
    ~TfSettings() override;

  public slots:
    void jhbStartConversionClick();
    void Image1DblClick();

  private:
    void fitTexts();
    void createCloseButton();

    std::unique_ptr<Ui::TfSettings> ui_;
};
