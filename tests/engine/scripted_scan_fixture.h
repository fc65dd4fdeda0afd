#pragma once
// A job in a temporary folder whose ten connections are scripted, whose
// messages are answered by the test and whose clock stands still: the scan
// controller's states, timers and texts without a network.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "common/manual_clock.h"
#include "common/scripted_fetch.h"
#include "common/scripted_messages.h"
#include "engine/job_session.h"
#include "engine/scan_notices.h"

namespace gleanery::testing {

inline constexpr const char* kStart = "http://srv.dom.example/";

class ScriptedScan : public ::testing::Test {
protected:
    ScriptedScan() {
        qputenv("GLEANERY_HOME", GLEANERY_TEST_DATA_DIR);
        openSession();
        settings().setText(Field::txtSaveLocation, path("out1"));
        settings().setText(Field::txtSaveLocation2, path("out2"));
        settings().setText(Field::txtLocation, kStart);
        // The scripted sites answer only what a test scripts.
        settings().setChecked(Field::chkObeyRobots, false);
    }

    // Opens the job as a newly opened window would (after an end without a stop, too).
    void openSession() {
        session.reset();
        session = std::make_unique<JobSession>(
            messages, clock, [this](int) { return std::make_unique<ScriptedFetch>(site); }, 10);
        session->open(path("job.glf"));
        showScanNotices(scan(), messages, Qt::DirectConnection);
        settings().setText(Field::txtSpacePrimary, "0");
        settings().setText(Field::txtSpaceSecondary, "0");
    }

    std::string path(const std::string& name) const { return dir.filePath(QString::fromStdString(name)).toStdString(); }
    JobSettings& settings() { return session->settings(); }
    ScanController& scan() { return session->scan(); }
    WorkStore& store() { return session->store(); }
    ScriptedFetch& fetch(int slot) { return static_cast<ScriptedFetch&>(scan().connection(slot)); }
    // A queue left by an earlier scan: the start page and one file of it.
    void queueStartPageAndFile() {
        store().insertRoute(kStart, "", 1);
        store().insertTarget(std::string(kStart) + "a.gif", "", path("out1/a.gif"));
    }

    // Lets queued completions and zero-time timers run.
    static void pump(int rounds = 5) {
        for (int i = 0; i < rounds; ++i) QCoreApplication::processEvents();
    }
    // Runs runner passes, stop polls and completions until done() or the passes run out.
    void runUntil(const std::function<bool()>& done, int maxPasses = 1000) {
        for (int i = 0; i < maxPasses && !done(); ++i) {
            pump();
            if (scan().passTimer().isActive()) scan().runPass();
            if (scan().stopTimer().isActive()) scan().pollStop();
        }
    }
    void runUntilIdle() {
        runUntil([this] { return scan().state() == ScanState::Idle; });
    }

    // Begin and Resume share one button state; Stop has its own.
    void expectButtons(bool start, bool stop) {
        EXPECT_EQ(canStart(scan().state()), start);
        EXPECT_EQ(canStop(scan().state()), stop);
    }

    QTemporaryDir dir;
    ScriptedSite site;
    ScriptedMessages messages;
    ManualClock clock;
    std::unique_ptr<JobSession> session;
};

}  // namespace gleanery::testing
