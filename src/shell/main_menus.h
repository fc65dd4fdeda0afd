#pragma once
// The menus of the main window: File, Update and Help, each item named as
// the handlers know it.

#include <QAction>
#include <QMenuBar>

namespace gleanery {

struct MainMenus {
    // Builds the three menus on the bar. New Setup and Load Setup start
    // disabled (start-up enables them); Debug is hidden and disabled for good.
    explicit MainMenus(QMenuBar& bar);

    QAction* mnuNew;
    QAction* mnuLoad;
    QAction* mnuExit;
    QAction* mnuCheckForUpdate;
    QAction* mnGleaneryHelp;
    QAction* mnuGLHomePage;
    QAction* mnuAbout;
    QAction* mnuDebug;
};

}  // namespace gleanery
