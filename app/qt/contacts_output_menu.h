// SPDX-License-Identifier: MIT
// The main window's Contacts output menu: one format ticked among the CSV
// layouts and the vCard versions, the encoding, and whether vCards keep
// Opera's trash. Each choice goes to MainWindowLogic, which decides what
// follows from it (the output name's extension, what is still offered) and
// has the menu show it. It starts on the address book's CSV at every start.
#pragma once

#include <QObject>
#include <vector>

#include "contacts_output_choice.h"

class QAction;
class QMenu;
class QMenuBar;

namespace quarvo {

class FileNameEdit;
class MainWindowLogic;

class ContactsOutputMenu : public QObject {
    Q_OBJECT
  public:
    // Adds the menu to `bar` before `before`; the contacts output's file
    // dialog offers vCard files too.
    ContactsOutputMenu(QMenuBar* bar, QAction* before, FileNameEdit* contacts_output,
                       MainWindowLogic& logic);

    // Ticks `choice`, greys what it does not offer, and gives the output
    // field the hint and the dialog's filter of the format.
    void show(const ContactsOutputChoice& choice);

    [[nodiscard]] QMenu* menu() const { return menu_; }

  private:
    template <class Choice>
    struct Item {
        QAction* action;
        Choice choice;
    };

    QMenu* menu_;
    FileNameEdit* output_;
    std::vector<Item<ContactsFormat>> formats_;
    std::vector<Item<OutputEncoding>> encodings_;
    QAction* keep_trash_ = nullptr;
};

}  // namespace quarvo
