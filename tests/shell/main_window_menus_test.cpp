// The main window as it starts: caption, menus in their order with their
// names and captions, the toolbar and the status bar hidden, and what
// start-up changes.
#include <QMenu>
#include <QMenuBar>

#include "shell/main_menus.h"
#include "shell/main_window_fixture.h"

namespace gleanery::test {
namespace {

struct MenuEntry {
    const char* name;
    const char* caption;
};

std::vector<std::string> entries(const QMenu& menu) {
    std::vector<std::string> out;
    for (const QAction* a : menu.actions())
        out.push_back(a->objectName().toStdString() + "=" + (a->isSeparator() ? "-" : a->text().toStdString()));
    return out;
}

TEST_F(MainWindowTest, MenusCarryTheirNamesAndCaptionsInOrder) {
    EXPECT_EQ(window->windowTitle(), "Gleanery");
    const QList<QAction*> top = window->menuBar()->actions();
    ASSERT_EQ(top.size(), 3);
    const std::vector<std::pair<MenuEntry, std::vector<std::string>>> expected = {
        {{"mnuFile", "File"}, {"mnuNew=New Setup", "mnuLoad=Load Setup", "mnuSpacer1=-", "mnuExit=Exit"}},
        {{"mnuUpdate", "Update"}, {"mnuCheckForUpdate=Check For Update"}},
        {{"mnuHelp", "Help"},
         {"mnGleaneryHelp=Gleanery Help", "mnuspacer7=-", "mnuGLHomePage=Gleanery Home Page", "mnuSpacer2=-",
          "mnuAbout=About Gleanery", "mnuDebug=Debug"}},
    };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(expected[i].first.name);
        EXPECT_EQ(top[i]->text().toStdString(), expected[i].first.caption);
        ASSERT_NE(top[i]->menu(), nullptr);
        EXPECT_EQ(top[i]->menu()->objectName().toStdString(), expected[i].first.name);
        EXPECT_EQ(entries(*top[i]->menu()), expected[i].second);
    }
}

TEST_F(MainWindowTest, StartUpEnablesTheJobMenusAndStartsTheUpdateCheckOnce) {
    const MainMenus& m = window->menus();
    EXPECT_FALSE(m.mnuNew->isEnabled());
    EXPECT_FALSE(m.mnuLoad->isEnabled());
    EXPECT_FALSE(window->updateStarted());
    for (QAction* a : {m.mnuExit, m.mnuCheckForUpdate, m.mnGleaneryHelp, m.mnuGLHomePage, m.mnuAbout})
        EXPECT_TRUE(a->isEnabled() && a->isVisible()) << a->objectName().toStdString();

    window->MDIForm_Load();
    EXPECT_TRUE(m.mnuNew->isEnabled());
    EXPECT_TRUE(m.mnuLoad->isEnabled());
    EXPECT_TRUE(window->updateStarted());
    // Debug stays out of reach whatever happens.
    EXPECT_FALSE(m.mnuDebug->isVisible());
    EXPECT_FALSE(m.mnuDebug->isEnabled());
    EXPECT_EQ(window->jobWindow(), nullptr);
}

TEST_F(MainWindowTest, StartUpOffersToRaiseTheConnectionLimit) {
    // Declined: the registry keeps no values and the limit stays 2.
    messages.answers = {false};
    window->MDIForm_Load();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Allow Registry Changes?");
    EXPECT_EQ(window->giMaxConnections(), 2);

    // Accepted: inet.reg is imported, and the jobs opened later offer ten connections.
    MainMenu second(clock, [](int) { return makeNetworkFetch(); });
    second.useMessages(messages);
    second.MDIForm_Load();
    EXPECT_EQ(second.giMaxConnections(), 10);
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(loadSetup(inDir("a.glf"))->session().settings().listText("cboConnections"), "10");
}

TEST_F(MainWindowTest, ToolbarAndStatusBarStartHiddenWithTheirButtonsAndPanels) {
    EXPECT_TRUE(window->toolBar().isHidden());
    EXPECT_TRUE(window->status().isHidden());
    ScanToolBar& bar = window->toolBar();
    const QList<QAction*> buttons = bar.actions();
    ASSERT_EQ(buttons.size(), 3);
    const char* const keys[] = {"Stop", "Resume", "Begin"};
    const char* const tips[] = {"Stop Scan", "Resume Scan", "Begin Scan"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(buttons[i]->data().toString().toStdString(), keys[i]);
        EXPECT_EQ(buttons[i]->toolTip().toStdString(), tips[i]);
        EXPECT_TRUE(buttons[i]->text().isEmpty());
        EXPECT_FALSE(buttons[i]->icon().isNull());
    }
    EXPECT_EQ(bar.toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(window->status().panelText(1), "Status");
    EXPECT_EQ(window->status().panelText(2), "Files/Bytes/CPS");
    EXPECT_EQ(window->status().panelText(3), "Active Connections");
}

TEST_F(MainWindowTest, ToolbarButtonsWithoutAJobDoNothing) {
    for (const char* key : {"Stop", "Resume", "Begin", "Other"}) window->Toolbar1_ButtonClick(key);
    EXPECT_EQ(window->jobWindow(), nullptr);
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace gleanery::test
