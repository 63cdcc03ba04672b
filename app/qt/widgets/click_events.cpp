// SPDX-License-Identifier: MIT
#include "click_events.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>
#include <utility>

namespace quarvo {
namespace {

class ClickFilter : public QObject {
  public:
    ClickFilter(QWidget* widget, QEvent::Type trigger, std::function<void()> handler)
        : QObject(widget), widget_(widget), trigger_(trigger), handler_(std::move(handler)) {
        widget->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != widget_) return false;
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
            type != QEvent::MouseButtonDblClick) {
            return false;
        }
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) return false;
        if (type == QEvent::MouseButtonPress) {
            pressed_ = true;
        } else if (type == QEvent::MouseButtonRelease) {
            // A press that started elsewhere, or a drag out of the widget,
            // is no click.
            const bool click = pressed_ && widget_->rect().contains(mouse->position().toPoint());
            pressed_ = false;
            if (click && trigger_ == QEvent::MouseButtonRelease) handler_();
        } else {
            // The release that ends a double click is no click of its own.
            pressed_ = false;
            if (trigger_ == QEvent::MouseButtonDblClick) handler_();
        }
        return false;
    }

  private:
    QWidget* widget_;
    QEvent::Type trigger_;
    std::function<void()> handler_;
    bool pressed_ = false;
};

}  // namespace

void onClick(QWidget* widget, std::function<void()> handler) {
    new ClickFilter(widget, QEvent::MouseButtonRelease, std::move(handler));
}

void onDoubleClick(QWidget* widget, std::function<void()> handler) {
    new ClickFilter(widget, QEvent::MouseButtonDblClick, std::move(handler));
}

}  // namespace quarvo
