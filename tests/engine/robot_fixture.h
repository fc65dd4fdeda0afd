#pragma once
// A job in a temporary folder whose ten connections are scripted, whose
// messages are answered by the test and whose clock stands still.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "common/manual_clock.h"
#include "common/scripted_fetch.h"
#include "common/scripted_messages.h"
#include "engine/job_session.h"
#include "engine/scan_notices.h"

namespace gleanery::testing {

class RobotFixture : public ::testing::Test {
protected:
    RobotFixture() {
        qputenv("GLEANERY_HOME", GLEANERY_TEST_DATA_DIR);
        session = std::make_unique<JobSession>(
            messages, clock, [this](int) { return std::make_unique<ScriptedFetch>(site); }, 10);
        session->open(path("job.glf"));
        showScanNotices(scan(), messages, Qt::DirectConnection);
        JobSettings& s = session->settings();
        s.setText(Field::txtSaveLocation, path("out1"));
        s.setText(Field::txtSaveLocation2, path("out2"));
        s.setText(Field::txtSpacePrimary, "0");
        s.setText(Field::txtSpaceSecondary, "0");
        s.setText(Field::txtLocation, "http://srv.dom.example/");
    }

    std::string path(const std::string& name) const { return dir.filePath(QString::fromStdString(name)).toStdString(); }
    ScanController& scan() { return session->scan(); }
    WorkStore& store() { return session->store(); }
    ScriptedFetch& fetch(int slot) { return static_cast<ScriptedFetch&>(scan().connection(slot)); }

    // Lets queued completions and zero-time timers run.
    static void pump(int rounds = 5) {
        for (int i = 0; i < rounds; ++i) QCoreApplication::processEvents();
    }
    // Runs runner passes and completions until the robot stops by itself.
    void runUntilIdle(int maxPasses = 1000) {
        for (int i = 0; i < maxPasses && !(scan().state() == ScanState::Idle); ++i) {
            pump();
            if (scan().passTimer().isActive()) scan().runPass();
            if (scan().stopTimer().isActive()) scan().pollStop();
        }
    }

    void expectButtons(bool begin, bool resume, bool stop) {
        EXPECT_EQ(canStart(scan().state()), begin);
        EXPECT_EQ(canStart(scan().state()), resume);
        EXPECT_EQ(canStop(scan().state()), stop);
    }

    QTemporaryDir dir;
    ScriptedSite site;
    ScriptedMessages messages;
    ManualClock clock;
    std::unique_ptr<JobSession> session;
};

}  // namespace gleanery::testing
