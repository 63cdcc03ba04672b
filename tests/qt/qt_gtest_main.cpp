// SPDX-License-Identifier: MIT
// The entry of every window test: the program's own application object
// (so errors reach the same report as in the program) on Qt's offscreen
// platform unless another one is asked for, then all the test cases.
#include <gtest/gtest.h>

#include <QByteArray>

#include "application.h"

int main(int argc, char** argv) {
    // Test discovery runs the programs at build time, outside ctest's
    // environment, where there may be no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QuarvoApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
