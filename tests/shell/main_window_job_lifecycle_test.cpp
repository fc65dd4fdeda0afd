// A job in the main window is never lost: Load Setup saves it before its
// dialog, a running scan keeps its window against New and Load Setup, and
// closing is refused silently while a scan runs and saves the job after Stop.
#include "shell/main_window_fixture.h"
#include "compat/ini_profile.h"

namespace gleanery::test {
namespace {

std::string savedSetting(const std::string& setupFile, const char* key) {
    return GetPrivateProfileString("SETTINGS", key, "<none>", setupFile);
}

TEST_F(MainWindowTest, LoadSetupSavesTheOpenJobBeforeTheDialogAndCancelLeavesNoJob) {
    frmGeneralRobot* job = loadSetup(inDir("old.glf"));
    ASSERT_NE(job, nullptr);
    job->session().settings().setText("txtLocation", "http://changed.example/");

    std::string savedWhenAsked;
    window->setSetupFileChooser([&](QWidget*, const SetupFileQuestion&) {
        savedWhenAsked = savedSetting(inDir("old.glf"), "txtLocation");
        return QString();
    });
    window->mnuLoad_Click();

    EXPECT_EQ(savedWhenAsked, "http://changed.example/");
    EXPECT_EQ(window->jobWindow(), nullptr);
    spinFor(std::chrono::milliseconds(50));  // closed windows are deleted from the event loop
    EXPECT_TRUE(window->mdiArea().subWindowList().empty());
    EXPECT_TRUE(window->toolBar().isHidden());
}

TEST_F(MainWindowTest, AJobThatIsStillTransferringKeepsItsWindowAndNoDialogIsShown) {
    server.stall("/", std::chrono::milliseconds(1500), "<html>late</html>");
    frmGeneralRobot* job = loadSetup(inDir("busy.glf"));
    pointAtSite(*job);
    job->robot().cmdBegin_Click();
    ASSERT_FALSE(job->isIdle());

    window->mnuNew_Click();
    window->mnuLoad_Click();

    EXPECT_EQ(window->jobWindow(), job);
    EXPECT_EQ(questions.size(), 1u) << "only the first Load Setup asked";
    EXPECT_EQ(messages.count("The system is still downloading... Please press the 'Stop' button."), 2);
}

TEST_F(MainWindowTest, CloseIsRefusedSilentlyWhileAScanRunsAndAcceptedAfterStop) {
    server.stall("/", std::chrono::milliseconds(1500), "<html>late</html>");
    frmGeneralRobot* job = loadSetup(inDir("run.glf"));
    pointAtSite(*job);
    job->robot().cmdBegin_Click();
    ASSERT_FALSE(job->isIdle());
    const std::size_t shownBefore = messages.shown.size();

    EXPECT_FALSE(window->close());
    window->menus().mnuExit->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->jobWindow(), job);
    EXPECT_EQ(messages.shown.size(), shownBefore);

    job->robot().cmdStop_Click();
    EXPECT_FALSE(window->close()) << "still stopping";
    ASSERT_TRUE(spinUntil([&] { return job->isIdle(); }, std::chrono::seconds(20)));
    window->menus().mnuExit->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->jobWindow(), nullptr);
    spinFor(std::chrono::milliseconds(50));
    EXPECT_TRUE(window->mdiArea().subWindowList().empty());
    EXPECT_EQ(savedSetting(inDir("run.glf"), "txtLocation"), server.url("/"));
    EXPECT_EQ(messages.shown.size(), shownBefore);
}

}  // namespace
}  // namespace gleanery::test
