// SPDX-License-Identifier: MIT
// The main window's "Bookmarks output" menu: which flavour of bookmark file a
// conversion writes (the Internet Explorer file, checked at start, the file
// Firefox and Chromium import whole, Firefox's JSON backup or Chromium's
// Bookmarks file), whether Opera's trash is kept, whether the Speed Dial,
// sessions and search engines beside the hotlist go in too, and the details
// of the last conversion. The choice lives as long as the
// window; the program keeps no settings.
#pragma once

class QAction;
class QMenu;
class QMenuBar;

namespace quarvo {

class Desktop;
class MainWindowLogic;

// Adds the menu to `bar` before `before` and ties it to `logic`.
QMenu* addBookmarkFlavourMenu(QMenuBar* bar, QAction* before, MainWindowLogic& logic,
                              Desktop& desktop);

}  // namespace quarvo
