// SPDX-License-Identifier: MIT
// The program's message boxes: caption "Quarvo", the text, one OK button;
// and the viewer's one question, whether to save although the file's
// encoding cannot hold some of the characters typed. Tests replace both with
// hooks so that no modal box blocks them.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace quarvo {

// Shows `text` modally over `parent` and returns when the user closes it.
void ShowMessage(QWidget* parent, const QString& text);

// While a hook is set, ShowMessage hands its text to the hook instead.
using MessageHook = std::function<void(const QString& text)>;
void SetMessageHook(MessageHook hook);

// Shows `text` with Save and Cancel over `parent`; true when the user saves.
[[nodiscard]] bool AskToSaveAnyway(QWidget* parent, const QString& text);

// While a hook is set, AskToSaveAnyway hands its text to the hook instead.
using QuestionHook = std::function<bool(const QString& text)>;
void SetQuestionHook(QuestionHook hook);

}  // namespace quarvo
