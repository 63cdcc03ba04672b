// SPDX-License-Identifier: MIT
// quarvo.exe: the program takes no arguments and keeps no settings.
#include <windows.h>

#include "start_up.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return quarvo::win32::RunProgram();
}
