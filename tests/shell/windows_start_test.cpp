// The program started for its windows: without a display it says how to run
// a job instead; with one, "gleanery SETUP.glf" opens that job at start-up.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "engine/fetch_completion_watch.h"
#include "compat/ini_profile.h"
#include "compat/registry.h"
#include "support/scoped_home.h"

namespace gleanery::test {
namespace {

class MainWindowStart : public ::testing::Test {
protected:
    MainWindowStart() {
        for (const char* name : {"BLANK.GLD", "inet.reg"})
            QFile::copy(QStringLiteral(GLEANERY_TEST_DATA_DIR "/") + name, QString::fromStdString(home.path(name)));
    }

    testing::ScopedHome home;
    QTemporaryDir dir;
    // Taken after home, so the program gets the same GLEANERY_HOME.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
};

TEST_F(MainWindowStart, WithoutADisplayTellsHowToRunAJob) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(GLEANERY_BINARY, {dir.filePath("site.glf")});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_NE(p.readAllStandardError().indexOf("--begin"), -1);
    EXPECT_FALSE(QFile::exists(dir.filePath("site.GLD")));
}

TEST_F(MainWindowStart, OpensTheJobNamedOnTheCommandLine) {
    // No question at start-up (the limit is 10 already) and no update check.
    ASSERT_TRUE(importRegFile(home.path("inet.reg")));
    ASSERT_TRUE(WritePrivateProfileString("SETTINGS", "CHECKUPDATE", "False", home.path("GLSETUP.INI")));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir.path());
    p.start(GLEANERY_BINARY, {"site.glf"});
    ASSERT_TRUE(p.waitForStarted(10000));

    // The job's work store appears beside its setup file, which becomes the last one used.
    const bool opened = spinUntil(
        [&] {
            return QFile::exists(dir.filePath("site.GLD")) &&
                   GetPrivateProfileString("SETTINGS", "LASTSETUP", "", home.path("GLSETUP.INI")) ==
                       dir.filePath("site.glf").toStdString();
        },
        std::chrono::seconds(20));
    EXPECT_TRUE(opened) << p.readAllStandardError().toStdString();
    EXPECT_EQ(p.state(), QProcess::Running) << "the main window stays open";
    p.terminate();
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(5000);
    }
}

}  // namespace
}  // namespace gleanery::test
