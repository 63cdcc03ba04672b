// SPDX-License-Identifier: MIT
// The program-wide window instances and strings. Each window is created once
// at start-up, in this order, and lives until the program ends.
#pragma once

#include <string>

#include "program_texts.h"

class TfZorezOrudaz_Main;
class TfSettings;
class TfFileViewer;
class TfAbout;
class TfUnderConstruction;

extern TfZorezOrudaz_Main* fZorezOrudaz_Main;
extern TfSettings* fSettings;
extern TfFileViewer* fFileViewer;
extern TfAbout* fAbout;
extern TfUnderConstruction* fUnderConstruction;

// The file the viewer shows; set by the main window just before it opens it.
extern std::string ViewedFileName;
