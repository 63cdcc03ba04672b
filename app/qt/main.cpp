// SPDX-License-Identifier: MIT
// Quarvo: moves contacts and bookmarks out of the Opera browser.
#include "application.h"
#include "qt_desktop.h"
#include "quarvo/files/file_layer.h"
#include "start_up.h"

int main(int argc, char** argv) {
    quarvo::RemoveTemporariesOnSignals();
    QuarvoApplication app(argc, argv);
    quarvo::QtDesktop desktop;
    return quarvo::runProgram(app, desktop);
}
