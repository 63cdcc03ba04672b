// SPDX-License-Identifier: MIT
#include "app_globals.h"

TfZorezOrudaz_Main* fZorezOrudaz_Main = nullptr;
TfSettings* fSettings = nullptr;
TfFileViewer* fFileViewer = nullptr;
TfAbout* fAbout = nullptr;
TfUnderConstruction* fUnderConstruction = nullptr;

std::string ViewedFileName;
