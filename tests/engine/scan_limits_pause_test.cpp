// Daily limits and forbidden hours pause a running scan and arm the restart
// timer; its re-check waits while the limit holds and resumes the scan once
// the day has changed or the hour is allowed, and the scan then finishes.
#include "engine/live_scan_fixture.h"

namespace gleanery::test {
namespace {

class ScanLimitsPause : public LiveScan {
protected:
    ScanLimitsPause() {
        site.page("/", site.numberedFiles("f", 6, std::chrono::milliseconds(50)));
        // One download connection, so the scan cannot outrun the check.
        settings().setListIndex("cboConnections", 0);
    }

    // Waits for a pause and for the transfers still running to be recorded.
    void waitForPause() {
        ASSERT_TRUE(spinUntil([&] { return robot().restartTimer().isActive(); })) << "no pause; status: " << robot().status();
        EXPECT_TRUE(robot().stopRequested());
        ASSERT_TRUE(spinUntil([&] { return robot().busyConnections() == 0; }));
        spinFor(std::chrono::milliseconds(150));
        ASSERT_FALSE(store().pendingTargets().empty()) << "the scan finished before it paused";
    }

    void resumeAndFinish() {
        robot().timerRestart_Timer();
        EXPECT_FALSE(robot().restartTimer().isActive());
        ASSERT_TRUE(runToRest()) << "the resumed scan did not end; status: " << robot().status();
        EXPECT_EQ(messages.count("Site Scanned"), 1);
        expectAllDownloadedOnce(site.files());
    }
};

TEST_F(ScanLimitsPause, DailyFileLimitPausesUntilTheNextDay) {
    settings().setText("txtDailyLimitFiles", "2");
    robot().cmdBegin_Click();
    waitForPause();
    EXPECT_EQ(robot().status(), "Download limit(s) exceeded... Pausing scan");
    // The check before counting the third file finds the page and two files
    // counted, one more than allowed.
    EXPECT_EQ(robot().progress().filesDownloaded, 3);
    EXPECT_EQ(settings().text("txtDLFiles"), "4");

    robot().timerRestart_Timer();
    EXPECT_EQ(robot().status(), "Daily limit exceeded... Waiting: 10:00:00");
    EXPECT_TRUE(robot().restartTimer().isActive());
    EXPECT_TRUE(robot().stopRequested());

    clock.set(QDateTime(QDate(2026, 3, 11), QTime(0, 0, 5)));
    resumeAndFinish();
    EXPECT_EQ(settings().text("txtDLDate"), "03/11/2026");
}

TEST_F(ScanLimitsPause, ForbiddenHourPausesUntilTheHourIsAllowed) {
    robot().cmdBegin_Click();
    ASSERT_TRUE(spinUntil([&] { return robot().progress().filesDownloaded >= 1; }));
    settings().setChecked("chkHour", false, clock.now().time().hour());
    waitForPause();
    EXPECT_EQ(robot().status(), "Pausing scan due to time restrictions");

    clock.advanceSeconds(65);
    robot().timerRestart_Timer();
    EXPECT_EQ(robot().status(), "Paused due to time restrictions... Waiting: 10:01:05");
    EXPECT_TRUE(robot().restartTimer().isActive());

    settings().setChecked("chkHour", true, clock.now().time().hour());
    resumeAndFinish();
}

}  // namespace
}  // namespace gleanery::test
