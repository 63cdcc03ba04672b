// SPDX-License-Identifier: MIT
#include "bookmark_flavour_menu.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "desktop.h"
#include "main_window_logic.h"

namespace quarvo {
namespace {

QAction* addCheckable(QMenu* menu, const char* name, const QString& text) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(true);
    return action;
}

}  // namespace

QMenu* addBookmarkFlavourMenu(QMenuBar* bar, QAction* before, MainWindowLogic& logic,
                              Desktop& desktop) {
    auto* menu = new QMenu(QStringLiteral("Bookmar&ks output"), bar);
    menu->setObjectName(QStringLiteral("BookmarksOutput1"));
    bar->insertMenu(before, menu);

    QAction* explorer =
        addCheckable(menu, "InternetExplorerFlavour", QStringLiteral("&Internet Explorer file"));
    QAction* browser =
        addCheckable(menu, "BrowserFlavour", QStringLiteral("&Firefox and Chromium file"));
    auto* flavours = new QActionGroup(menu);
    flavours->addAction(explorer);
    flavours->addAction(browser);
    const bool browser_chosen = logic.bookmark_options().flavour == BookmarkFlavour::kBrowser;
    (browser_chosen ? browser : explorer)->setChecked(true);

    menu->addSeparator();
    QAction* keep_trash =
        addCheckable(menu, "KeepBookmarksTrash", QStringLiteral("Keep Opera's &trash"));
    keep_trash->setChecked(logic.bookmark_options().keep_trash);
    // The Internet Explorer file always holds the trash, as a folder.
    keep_trash->setEnabled(browser_chosen);

    menu->addSeparator();
    QAction* details = menu->addAction(QStringLiteral("Conversion &details..."));
    details->setObjectName(QStringLiteral("ConversionDetails"));

    const auto choose = [&logic, browser, keep_trash] {
        BookmarkOptions options;
        options.flavour =
            browser->isChecked() ? BookmarkFlavour::kBrowser : BookmarkFlavour::kInternetExplorer;
        options.keep_trash = keep_trash->isChecked();
        keep_trash->setEnabled(browser->isChecked());
        logic.SetBookmarkOptions(options);
    };
    QObject::connect(flavours, &QActionGroup::triggered, menu, choose);
    QObject::connect(keep_trash, &QAction::toggled, menu, choose);
    QObject::connect(details, &QAction::triggered, menu,
                     Reporting(desktop, [&logic] { logic.ShowDetails(); }));
    QObject::connect(menu, &QMenu::aboutToShow, menu,
                     [&logic, details] { details->setEnabled(logic.HasDetails()); });
    details->setEnabled(logic.HasDetails());
    return menu;
}

}  // namespace quarvo
