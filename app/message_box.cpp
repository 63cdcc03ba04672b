// SPDX-License-Identifier: MIT
#include "message_box.h"

#include <QMessageBox>

#include "app_globals.h"

namespace quarvo {
namespace {

MessageHook& message_hook() {
    static MessageHook hook;
    return hook;
}

QuestionHook& question_hook() {
    static QuestionHook hook;
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

bool AskToSaveAnyway(QWidget* parent, const QString& text) {
    if (question_hook()) return question_hook()(text);
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kApplicationTitle), text,
                    QMessageBox::Save | QMessageBox::Cancel, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Save;
}

void SetQuestionHook(QuestionHook hook) {
    question_hook() = std::move(hook);
}

}  // namespace quarvo
