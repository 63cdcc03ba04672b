// SPDX-License-Identifier: MIT
#include "window_placement.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace quarvo {
namespace {

QMargins frameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

// Qt's own placement of a dialog guesses the frame while the window has none
// yet, and under a window manager the first showing lands half a title bar
// and more too high.
class CentreOnShow : public QObject {
  public:
    explicit CentreOnShow(QWidget* window) : QObject(window), window_(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        // The show event comes before the window is mapped, and a window
        // that has been placed is no longer placed by QDialog.
        if (watched == window_ && event->type() == QEvent::Show && !event->spontaneous()) place();
        return false;
    }

  private:
    void place() {
        const QWidget* parent = window_->parentWidget();
        if (!parent || !parent->window()->isVisible()) return;
        const QWidget& owner = *parent->window();
        QMargins margins = frameMargins(*window_);
        if (margins.isNull()) margins = frameMargins(owner);
        const QScreen* screen = owner.screen();
        const QRect room = screen ? screen->availableGeometry() : owner.frameGeometry();
        window_->setGeometry(centredPlace(window_->size(), margins, owner.frameGeometry(), room));
    }

    QWidget* window_;
};

}  // namespace

QRect centredPlace(QSize client, QMargins margins, const QRect& owner_frame, const QRect& room) {
    QRect frame(QPoint(), client.grownBy(margins));
    frame.moveCenter(owner_frame.center());
    frame.moveLeft(std::max(std::min(frame.left(), room.right() + 1 - frame.width()), room.left()));
    frame.moveTop(std::max(std::min(frame.top(), room.bottom() + 1 - frame.height()), room.top()));
    return frame.marginsRemoved(margins);
}

void centreOverParentWhenShown(QWidget* window) {
    window->installEventFilter(new CentreOnShow(window));
}

}  // namespace quarvo
