// Pauses and stops of the scan controller with scripted connections and a
// clock the test moves: what ends a pause, what each state allows, and the
// scanning time and counters that remain.
#include "engine/robot_fixture.h"
#include "support/text.h"

namespace gleanery::testing {
namespace {

class NoSpace final : public FreeSpaceSource {
public:
    std::uint64_t freeBytes(const std::string&) const override { return 0; }
};

class ScanPauseStop : public RobotFixture {
protected:
    ScanPauseStop() {
        site.autoComplete = false;
        site.answers["http://srv.dom.example/a.htm"] = {200, "page a"};
    }
    JobSettings& settings() { return session->settings(); }
    // Begins, scans for an hour, then forbids the hour: the start page arrives
    // with a link, and the scan pauses before fetching it.
    void pauseAfterAnHour() {
        scan().begin();
        clock.advanceSeconds(3600);
        settings().setChecked(Field::chkHour, false, clock.now().time().hour());
        fetch(1).complete(200, R"(<a href="a.htm">a</a>)");
        pump();
        ASSERT_EQ(scan().state(), ScanState::Paused);
    }
    double days(TextKey field) { return numericValue(settings().text(field)); }
};

TEST_F(ScanPauseStop, StopEndsAPauseAndOnlyScanningTimeCounts) {
    pauseAfterAnHour();
    EXPECT_DOUBLE_EQ(days(Field::txtDLTime), 1.0 / 24);
    clock.advanceSeconds(7200);
    scan().stop();
    runUntilIdle();
    EXPECT_EQ(scan().status(), "Execution Stopped");
    EXPECT_DOUBLE_EQ(days(Field::txtTotalTime), 1.0 / 24);
    EXPECT_DOUBLE_EQ(scan().statistics().totalSeconds, 3600);  // counted once, after the stop too
    // The start page counted when it arrived, though no file followed it.
    EXPECT_EQ(settings().text(Field::txtDLFiles), "1");
}

TEST_F(ScanPauseStop, ARestartThatCannotStartWaitsOnUntilStop) {
    pauseAfterAnHour();
    const NoSpace full;
    scan().useFreeSpaceSource(full);
    settings().setText(Field::txtSpacePrimary, "1");
    settings().setText(Field::txtSpaceSecondary, "1");
    settings().setChecked(Field::chkHour, true, clock.now().time().hour());
    for (int i = 0; i < 3; ++i) scan().checkRestart();
    EXPECT_EQ(scan().state(), ScanState::Paused);
    EXPECT_TRUE(scan().restartTimer().isActive());
    EXPECT_EQ(messages.count("You have run out of drive space on both output drives.  Scan has been suspended."), 1);
    scan().stop();
    runUntilIdle();
    EXPECT_EQ(scan().state(), ScanState::Idle);
}

TEST_F(ScanPauseStop, ADayAcrossMidnightKeepsOnlyItsOwnTime) {
    clock.set(QDateTime(QDate(2026, 3, 10), QTime(23, 30)));
    scan().begin();
    clock.set(QDateTime(QDate(2026, 3, 11), QTime(0, 30)));
    scan().stop();
    fetch(1).complete(404);
    runUntilIdle();
    EXPECT_EQ(settings().text(Field::txtDLDate), "03/11/2026");
    EXPECT_DOUBLE_EQ(days(Field::txtDLTime), 0.5 / 24);
    EXPECT_DOUBLE_EQ(days(Field::txtTotalTime), 1.0 / 24);
}

TEST_F(ScanPauseStop, ALimitReachedWhileStoppingDoesNotTurnTheStopIntoAPause) {
    settings().setText(Field::txtDailyLimitFiles, "0");
    scan().begin();
    scan().stop();
    fetch(1).complete(200, R"(<a href="a.htm">a</a>)");
    runUntilIdle();
    EXPECT_EQ(scan().state(), ScanState::Idle);
    EXPECT_FALSE(scan().restartTimer().isActive());
}

TEST_F(ScanPauseStop, AFailingStoreStopsButBeginWaitsForTheRunningTransfers) {
    store().insertRoute("http://srv.dom.example/", "", 1);
    store().insertTarget("http://srv.dom.example/a.gif", "", path("out1/a.gif"));
    scan().resume();
    scan().runPass();
    ASSERT_TRUE(fetch(2).IsBusy());
    store().close();
    fetch(1).complete(200, "<html></html>");
    pump();
    EXPECT_EQ(scan().state(), ScanState::Stopping);
    expectButtons(false, false, false);
    EXPECT_EQ(messages.shown.size(), 1u);  // the store's failure, told once
    fetch(2).complete(200, "GIF89a");
    runUntilIdle();
    EXPECT_EQ(scan().state(), ScanState::Idle);
    expectButtons(true, true, false);
}

}  // namespace
}  // namespace gleanery::testing
