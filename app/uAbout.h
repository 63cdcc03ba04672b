// SPDX-License-Identifier: MIT
// The about window: name, version and the maker's address. Most of it
// closes the window when clicked; the address, the line under it and the
// envelope open a new e-mail to the maker instead.
#pragma once

#include <QDialog>

#include "desktop.h"
#include "program_texts.h"

class HotTrackLabel;
class PictureBox;
class QLabel;

class TfAbout : public QDialog {
    Q_OBJECT
  public:
    explicit TfAbout(quarvo::Desktop& desktop, QWidget* parent = nullptr);

    // The address lblEmail shows and the mail link is made of.
    static constexpr const char* kMakerAddress = quarvo::kMakerAddress;

  public slots:
    void CloseClick();
    void SendEmail();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QLabel* AddLabel(const char* name, int left, int top, const QString& text, const QFont& font);

    quarvo::Desktop& desktop_;
    PictureBox* Image1 = nullptr;
    QLabel* lblEmail = nullptr;
    HotTrackLabel* JvLabel1 = nullptr;
    PictureBox* Image2 = nullptr;
};
