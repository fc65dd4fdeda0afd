// The update check as the main window runs it: the automatic check asks the
// configured server once, and a downloaded installer closes the program and
// starts only after it has closed, never while a scan holds it open.
#include "shell/main_window_fixture.h"

#include <QDir>
#include <QFileInfo>

#include "update/update_check.h"

namespace gleanery::test {
namespace {

class MainWindowUpdate : public MainWindowTest {
protected:
    MainWindowUpdate() {
        server.page("/glversion.txt", "[INFO]\nMAJOR=99\nMINOR=0\nREV=0\n", "text/plain");
        // Stands in for the update window: "downloads" an installer that leaves a mark when it runs.
        window->updateCheck().setUpgradePrompt([this](const std::string&, const std::string&, const std::string&) {
            QFile script(QString::fromStdString(installerFilePath()));
            if (!script.open(QIODevice::WriteOnly)) return false;
            script.write("#!/bin/sh\ntouch '" + QFile::encodeName(marker()) + "'\n");
            ++prompts;
            return true;
        });
    }
    QString marker() const { return dir.filePath("installer-ran"); }

    int prompts = 0;
};

TEST_F(MainWindowUpdate, TheAutomaticCheckAsksTheConfiguredServerOnce) {
    window->MDIForm_Load();
    ASSERT_TRUE(spinUntil([&] { return prompts == 1; }));
    window->MDIForm_Load();
    spinFor(std::chrono::milliseconds(300));
    EXPECT_EQ(server.hits("/glversion.txt"), 1);
}

TEST_F(MainWindowUpdate, ADownloadedInstallerClosesTheProgramAndThenRuns) {
    window->mnuCheckForUpdate_Click();
    ASSERT_TRUE(spinUntil([&] { return QFileInfo::exists(marker()); }, std::chrono::seconds(10)));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowUpdate, ARunningScanKeepsTheInstallerWaitingUntilExit) {
    frmGeneralRobot* job = loadSetup(inDir("a.glf"));
    ASSERT_NE(job, nullptr);
    pointAtSite(*job);
    site.page("/", {}, site.numberedFiles("f", 30, std::chrono::milliseconds(200)));
    job->robot().cmdBegin_Click();
    ASSERT_TRUE(spinUntil([&] { return job->robot().busyConnections() > 0; }));

    window->mnuCheckForUpdate_Click();
    ASSERT_TRUE(spinUntil([&] { return prompts == 1; }));
    spinFor(std::chrono::milliseconds(300));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(QFileInfo::exists(marker()));

    job->robot().cmdStop_Click();
    ASSERT_TRUE(spinUntil([&] { return job->isIdle(); }, std::chrono::seconds(20)));
    window->mnuExit_Click();
    ASSERT_TRUE(spinUntil([&] { return QFileInfo::exists(marker()); }, std::chrono::seconds(10)));
}

}  // namespace
}  // namespace gleanery::test
