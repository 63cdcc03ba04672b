// The program's message box: caption "Quarvo", the text, one OK button. Tests
// replace it with a hook so that no modal box blocks them.
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

}  // namespace quarvo
