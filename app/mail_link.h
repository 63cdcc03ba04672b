// SPDX-License-Identifier: MIT
// The about window's "mailto:" link and the hand-over of a link to the
// desktop's opener. Tests set a hook so that no mail program starts.
#pragma once

#include <functional>
#include <string>
#include <string_view>

class QWidget;

namespace quarvo {

// "mailto:", the address, "?subject=Quarvo: ", nothing encoded: the mail
// program receives the address exactly as the window shows it.
[[nodiscard]] std::string MailLink(std::string_view address);

// Asks the platform to open `link` with the user's program for it, the
// opened window maximised and owned by `owner`'s window. The result is not
// looked at: without a mail program nothing happens.
void OpenLink(QWidget* owner, const std::string& link);

// While a hook is set, OpenLink hands the link to the hook instead.
using LinkOpenerHook = std::function<void(QWidget* owner, const std::string& link)>;
void SetLinkOpenerHook(LinkOpenerHook hook);

}  // namespace quarvo
