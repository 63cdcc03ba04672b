// SPDX-License-Identifier: MIT
// What the windows' logic needs from the desktop it runs on: the message
// boxes, the error report, the save question and the file dialog, the
// opener of links and the user's folders. Each front end implements
// it once; tests replace it. Texts are bytes: file names in them are spelt
// as the file system spells them, the rest is ASCII, unless a call says
// UTF-8.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quarvo {

// The answers to the question before unsaved changes are dropped.
enum class SaveChoice { Save, Discard, Cancel };

class Desktop {
  public:
    virtual ~Desktop() = default;

    // Shows `text` in the program's box with one OK button; returns when the
    // user has closed it.
    virtual void ShowMessage(std::string_view text) = 0;

    // Shows `text` over `details`, a list of lines of any length in UTF-8
    // (a line that is not UTF-8 is in the system's code page), in a box that
    // fits the screen and scrolls; returns when the user has closed it.
    virtual void ShowReport(std::string_view text, std::string_view details) = 0;

    // Shows the message of an error that ended a user action.
    virtual void ReportError(std::string_view message) = 0;

    // Asks whether to save although the file cannot hold every character;
    // `question` is UTF-8. Save is true; Cancel, the default, is false.
    [[nodiscard]] virtual bool AskToSaveAnyway(std::string_view question) = 0;

    // Asks whether to save changes before they would be dropped: Save, the
    // default, Discard, or Cancel.
    [[nodiscard]] virtual SaveChoice AskToSaveChanges(std::string_view question) = 0;

    // Asks whether to replace what the question names, which is then lost:
    // Yes is true; No, the default, is false.
    [[nodiscard]] virtual bool AskToReplace(std::string_view question) = 0;

    // The save dialog, opened on `suggested`'s folder with its name filled
    // in: the name the user confirmed, or nothing when cancelled.
    [[nodiscard]] virtual std::optional<std::string> AskSaveFileName(
        const std::string& suggested) = 0;

    // Asks the platform to open `link` with the user's program for it,
    // maximised and owned by the program's main window. The result is not
    // looked at: without a mail program nothing happens.
    virtual void OpenLink(const std::string& link) = 0;

    // Answers as GetShellFolderPath does: a folder ending in a separator,
    // or "". May throw quarvo::Exception when the system has no answer.
    [[nodiscard]] virtual std::string LookUpFolder(std::uint8_t kind) = 0;
};

// Runs `action`, sending an error that escapes it to `desktop`'s error
// report: an error ends the user's action, never the program.
template <class Action>
void RunReporting(Desktop& desktop, Action&& action) {
    try {
        std::forward<Action>(action)();
    } catch (const std::exception& error) {
        desktop.ReportError(error.what());
    }
}

// The same as a handler to connect to a control's event.
template <class Action>
[[nodiscard]] auto Reporting(Desktop& desktop, Action action) {
    return [&desktop, action = std::move(action)]() { RunReporting(desktop, action); };
}

}  // namespace quarvo
