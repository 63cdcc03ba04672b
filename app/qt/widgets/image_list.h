// SPDX-License-Identifier: MIT
// The program's shared image list: 20 pictures of 16 by 16 pixels that the
// menus, toolbars and balloon hints take their pictures from.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace quarvo {

inline constexpr int kImageListCount = 20;
inline constexpr int kImageListSize = 16;

// Indexes the windows use.
namespace image_list {
inline constexpr int kSearch = 0;
inline constexpr int kStartConversion = 1;
inline constexpr int kExit = 7;
inline constexpr int kBalloonHint = 10;
inline constexpr int kReload = 11;
inline constexpr int kSaveAs = 13;
inline constexpr int kSave = 14;
inline constexpr int kHelp = 16;
inline constexpr int kAbout = 17;
inline constexpr int kOpenContacts = 18;
inline constexpr int kOpenBookmarks = 19;
}  // namespace image_list

// Picture `index` of the list; a null pixmap outside 0..19.
[[nodiscard]] QPixmap imageListPicture(int index);

// The same picture as an icon, with Qt's greyed image for the disabled state.
[[nodiscard]] QIcon imageListIcon(int index);

}  // namespace quarvo
