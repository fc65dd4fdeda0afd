// The main window never loses a job, and starts a downloaded installer only once it has closed.
#include <QFileInfo>

#include "shell/main_window_fixture.h"
#include "update/update_check.h"

namespace gleanery::test {
namespace {

std::string savedLocation(const std::string& setupFile) {
    return GetPrivateProfileString("SETTINGS", "txtLocation", "<none>", setupFile);
}

TEST_F(MainWindowTest, LoadSetupSavesTheOpenJobBeforeTheDialogAndCancelLeavesNoJob) {
    frmGeneralRobot* job = loadSetup(inDir("old.glf"));
    ASSERT_NE(job, nullptr);
    EXPECT_FALSE(job->windowIcon().isNull()) << "the program's own icon";
    job->session().settings().setText(Field::txtLocation, "http://changed.example/");

    std::string savedWhenAsked;
    window->setSetupFileChooser([&](QWidget*, const SetupFileQuestion&) {
        savedWhenAsked = savedLocation(inDir("old.glf"));
        return QString();
    });
    window->mnuLoad_Click();

    EXPECT_EQ(savedWhenAsked, "http://changed.example/");
    EXPECT_EQ(window->jobWindow(), nullptr);
    spinFor(std::chrono::milliseconds(50));  // closed windows are deleted from the event loop
    EXPECT_TRUE(window->mdiArea().subWindowList().empty());
    EXPECT_TRUE(window->toolBar().isHidden());
}

TEST_F(MainWindowTest, ARunningScanKeepsItsWindowAgainstNewLoadAndCloseUntilItHasStopped) {
    server.stall("/", std::chrono::milliseconds(1500), "<html>late</html>");
    frmGeneralRobot& job = beginScan("run.glf");
    ASSERT_FALSE(job.isIdle());

    window->mnuNew_Click();
    window->mnuLoad_Click();
    EXPECT_EQ(questions, 1) << "only the first Load Setup asked";
    EXPECT_EQ(messages.count("The system is still downloading... Please press the 'Stop' button."), 2);
    const std::size_t shownBefore = messages.shown.size();
    EXPECT_FALSE(window->close());
    window->menus().mnuExit->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->jobWindow(), &job);

    job.scan().stop();
    EXPECT_FALSE(window->close()) << "still stopping";
    ASSERT_TRUE(spinUntil([&] { return job.isIdle(); }, std::chrono::seconds(20)));
    window->menus().mnuExit->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->jobWindow(), nullptr);
    EXPECT_EQ(savedLocation(inDir("run.glf")), server.url("/"));
    EXPECT_EQ(messages.shown.size(), shownBefore) << "closing is refused silently";
}

class MainWindowUpdate : public MainWindowTest {
protected:
    MainWindowUpdate() {
        updates.page("/glversion.txt", "[INFO]\nMAJOR=99\nMINOR=0\nREV=0\n", "text/plain");
        // Stands in for the update window: "downloads" an installer that leaves a mark when it runs.
        window->updateCheck().setUpgradePrompt([this](const VersionDescriptor&) {
            QFile script(QString::fromStdString(installerFilePath()));
            ++prompts;
            return script.open(QIODevice::WriteOnly) &&
                   script.write("#!/bin/sh\ntouch '" + QFile::encodeName(marker()) + "'\n") > 0;
        });
    }
    QString marker() const { return dir.filePath("installer-ran"); }
    bool installerRan() {
        return spinUntil([&] { return QFileInfo::exists(marker()); }, std::chrono::seconds(10));
    }

    int prompts = 0;
};

TEST_F(MainWindowUpdate, ADownloadedInstallerClosesTheProgramAndThenRuns) {
    window->mnuCheckForUpdate_Click();
    ASSERT_TRUE(installerRan());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowUpdate, ARunningScanKeepsTheInstallerWaitingUntilExit) {
    site.page("/", {}, site.numberedFiles("f", 30, std::chrono::milliseconds(200)));
    frmGeneralRobot& job = beginScan("a.glf");
    ASSERT_TRUE(spinUntil([&] { return job.scan().transfersRunning(); }));

    window->mnuCheckForUpdate_Click();
    ASSERT_TRUE(spinUntil([&] { return prompts == 1; }));
    spinFor(std::chrono::milliseconds(300));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(QFileInfo::exists(marker()));

    job.scan().stop();
    ASSERT_TRUE(spinUntil([&] { return job.isIdle(); }, std::chrono::seconds(20)));
    window->mnuExit_Click();
    EXPECT_TRUE(installerRan());
}

}  // namespace
}  // namespace gleanery::test
