// SPDX-License-Identifier: MIT
// Where the main window looks for the default file names: the places an
// Opera profile is kept (quarvo/opera_profile.h), with the folders the
// desktop's lookup gives.
#pragma once

#include <string>

#include "desktop.h"
#include "quarvo/profile/opera_profile.h"

namespace quarvo {

// The places for `program_files`: on Windows also the user's Application
// Data folder and its local one from the desktop (none when its lookup
// fails: the usual defaults must not be lost to a folder only searched
// besides them), elsewhere the home folder.
[[nodiscard]] OperaPlaces DefaultOperaPlaces(const std::string& program_files, Desktop& desktop);

}  // namespace quarvo
