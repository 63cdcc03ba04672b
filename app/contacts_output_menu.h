// SPDX-License-Identifier: MIT
// The main window's Contacts output menu: the CSV layout, the encoding and
// the vCard version of the contacts conversion, and whether vCards keep
// Opera's trash. It starts on the address book's CSV at every start; the
// output file's extension picks vCard or CSV.
#pragma once

class QAction;
class QMenu;
class QMenuBar;

namespace quarvo {

class FileNameEdit;
class MainWindowLogic;

// Adds the menu to `bar` before `before` and passes each choice on to
// `logic`; the contacts output's file dialog offers vCard files too.
QMenu* addContactsOutputMenu(QMenuBar* bar, QAction* before, FileNameEdit* contacts_output,
                             MainWindowLogic& logic);

}  // namespace quarvo
