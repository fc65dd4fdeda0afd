#pragma once
// A main window as the program opens it, in a home folder of its own, its
// questions answered by the test; a local site serves live scans.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <string>

#include "common/live_site.h"
#include "common/manual_clock.h"
#include "common/scoped_environment.h"
#include "common/scripted_messages.h"
#include "common/test_server.h"
#include "compat/ini_profile.h"
#include "engine/fetch_completion_watch.h"
#include "engine/network_fetch.h"
#include "shell/main_menus.h"
#include "shell/main_window.h"
#include "shell/scan_status_bar.h"
#include "shell/scan_toolbar.h"
#include "support/scoped_home.h"
#include "update/update_files.h"

namespace gleanery::test {

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        for (const char* name : {"BLANK.GLD", "inet.reg", "gleanery.png"})
            QFile::copy(QStringLiteral(GLEANERY_TEST_DATA_DIR "/") + name, QString::fromStdString(home.path(name)));
        // The update check of start-up asks the test's server, never the internet.
        WritePrivateProfileString("SETTINGS", "UPDATEURL", updates.url("/glversion.txt"), setupIniPath());
        window = std::make_unique<MainMenu>(clock, [](int) { return makeNetworkFetch(); });
        window->useMessages(messages);
        window->setSetupFileChooser([this](QWidget*, const SetupFileQuestion&) {
            ++questions;
            if (dialogAnswers.empty()) return QString();
            const QString answer = dialogAnswers.front();
            dialogAnswers.pop_front();
            return answer;
        });
        window->show();
    }

    ~MainWindowTest() override {
        // A scan still running would hold the window open.
        if (frmGeneralRobot* job = window->jobWindow(); job && !job->isIdle()) {
            job->scan().stop();
            spinUntil([job] { return job->isIdle(); }, std::chrono::seconds(20));
        }
        window.reset();
    }

    std::string inDir(const char* name) const { return dir.filePath(QString::fromUtf8(name)).toStdString(); }

    // Opens a job through Load Setup, its dialog answered with the file.
    frmGeneralRobot* loadSetup(const std::string& file) {
        dialogAnswers.push_back(QString::fromStdString(file));
        window->mnuLoad_Click();
        return window->jobWindow();
    }

    // Loads the job and begins its scan of the test site into dir/out,
    // without free-space floors.
    frmGeneralRobot& beginScan(const char* setupFile) {
        frmGeneralRobot& job = *loadSetup(inDir(setupFile));
        JobSettings& s = job.session().settings();
        s.setText(Field::txtLocation, server.url("/"));
        s.setText(Field::txtSaveLocation, inDir("out"));
        s.setText(Field::txtSaveLocation2, inDir("out"));
        s.setText(Field::txtSpacePrimary, "0");
        s.setText(Field::txtSpaceSecondary, "0");
        job.scan().begin();
        return job;
    }

    testing::ScopedHome home;
    QTemporaryDir dir;
    testing::ScriptedMessages messages;
    testing::ManualClock clock;
    TestServer server;
    LiveSite site{server};
    // The update server: updates come over https only.
    const ScopedEnvironment authority{"SSL_CERT_FILE", kThrowawayTls.certificateFile.c_str()};
    TestServer updates{&kThrowawayTls};
    std::deque<QString> dialogAnswers;
    int questions = 0;
    std::unique_ptr<MainMenu> window;
};

}  // namespace gleanery::test
