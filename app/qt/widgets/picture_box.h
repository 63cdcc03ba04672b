// SPDX-License-Identifier: MIT
// A picture that reports clicks and double clicks; stretched to its box or
// shown at its own size.
#pragma once

#include <QLabel>

namespace quarvo {

class PictureBox : public QLabel {
    Q_OBJECT
    Q_PROPERTY(bool stretch READ stretch WRITE setStretch)

  public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture) { setPixmap(picture); }
    [[nodiscard]] QPixmap picture() const { return pixmap(); }

    [[nodiscard]] bool stretch() const { return hasScaledContents(); }
    void setStretch(bool on) { setScaledContents(on); }

  signals:
    void clicked();
    void doubleClicked();
};

}  // namespace quarvo
