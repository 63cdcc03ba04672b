// SPDX-License-Identifier: MIT
// The application's default error report. An error that escapes a handler
// ends that user action; its message is shown in a box captioned with the
// application title and the program goes on with whatever state the action
// reached. Handlers catch nothing themselves.
#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <utility>

namespace quarvo {

// Shows the message of `error` in the error box.
void ReportError(const std::exception& error);
// The text the error box shows for `error`.
[[nodiscard]] QString ErrorMessage(const std::exception& error);

// While a hook is set, the error box hands its text to the hook instead.
using ErrorHook = std::function<void(const QString& message)>;
void SetErrorHook(ErrorHook hook);

// Runs `action`, sending an error that escapes it to the error report.
template <class Action>
void RunReporting(Action&& action) {
    try {
        std::forward<Action>(action)();
    } catch (const std::exception& error) {
        ReportError(error);
    }
}

// A slot for connect() that runs `action` under the error report, so that an
// error stops at the signal's receiver instead of unwinding through Qt.
template <class Action>
[[nodiscard]] auto Reporting(Action action) {
    return [action = std::move(action)]() { RunReporting(action); };
}

}  // namespace quarvo
