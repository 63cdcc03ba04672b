// SPDX-License-Identifier: MIT
// The about window: name, version and the maker's address. Most of it
// closes the window when clicked; the address, the line under it and the
// envelope open a new e-mail to the maker instead. Its controls come from
// the window layout.
#pragma once

#include <QDialog>
#include <memory>

#include "desktop.h"
#include "program_texts.h"

namespace Ui {
class TfAbout;
}

class TfAbout : public QDialog {
    Q_OBJECT
  public:
    explicit TfAbout(quarvo::Desktop& desktop, QWidget* parent = nullptr);
    ~TfAbout() override;

    // The address lblEmail shows and the mail link is made of.
    static constexpr const char* kMakerAddress = quarvo::kMakerAddress;

  public slots:
    void CloseClick();
    void SendEmail();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void showLogo();
    void fitTexts();
    void connectHandlers();

    std::unique_ptr<Ui::TfAbout> ui_;
    quarvo::Desktop& desktop_;
};
