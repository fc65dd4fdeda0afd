// New Setup and Load Setup: the dialog's question and its starting folder,
// the old job saved before the dialog, Cancel leaving no job, a running scan
// keeping its window, and the job window hosted in the main window.
#include <QDir>
#include <QMdiSubWindow>

#include "jobwindow/job_window.h"
#include "shell/main_window_fixture.h"
#include "compat/ini_profile.h"

namespace gleanery::test {
namespace {

std::string savedSetting(const std::string& setupFile, const char* key) {
    return GetPrivateProfileString("SETTINGS", key, "<none>", setupFile);
}

TEST_F(MainWindowTest, NewSetupOpensTheJobMaximizedAndTheDialogThenStartsInItsFolder) {
    window->MDIForm_Load();
    QDir(dir.path()).mkpath("jobs");
    dialogAnswers.push_back(QString::fromStdString(inDir("jobs/a.glf")));
    window->menus().mnuNew->trigger();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_TRUE(questions[0].newFile);
    EXPECT_EQ(questions[0].folder, QDir::homePath()) << "no setup file has been opened yet";
    frmGeneralRobot* job = window->jobWindow();
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(job->session().setupFile(), inDir("jobs/a.glf"));
    auto* frame = qobject_cast<QMdiSubWindow*>(job->parentWidget());
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isMaximized());
    EXPECT_FALSE(window->toolBar().isHidden());

    window->mnuLoad_Click();  // cancelled
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_FALSE(questions[1].newFile);
    EXPECT_EQ(questions[1].folder, QString::fromStdString(inDir("jobs")));
    // Kept in the per-user settings file, so later runs start there too.
    EXPECT_EQ(setupFileQuestion(true).folder, QString::fromStdString(inDir("jobs")));
    // A folder that has gone away: the home folder again.
    QDir(QString::fromStdString(inDir("jobs"))).removeRecursively();
    EXPECT_EQ(setupFileQuestion(false).folder, QDir::homePath());
}

TEST_F(MainWindowTest, LoadSetupSavesTheOpenJobBeforeTheDialogAndCancelLeavesNoJob) {
    frmGeneralRobot* job = loadSetup(inDir("old.glf"));
    ASSERT_NE(job, nullptr);
    job->session().settings().setText(Field::txtLocation, "http://changed.example/");

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

TEST_F(MainWindowTest, LoadSetupReplacesTheJobAndStartsTheStatusBarAfresh) {
    frmGeneralRobot* first = loadSetup(inDir("one.glf"));
    first->robot().cmdStop_Click();  // an idle job can be stopped; the status shows it
    EXPECT_EQ(window->status().panelText(1), "Stopping Execution");
    QPointer<frmGeneralRobot> old = first;

    frmGeneralRobot* second = loadSetup(inDir("two.glf"));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->windowTitle(), "Gleanery Configuration (two.glf)");
    EXPECT_EQ(window->status().panelText(1), "Status");
    spinUntil([&] { return old.isNull(); }, std::chrono::seconds(3));
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(window->mdiArea().subWindowList().size(), 1);
    EXPECT_EQ(savedSetting(inDir("one.glf"), "txtLocation"), "") << "the first job saved on closing";
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

}  // namespace
}  // namespace gleanery::test
