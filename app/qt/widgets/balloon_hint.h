// SPDX-License-Identifier: MIT
// The application-wide balloon hint: once installed, every tooltip of the
// program is shown as a balloon with a header, an icon, the hint's text and
// a close button, pointing at the place the mouse rests on.
#pragma once

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;
class QToolButton;

namespace quarvo {

// The balloon itself: a frameless tip window shaped as a rounded box with a
// stem towards the point it is about.
class BalloonHintWindow : public QWidget {
    Q_OBJECT

  public:
    explicit BalloonHintWindow(QWidget* parent = nullptr);

    void setContent(const QPixmap& icon, const QString& header, const QString& text);
    // Places the balloon so that its stem points at `target` (global).
    void pointAt(const QPoint& target);

    [[nodiscard]] QString header() const;
    [[nodiscard]] QString text() const;
    [[nodiscard]] QPixmap icon() const;
    [[nodiscard]] QToolButton* closeButton() const { return close_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    [[nodiscard]] QPainterPath outline() const;

    QLabel* icon_;
    QLabel* header_;
    QLabel* text_;
    QToolButton* close_;
    bool stem_on_top_ = true;
    int stem_x_ = 20;
};

class BalloonHint : public QObject {
    Q_OBJECT

  public:
    explicit BalloonHint(QObject* parent = nullptr);
    ~BalloonHint() override;

    void setHeader(const QString& header) { header_ = header; }
    [[nodiscard]] QString header() const { return header_; }
    void setIcon(const QPixmap& icon) { icon_ = icon; }
    [[nodiscard]] QPixmap icon() const { return icon_; }

    // Takes over the tooltips of the whole application.
    void install();
    void uninstall();

    void showHint(QWidget* anchor, const QPoint& globalPos, const QString& text);
    void hideHint();
    // The balloon while one is shown, else null.
    [[nodiscard]] BalloonHintWindow* balloon() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QString header_;
    QPixmap icon_;
    QPointer<BalloonHintWindow> window_;
    QPointer<QWidget> anchor_;
    bool installed_ = false;
};

}  // namespace quarvo
