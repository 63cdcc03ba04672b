// SPDX-License-Identifier: MIT
#include "contacts_output_menu.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "file_name_edit.h"
#include "main_window_logic.h"

namespace quarvo {
namespace {

template <class Choice>
struct Item {
    const char* text;
    const char* name;
    Choice choice;
};

constexpr Item<ContactsCsvLayout> kLayouts[] = {
    {"CSV for the Windows &Address Book", "LayoutWab", ContactsCsvLayout::kWab},
    {"CSV for &Outlook", "LayoutOutlook", ContactsCsvLayout::kOutlook},
    {"CSV for &Thunderbird", "LayoutThunderbird", ContactsCsvLayout::kThunderbird},
    {"CSV for &Google Contacts", "LayoutGoogle", ContactsCsvLayout::kGoogle}};
constexpr Item<ContactsVcardVersion> kVersions[] = {
    {"vCard &3.0 (.vcf)", "Vcard30", ContactsVcardVersion::k30},
    {"vCard &2.1 for Outlook and Windows Contacts (.vcf)", "Vcard21", ContactsVcardVersion::k21}};
constexpr Item<OutputEncoding> kEncodings[] = {
    {"&UTF-8", "EncodingUtf8", OutputEncoding::kUtf8},
    {"UTF-8 with &byte-order mark", "EncodingUtf8Bom", OutputEncoding::kUtf8Bom},
    {"&Windows ANSI (Windows-1252)", "EncodingAnsi", OutputEncoding::kWindows1252}};

// One group of exclusive choices, the first checked; `apply` runs with the
// choice of the action triggered.
template <class Choice, std::size_t N, class Apply>
void addGroup(QMenu* menu, const Item<Choice> (&items)[N], Apply apply) {
    auto* group = new QActionGroup(menu);
    for (const Item<Choice>& item : items) {
        QAction* action = menu->addAction(QString::fromUtf8(item.text));
        action->setObjectName(QString::fromLatin1(item.name));
        action->setCheckable(true);
        action->setChecked(&item == &items[0]);
        group->addAction(action);
        const Choice choice = item.choice;
        QObject::connect(action, &QAction::triggered, menu, [apply, choice] { apply(choice); });
    }
}

}  // namespace

QMenu* addContactsOutputMenu(QMenuBar* bar, QAction* before, FileNameEdit* contacts_output,
                             MainWindowLogic& logic) {
    auto* menu = new QMenu(QStringLiteral("&Contacts output"), bar);
    menu->setObjectName(QStringLiteral("ContactsOutput1"));
    const auto change = [&logic](auto edit) {
        return [&logic, edit](auto choice) {
            ContactsExportOptions options = logic.contacts_export_options();
            edit(options, choice);
            logic.SetContactsExportOptions(options);
        };
    };
    addGroup(menu, kLayouts,
             change([](ContactsExportOptions& o, ContactsCsvLayout c) { o.layout = c; }));
    menu->addSeparator();
    addGroup(menu, kVersions,
             change([](ContactsExportOptions& o, ContactsVcardVersion c) { o.vcard = c; }));
    QAction* trash = menu->addAction(QStringLiteral("vCards &keep the contacts in Opera's trash"));
    trash->setObjectName(QStringLiteral("KeepContactsTrash"));
    trash->setCheckable(true);
    QObject::connect(trash, &QAction::toggled, menu, [&logic](bool keep) {
        ContactsExportOptions options = logic.contacts_export_options();
        options.keep_trash = keep;
        logic.SetContactsExportOptions(options);
    });
    menu->addSeparator();
    addGroup(menu, kEncodings,
             change([](ContactsExportOptions& o, OutputEncoding c) { o.encoding = c; }));
    bar->insertMenu(before, menu);
    contacts_output->setFilter(contacts_output->filter() + QStringLiteral("|vCard (*.vcf)|*.vcf"));
    return menu;
}

}  // namespace quarvo
