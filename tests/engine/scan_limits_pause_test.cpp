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
        settings().setListIndex(Field::cboConnections, 0);
    }

    // Waits for a pause and for the transfers still running to be recorded.
    void waitForPause() {
        ASSERT_TRUE(spinUntil([&] { return scan().restartTimer().isActive(); }))
            << "no pause; status: " << scan().status();
        EXPECT_EQ(scan().state(), ScanState::Paused);
        ASSERT_TRUE(spinUntil([&] { return !scan().transfersRunning(); }));
        spinFor(std::chrono::milliseconds(150));
        ASSERT_FALSE(store().pendingTargets().empty()) << "the scan finished before it paused";
    }

    void resumeAndFinish() {
        scan().checkRestart();
        EXPECT_FALSE(scan().restartTimer().isActive());
        ASSERT_TRUE(runToRest()) << "the resumed scan did not end; status: " << scan().status();
        EXPECT_EQ(messages.count("Site Scanned"), 1);
        expectAllDownloadedOnce(site.files());
    }
};

TEST_F(ScanLimitsPause, DailyFileLimitPausesUntilTheNextDay) {
    settings().setText(Field::txtDailyLimitFiles, "2");
    scan().begin();
    waitForPause();
    EXPECT_EQ(scan().status(), "Download limit(s) exceeded... Pausing scan");
    // The page counts as soon as it arrives, like every file.
    EXPECT_GE(scan().progress().filesDownloaded, 2);
    EXPECT_EQ(settings().text(Field::txtDLFiles), std::to_string(1 + scan().progress().filesDownloaded));

    scan().checkRestart();
    EXPECT_EQ(scan().status(), "Daily limit exceeded... Waiting: 10:00:00");
    EXPECT_TRUE(scan().restartTimer().isActive());
    EXPECT_EQ(scan().state(), ScanState::Paused);

    clock.set(QDateTime(QDate(2026, 3, 11), QTime(0, 0, 5)));
    // The rest of the site fits in the new day's limit.
    settings().setText(Field::txtDailyLimitFiles, "10");
    resumeAndFinish();
    EXPECT_EQ(settings().text(Field::txtDLDate), "03/11/2026");
}

TEST_F(ScanLimitsPause, ForbiddenHourPausesUntilTheHourIsAllowed) {
    scan().begin();
    ASSERT_TRUE(spinUntil([&] { return scan().progress().filesDownloaded >= 1; }));
    settings().setChecked(Field::chkHour, false, clock.now().time().hour());
    waitForPause();
    EXPECT_EQ(scan().status(), "Pausing scan due to time restrictions");

    clock.advanceSeconds(65);
    scan().checkRestart();
    EXPECT_EQ(scan().status(), "Paused due to time restrictions... Waiting: 10:01:05");
    EXPECT_TRUE(scan().restartTimer().isActive());

    settings().setChecked(Field::chkHour, true, clock.now().time().hour());
    resumeAndFinish();
}

}  // namespace
}  // namespace gleanery::test
