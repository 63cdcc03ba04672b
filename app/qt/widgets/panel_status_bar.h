// SPDX-License-Identifier: MIT
// A status bar of fixed panels, each with a width and a text. A panel whose
// text does not fit its width grows, so that no text is cut; the last one
// takes whatever the others leave of the bar.
#pragma once

#include <QStatusBar>
#include <QVector>

class QLabel;

namespace quarvo {

class PanelStatusBar : public QStatusBar {
    Q_OBJECT

  public:
    explicit PanelStatusBar(QWidget* parent = nullptr);

    // Adds a panel at the right end and returns its index.
    int addPanel(int width, const QString& text = {});
    [[nodiscard]] int panelCount() const { return static_cast<int>(panels_.size()); }
    [[nodiscard]] QString panelText(int index) const;
    void setPanelText(int index, const QString& text);
    [[nodiscard]] int panelWidth(int index) const;
    [[nodiscard]] QLabel* panel(int index) const;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void fit(int index);

    struct Panel {
        QLabel* label;
        int width;
    };
    QVector<Panel> panels_;
};

}  // namespace quarvo
