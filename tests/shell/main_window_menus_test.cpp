// The main window as it starts: the job menus wait for start-up, Debug stays
// out of reach, the toolbar and status bar stay hidden without a job, and
// start-up offers to raise the connection limit.
#include "shell/main_menus.h"
#include "shell/main_window_fixture.h"

namespace gleanery::test {
namespace {

TEST_F(MainWindowTest, StartUpEnablesTheJobMenusAndStartsTheUpdateCheck) {
    const MainMenus& m = window->menus();
    EXPECT_FALSE(m.mnuNew->isEnabled());
    EXPECT_FALSE(m.mnuLoad->isEnabled());
    EXPECT_FALSE(window->updateStarted());
    EXPECT_TRUE(window->toolBar().isHidden());
    EXPECT_TRUE(window->status().isHidden());

    window->MDIForm_Load();
    EXPECT_TRUE(m.mnuNew->isEnabled());
    EXPECT_TRUE(m.mnuLoad->isEnabled());
    EXPECT_TRUE(window->updateStarted());
    EXPECT_FALSE(m.mnuDebug->isVisible());
    EXPECT_FALSE(m.mnuDebug->isEnabled());

    // Toolbar buttons without a job do nothing.
    for (const char* key : {"Stop", "Resume", "Begin", "Other"}) window->Toolbar1_ButtonClick(key);
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
    EXPECT_EQ(loadSetup(inDir("a.glf"))->session().settings().listText(Field::cboConnections), "10");
}

}  // namespace
}  // namespace gleanery::test
