// SPDX-License-Identifier: MIT
// A sunken line along the bottom edge of its box, parting one area of a
// window from the next.
#pragma once

#include <QWidget>

namespace quarvo {

class Bevel : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace quarvo
