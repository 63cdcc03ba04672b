// SPDX-License-Identifier: MIT
// The viewer's one question, whether to save although the file's encoding
// cannot hold some of the characters typed. Tests replace it with a hook so
// that no modal box blocks them.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace quarvo {

// Shows `text` with Save and Cancel over `parent`; true when the user saves.
[[nodiscard]] bool AskToSaveAnyway(QWidget* parent, const QString& text);

// While a hook is set, AskToSaveAnyway hands its text to the hook instead.
using QuestionHook = std::function<bool(const QString& text)>;
void SetQuestionHook(QuestionHook hook);

}  // namespace quarvo
