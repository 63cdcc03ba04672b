#include "message_box.h"

#include <QMessageBox>

#include "app_globals.h"

namespace quarvo {
namespace {

MessageHook& message_hook() {
    static MessageHook hook;
    return hook;
}

}  // namespace

void ShowMessage(QWidget* parent, const QString& text) {
    if (message_hook()) {
        message_hook()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), text,
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void SetMessageHook(MessageHook hook) {
    message_hook() = std::move(hook);
}

}  // namespace quarvo
