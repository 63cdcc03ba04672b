// SPDX-License-Identifier: MIT
// The help window: the program's logo and name over a fixed, read-only help
// text, and a button to close it. A double click on the logo area opens the
// about window over it.
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace quarvo {
class HotTrackGlyphButton;
class PictureBox;
}  // namespace quarvo

class TfSettings : public QDialog {
    Q_OBJECT
  public:
    explicit TfSettings(QWidget* parent = nullptr);

  public slots:
    void jhbStartConversionClick();
    void Image1DblClick();

  private:
    void CreateHeader();
    QLabel* AddHeaderLabel(const char* name, int left, int top, const QString& text, bool bold);

    quarvo::PictureBox* Image1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    quarvo::HotTrackGlyphButton* jhbStartConversion = nullptr;
};
