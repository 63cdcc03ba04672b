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
struct Entry {
    const char* text;
    const char* name;
    Choice choice;
};

constexpr Entry<ContactsFormat> kCsvFormats[] = {
    {"CSV for the Windows &Address Book", "LayoutWab", ContactsFormat::kWabCsv},
    {"CSV for &Outlook", "LayoutOutlook", ContactsFormat::kOutlookCsv},
    {"CSV for &Thunderbird", "LayoutThunderbird", ContactsFormat::kThunderbirdCsv},
    {"CSV for &Google Contacts", "LayoutGoogle", ContactsFormat::kGoogleCsv}};
constexpr Entry<ContactsFormat> kVcardFormats[] = {
    {"vCard &3.0 (.vcf)", "Vcard30", ContactsFormat::kVcard30},
    {"vCard &2.1 for Outlook and Windows Contacts (.vcf)", "Vcard21", ContactsFormat::kVcard21}};
constexpr Entry<OutputEncoding> kEncodings[] = {
    {"&UTF-8", "EncodingUtf8", OutputEncoding::kUtf8},
    {"UTF-8 with &byte-order mark", "EncodingUtf8Bom", OutputEncoding::kUtf8Bom},
    {"&Windows ANSI (Windows-1252, not for vCard 3.0)", "EncodingAnsi",
     OutputEncoding::kWindows1252}};

// The contacts output's dialog filter: all files, CSV, vCard.
constexpr int kCsvFilter = 2;
constexpr int kVcardFilter = 3;

QAction* addChoice(QMenu* menu, QActionGroup* group, const char* text, const char* name) {
    QAction* action = menu->addAction(QString::fromUtf8(text));
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(true);
    group->addAction(action);
    return action;
}

}  // namespace

ContactsOutputMenu::ContactsOutputMenu(QMenuBar* bar, QAction* before,
                                       FileNameEdit* contacts_output, MainWindowLogic& logic)
    : QObject(bar),
      menu_(new QMenu(QStringLiteral("&Contacts output"), bar)),
      output_(contacts_output) {
    menu_->setObjectName(QStringLiteral("ContactsOutput1"));
    auto* formats = new QActionGroup(menu_);
    const auto addFormats = [&](const auto& entries) {
        for (const Entry<ContactsFormat>& entry : entries) {
            QAction* action = addChoice(menu_, formats, entry.text, entry.name);
            const ContactsFormat format = entry.choice;
            connect(action, &QAction::triggered, this,
                    [&logic, format] { logic.ChooseContactsFormat(format); });
            formats_.push_back({action, format});
        }
    };
    addFormats(kCsvFormats);
    menu_->addSeparator();
    addFormats(kVcardFormats);
    keep_trash_ = menu_->addAction(QStringLiteral("vCards &keep the contacts in Opera's trash"));
    keep_trash_->setObjectName(QStringLiteral("KeepContactsTrash"));
    keep_trash_->setCheckable(true);
    connect(keep_trash_, &QAction::triggered, this,
            [&logic](bool keep) { logic.KeepContactsTrash(keep); });
    menu_->addSeparator();
    auto* encodings = new QActionGroup(menu_);
    for (const Entry<OutputEncoding>& entry : kEncodings) {
        QAction* action = addChoice(menu_, encodings, entry.text, entry.name);
        const OutputEncoding encoding = entry.choice;
        connect(action, &QAction::triggered, this,
                [&logic, encoding] { logic.ChooseContactsEncoding(encoding); });
        encodings_.push_back({action, encoding});
    }
    bar->insertMenu(before, menu_);
    output_->setFilter(output_->filter() + QStringLiteral("|vCard (*.vcf)|*.vcf"));
    show(logic.contacts_output());
}

void ContactsOutputMenu::show(const ContactsOutputChoice& choice) {
    for (const Item<ContactsFormat>& item : formats_)
        item.action->setChecked(item.choice == choice.format);
    for (const Item<OutputEncoding>& item : encodings_) {
        item.action->setChecked(item.choice == choice.encoding);
        item.action->setEnabled(OffersEncoding(choice.format, item.choice));
    }
    const bool vcard = IsVcard(choice.format);
    keep_trash_->setChecked(choice.keep_trash);
    keep_trash_->setEnabled(vcard);
    const std::string hint = ContactsOutputHint(choice.format);
    output_->setToolTip(QString::fromUtf8(hint.data(), static_cast<qsizetype>(hint.size())));
    output_->setFilterIndex(vcard ? kVcardFilter : kCsvFilter);
}

}  // namespace quarvo
