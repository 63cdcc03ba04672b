// SPDX-License-Identifier: MIT
#include "start_up.h"

#include <QApplication>
#include <QFontDatabase>
#include <QIcon>

#include "app_globals.h"
#include "application.h"
#include "balloon_hint.h"
#include "image_list.h"
#include "qt_desktop.h"
#include "uAbout.h"
#include "uFileViewer.h"
#include "uSettings.h"
#include "uUnderConstruction.h"
#include "uZorezOrudaz_Main.h"
#include "window_placement.h"

namespace quarvo {

QFont programFont() {
    // The first face the system has, the closest to "MS Sans Serif" first.
    static constexpr const char* kFaces[] = {
        "MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial", "Nimbus Sans",
        "Helvetica",     "DejaVu Sans",
    };
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    for (const char* face : kFaces) {
        if (QFontDatabase::hasFamily(QString::fromLatin1(face))) {
            font.setFamily(QString::fromLatin1(face));
            break;
        }
    }
    font.setPointSize(8);
    return font;
}

std::unique_ptr<BalloonHint> setUpApplication(QApplication& app) {
    app.setApplicationName(QString::fromLatin1(kApplicationTitle));
    app.setApplicationVersion(QStringLiteral("1.0"));
    app.setDesktopFileName(QStringLiteral("org.quarvo.Quarvo"));
    app.setWindowIcon(QIcon(QStringLiteral(":/desktop/quarvo-64.png")));
    QApplication::setFont(programFont());
    auto hints = std::make_unique<BalloonHint>();
    hints->setObjectName(QStringLiteral("JvBalloonHint1"));
    hints->setHeader(QString::fromLatin1(kBalloonHeader));
    hints->setIcon(imageListPicture(image_list::kBalloonHint));
    hints->install();
    return hints;
}

ProgramWindows::ProgramWindows(Desktop& desktop) {
    // The order is part of start-up's contract: the main window's creation
    // step runs before any other window exists.
    main_ = std::make_unique<TfZorezOrudaz_Main>(desktop);
    fZorezOrudaz_Main = main_.get();
    settings_ = std::make_unique<TfSettings>(main_.get());
    fSettings = settings_.get();
    file_viewer_ = std::make_unique<TfFileViewer>(desktop, main_.get());
    fFileViewer = file_viewer_.get();
    about_ = std::make_unique<TfAbout>(desktop, main_.get());
    fAbout = about_.get();
    under_construction_ = std::make_unique<TfUnderConstruction>(main_.get());
    fUnderConstruction = under_construction_.get();
    for (QWidget* window : std::initializer_list<QWidget*>{settings_.get(), file_viewer_.get(),
                                                           about_.get(), under_construction_.get()})
        centreOverParentWhenShown(window);
}

ProgramWindows::~ProgramWindows() {
    fUnderConstruction = nullptr;
    under_construction_.reset();
    fAbout = nullptr;
    about_.reset();
    fFileViewer = nullptr;
    file_viewer_.reset();
    fSettings = nullptr;
    settings_.reset();
    fZorezOrudaz_Main = nullptr;
    main_.reset();
}

int runProgram(QApplication& app, QtDesktop& desktop) {
    const auto hints = setUpApplication(app);
    auto* quarvo_app = qobject_cast<QuarvoApplication*>(&app);
    if (quarvo_app) quarvo_app->setErrorReport(&desktop);
    int result = 0;
    {
        ProgramWindows windows(desktop);
        desktop.setMainWindow(windows.mainWindow());
        // Closing the main window ends the program even while another
        // window of it is still open.
        QObject::connect(windows.mainWindow(), &TfZorezOrudaz_Main::closed, &app,
                         &QCoreApplication::quit);
        windows.mainWindow()->show();
        result = app.exec();
        desktop.setMainWindow(nullptr);
    }
    if (quarvo_app) quarvo_app->setErrorReport(nullptr);
    ViewedFileName.clear();
    return result;
}

}  // namespace quarvo
