// SPDX-License-Identifier: MIT
// Texts every front end shows the same way.
#pragma once

namespace quarvo {

// The application title: the program's name and its message boxes' caption.
inline constexpr char kApplicationTitle[] = "Quarvo";

// The header every balloon hint of the program carries.
inline constexpr char kBalloonHeader[] = "Quarvo - Opera Bookmarks and Contacts Export";

// The address the about window shows and its mail link writes to.
inline constexpr char kMakerAddress[] = "quarvo@example.org";

}  // namespace quarvo
