// SPDX-License-Identifier: MIT
#include "message_box.h"

#include <QMessageBox>

#include "app_globals.h"

namespace quarvo {
namespace {

QuestionHook& question_hook() {
    static QuestionHook hook;
    return hook;
}

}  // namespace

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
