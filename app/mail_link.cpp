// SPDX-License-Identifier: MIT
#include "mail_link.h"

#include <QWidget>
#include <utility>

#ifdef _WIN32
#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>
#else
#include <QDesktopServices>
#include <QString>
#include <QUrl>
#endif

namespace quarvo {
namespace {

LinkOpenerHook& Hook() {
    static LinkOpenerHook hook;
    return hook;
}

}  // namespace

std::string MailLink(std::string_view address) {
    std::string link = "mailto:";
    link += address;
    link += "?subject=Quarvo: ";
    return link;
}

void OpenLink(QWidget* owner, const std::string& link) {
    if (Hook()) {
        Hook()(owner, link);
        return;
    }
#ifdef _WIN32
    HWND window = owner ? reinterpret_cast<HWND>(owner->window()->winId()) : nullptr;
    ShellExecuteA(window, nullptr, link.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
#else
    // The desktop's opener wants a URL; tolerant parsing keeps the link as
    // built and escapes only what a URL cannot carry (the subject's blanks).
    QDesktopServices::openUrl(
        QUrl(QString::fromLocal8Bit(link.data(), static_cast<qsizetype>(link.size())),
             QUrl::TolerantMode));
#endif
}

void SetLinkOpenerHook(LinkOpenerHook hook) {
    Hook() = std::move(hook);
}

}  // namespace quarvo
