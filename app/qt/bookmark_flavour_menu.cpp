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

    // In the menu's order, as BookmarkFlavour numbers them.
    const struct {
        const char* name;
        QString text;
    } kinds[] = {
        {"InternetExplorerFlavour", QStringLiteral("&Internet Explorer file")},
        {"BrowserFlavour", QStringLiteral("&Firefox and Chromium file")},
        {"FirefoxBackupFlavour", QStringLiteral("Firefox &backup (JSON)")},
        {"ChromiumFlavour", QStringLiteral("&Chromium Bookmarks file")},
    };
    auto* flavours = new QActionGroup(menu);
    for (const auto& kind : kinds) flavours->addAction(addCheckable(menu, kind.name, kind.text));
    const QList<QAction*> flavour_actions = flavours->actions();
    const BookmarkOptions& chosen = logic.bookmark_options();
    flavour_actions.at(static_cast<int>(chosen.flavour))->setChecked(true);

    menu->addSeparator();
    QAction* keep_trash =
        addCheckable(menu, "KeepBookmarksTrash", QStringLiteral("Keep Opera's &trash"));
    keep_trash->setChecked(chosen.keep_trash);
    QAction* links =
        addCheckable(menu, "IncludeOperaLinks",
                     QStringLiteral("Include Speed Dial, sessions and search &engines"));
    links->setChecked(logic.include_opera_links());
    const auto offer = [keep_trash, links](BookmarkFlavour flavour) {
        keep_trash->setEnabled(IsBrowserFile(flavour));
        links->setEnabled(IsBrowserFile(flavour));
    };
    offer(chosen.flavour);

    menu->addSeparator();
    QAction* details = menu->addAction(QStringLiteral("Conversion &details..."));
    details->setObjectName(QStringLiteral("ConversionDetails"));

    const auto choose = [&logic, flavours, keep_trash, offer] {
        BookmarkOptions options;
        // The group is exclusive: one of its items is always checked.
        options.flavour =
            static_cast<BookmarkFlavour>(flavours->actions().indexOf(flavours->checkedAction()));
        options.keep_trash = keep_trash->isChecked();
        offer(options.flavour);
        logic.SetBookmarkOptions(options);
    };
    QObject::connect(flavours, &QActionGroup::triggered, menu, choose);
    QObject::connect(keep_trash, &QAction::toggled, menu, choose);
    QObject::connect(links, &QAction::toggled, menu,
                     [&logic](bool include) { logic.IncludeOperaLinks(include); });
    QObject::connect(details, &QAction::triggered, menu,
                     Reporting(desktop, [&logic] { logic.ShowDetails(); }));
    QObject::connect(menu, &QMenu::aboutToShow, menu,
                     [&logic, details] { details->setEnabled(logic.HasDetails()); });
    details->setEnabled(logic.HasDetails());
    return menu;
}

}  // namespace quarvo
