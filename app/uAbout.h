// SPDX-License-Identifier: MIT
// The about window: name, version and the maker's address. Most of it
// closes the window when clicked; the address, the line under it and the
// envelope open a new e-mail to the maker instead.
#pragma once

#include <QDialog>

#include "desktop.h"

class QLabel;

namespace quarvo {
class HotTrackLabel;
class PictureBox;
}  // namespace quarvo

class TfAbout : public QDialog {
    Q_OBJECT
  public:
    explicit TfAbout(quarvo::Desktop& desktop, QWidget* parent = nullptr);

    // The address lblEmail shows and the mail link is made of.
    static constexpr const char* kMakerAddress = "quarvo@example.org";

  public slots:
    void CloseClick();
    void SendEmail();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QLabel* AddLabel(const char* name, int left, int top, const QString& text, const QFont& font);

    quarvo::Desktop& desktop_;
    quarvo::PictureBox* Image1 = nullptr;
    QLabel* lblEmail = nullptr;
    quarvo::HotTrackLabel* JvLabel1 = nullptr;
    quarvo::PictureBox* Image2 = nullptr;
};
