// SPDX-License-Identifier: MIT
#include "default_locations.h"

#include <cstdlib>

#include "quarvo/base/errors.h"

namespace quarvo {
namespace {

// The Application Data folders' kinds in the desktop's folder lookup.
constexpr std::uint8_t kAppDataFolder = 5;
constexpr std::uint8_t kLocalAppDataFolder = 16;

}  // namespace

OperaPlaces DefaultOperaPlaces(const std::string& program_files, Desktop& desktop) {
    OperaPlaces places;
    places.program_files = program_files;
#ifdef _WIN32
    if (const char* x86 = std::getenv("ProgramFiles(x86)")) places.program_files_x86 = x86;
    try {
        places.app_data = desktop.LookUpFolder(kAppDataFolder);
    } catch (const Exception&) {
        places.app_data.clear();
    }
    // Where Opera 10 and later keep the mail.
    try {
        places.local_app_data = desktop.LookUpFolder(kLocalAppDataFolder);
    } catch (const Exception&) {
        places.local_app_data.clear();
    }
#else
    (void)desktop;
    (void)kAppDataFolder;
    (void)kLocalAppDataFolder;
    if (const char* home = std::getenv("HOME")) places.home = home;
#endif
    return places;
}

}  // namespace quarvo
