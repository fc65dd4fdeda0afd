#include "shell/main_menus.h"

#include <QMenu>

namespace gleanery {

namespace {

QMenu* menu(QMenuBar& bar, const char* name, const char* caption) {
    QMenu* m = bar.addMenu(QString::fromUtf8(caption));
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    return m;
}

QAction* item(QMenu* m, const char* name, const char* caption) {
    QAction* a = m->addAction(QString::fromUtf8(caption));
    a->setObjectName(name);
    return a;
}

void spacer(QMenu* m, const char* name) { m->addSeparator()->setObjectName(name); }

}  // namespace

MainMenus::MainMenus(QMenuBar& bar) {
    QMenu* file = menu(bar, "mnuFile", "File");
    mnuNew = item(file, "mnuNew", "New Setup");
    mnuLoad = item(file, "mnuLoad", "Load Setup");
    spacer(file, "mnuSpacer1");
    mnuExit = item(file, "mnuExit", "Exit");

    QMenu* update = menu(bar, "mnuUpdate", "Update");
    mnuCheckForUpdate = item(update, "mnuCheckForUpdate", "Check For Update");

    QMenu* help = menu(bar, "mnuHelp", "Help");
    mnGleaneryHelp = item(help, "mnGleaneryHelp", "Gleanery Help");
    spacer(help, "mnuspacer7");
    mnuGLHomePage = item(help, "mnuGLHomePage", "Gleanery Home Page");
    spacer(help, "mnuSpacer2");
    mnuAbout = item(help, "mnuAbout", "About Gleanery");
    mnuDebug = item(help, "mnuDebug", "Debug");

    mnuNew->setEnabled(false);
    mnuLoad->setEnabled(false);
    mnuDebug->setVisible(false);
    mnuDebug->setEnabled(false);
}

}  // namespace gleanery
