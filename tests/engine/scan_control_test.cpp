// The scan controller with scripted connections and a clock the test moves:
// Begin, Resume and Stop through the states users see (buttons, timers,
// status texts), the end of a site, what ends a pause, and the scanning time
// and counters that remain.
#include <set>

#include "engine/fetch_result_codes.h"
#include "engine/scripted_scan_fixture.h"
#include "support/text.h"

namespace gleanery::testing {
namespace {

constexpr const char* kDrivesFull = "You have run out of drive space on both output drives.  Scan has been suspended.";

using ScanControl = ScriptedScan;
using ScanEnd = ScriptedScan;

// Begin or Resume refused, or Begin cancelled: one message (none without
// address), the old queue kept, nothing fetched.
TEST_F(ScanControl, RefusedStartsChangeNothing) {
    store().insertRoute("http://old.example/", "", 5);
    const struct {
        TextKey field;
        const char* value;
        const char* told;  // part of the one message, nullptr for none
        bool resumeToo;
    } cases[] = {{Field::txtLocation, "", nullptr, false},
                 {Field::txtSaveLocation2, "", "output folders", false},
                 {Field::txtLocation, "not a url", "http:// or https://", true},
                 {Field::txtLocation, "ftp://x", "http:// or https://", true}};
    for (const auto& c : cases) {
        for (const bool fresh : {true, false}) {
            if (!fresh && !c.resumeToo) continue;
            SCOPED_TRACE(std::string(c.value) + (fresh ? " Begin" : " Resume"));
            messages.shown.clear();
            settings().setText(c.field, c.value);
            fresh ? scan().begin() : scan().resume();
            ASSERT_EQ(messages.shown.size(), c.told ? 1u : 0u);
            if (c.told) {
                EXPECT_NE(messages.shown[0].text.find(c.told), std::string::npos);
            }
            EXPECT_EQ(store().countRoutes(), 1);
            expectButtons(true, false);
            EXPECT_TRUE(site.started.empty());
            settings().setText(Field::txtLocation, kStart);
            settings().setText(Field::txtSaveLocation2, path("out2"));
        }
    }
    messages.shown.clear();
    settings().setText(Field::txtLocation, "http://WWW.GLEANERY.ORG/x");  // our own site: refused and forgotten
    scan().begin();
    EXPECT_EQ(settings().text(Field::txtLocation), "");
    EXPECT_EQ(messages.shown.size(), 1u);
    settings().setText(Field::txtLocation, kStart);
    messages.shown.clear();
    messages.answers = {false};  // the warning of Begin cancelled
    scan().begin();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("Warning... This action will delete all the data", 0), 0u);
    EXPECT_EQ(store().countRoutes(), 1);
    EXPECT_EQ(scan().state(), ScanState::Idle);
}

TEST_F(ScanControl, BeginEmptiesQueuesKeepsBlockedSitesAndStartsScanning) {
    store().insertRoute("http://old.example/a.htm", "", 7);
    store().insertTarget("http://old.example/a.gif", "", path("out1/a.gif"));
    store().insertBlockedSite("bad.example");
    site.autoComplete = false;
    scan().begin();

    const auto routes = store().allRoutes();
    ASSERT_EQ(routes.size(), 1u);
    EXPECT_EQ(routes[0].URL, kStart);
    EXPECT_EQ(store().countTargets(), 0);
    EXPECT_TRUE(store().isBlocked("bad.example"));
    expectButtons(false, true);
    EXPECT_TRUE(scan().passTimer().isActive());
    EXPECT_EQ(scan().status(), "Scanning: http://srv.dom.example/");
    EXPECT_EQ(site.started, std::vector<std::string>{kStart});
    EXPECT_TRUE(QDir(QString::fromStdString(path("out1"))).exists());
    EXPECT_TRUE(QDir(QString::fromStdString(path("out2"))).exists());
}

TEST_F(ScanControl, StopWaitsForRunningTransfersThenStops) {
    site.autoComplete = false;
    queueStartPageAndFile();
    scan().resume();
    scan().runPass();  // starts the download on connection 2
    ASSERT_TRUE(fetch(1).IsBusy());
    ASSERT_TRUE(fetch(2).IsBusy());

    scan().stop();
    EXPECT_EQ(scan().status(), "Stopping Execution");
    EXPECT_FALSE(scan().passTimer().isActive());
    EXPECT_TRUE(scan().stopTimer().isActive());
    scan().pollStop();
    EXPECT_EQ(scan().status(), "Stopping Execution");
    expectButtons(false, false);

    fetch(1).complete(200, "<html></html>");
    fetch(2).complete(200, "GIF89a");
    pump();
    scan().pollStop();
    EXPECT_EQ(scan().status(), "Execution Stopped");
    expectButtons(true, false);
    EXPECT_FALSE(scan().stopTimer().isActive());
    // The download that ended after the last runner pass is recorded as done.
    EXPECT_TRUE(store().pendingTargets().empty());
}

TEST_F(ScanControl, PageHandedOutButNeverCompletedIsFetchedAgainOnResume) {
    site.autoComplete = false;
    scan().begin();
    ASSERT_EQ(site.started.size(), 1u);
    openSession();  // the program ended without the page's completion
    scan().resume();
    EXPECT_EQ(site.started, (std::vector<std::string>{kStart, kStart}));
}

TEST_F(ScanControl, StoreThatCannotOpenKeepsBeginFromRunning) {
    session.reset();
    QFile::remove(QString::fromStdString(path("job.GLD")));
    QDir().mkpath(QString::fromStdString(path("job.GLD")));  // a folder where the store should be
    messages.shown.clear();
    openSession();
    ASSERT_FALSE(session->storeProblem().empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    settings().setText(Field::txtLocation, kStart);
    scan().begin();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, session->storeProblem());
    EXPECT_EQ(scan().state(), ScanState::Idle);
    EXPECT_TRUE(site.started.empty());
}

TEST_F(ScanControl, AnEarlyPassKeepsThePaceOfTheNextOnes) {
    site.autoComplete = false;
    queueStartPageAndFile();
    scan().resume();
    scan().runPass();
    fetch(2).complete(200, "GIF89a");  // a free connection brings the next pass forward
    pump();
    scan().runPass();
    EXPECT_EQ(scan().passTimer().interval(), kRunnerPassMs);  // not a busy loop from then on
}

// Every free connection takes a page of its own; files wait for the pages.
TEST_F(ScanControl, PagesOnAllConnectionsEachTakeAnotherPage) {
    settings().setChecked(Field::chkParallelPages, true);
    settings().setListIndex(Field::cboConnections, 2);  // four connections
    std::string links = R"(<img src="pic.gif">)";
    for (const char* page : {"a", "b", "c", "d", "e"}) links += std::string("<a href=\"") + page + ".htm\">p</a>";
    site.autoComplete = false;
    scan().begin();
    fetch(1).complete(200, links);
    pump();
    const std::set<std::string> pages(site.started.begin() + 1, site.started.end());
    EXPECT_EQ(pages.size(), 4u) << "four pages at once, each another";
    EXPECT_EQ(pages.count(std::string(kStart) + "pic.gif"), 0u);
    site.autoComplete = true;
    for (int slot = 1; slot <= 4; ++slot) fetch(slot).completeFromSite();
    runUntilIdle();
    EXPECT_EQ(messages.count("Site Scanned"), 1);
    EXPECT_EQ(store().countUnscannedRoutes(), 0);
    EXPECT_EQ(site.started.size(), 7u);  // each page and the picture once
}

// A server that multiplexes carries several transfers on each connection of
// the job at once; the statistics still count connections.
TEST_F(ScanControl, AMultiplexingServerTakesSeveralTransfersAConnection) {
    settings().setListIndex(Field::cboConnections, 0);  // two connections
    std::string links;
    for (int i = 0; i < 2 * kStreamsPerConnection + 10; ++i) links += "<img src=\"" + std::to_string(i) + ".gif\">";
    site.multiplexed = true;
    site.autoComplete = false;
    scan().begin();
    fetch(1).complete(200, links);
    pump();
    EXPECT_EQ(scan().statistics().queued, 11) << "the page connection's slot waits for pages";
    EXPECT_EQ(scan().statistics().activeConnections, 2);
}

TEST_F(ScanEnd, SiteScannedShownOncePerRunAndAFailedPageIsNotTriedAgain) {
    for (const int code : {200, 500}) {
        SCOPED_TRACE(code);
        site.answers[kStart] = {code, "<html>no links</html>"};
        site.started.clear();
        messages.shown.clear();
        scan().begin();
        runUntilIdle();
        EXPECT_EQ(messages.count("Site Scanned"), 1);
        EXPECT_EQ(scan().status(), "Execution Stopped");
        expectButtons(true, false);
        EXPECT_EQ(store().route(kStart)->Result, code);
        scan().resume();
        runUntilIdle();
        EXPECT_EQ(messages.count("Site Scanned"), 2);
        EXPECT_EQ(site.started.size(), 1u);
    }
}

TEST_F(ScanEnd, DownloadsRecordedAndCountedBeforeTheEnd) {
    site.answers[kStart] = {200, "page"};
    site.answers["http://srv.dom.example/a.gif"] = {200, "GIF89a-a"};
    site.answers["http://srv.dom.example/b.gif"] = {404, ""};
    queueStartPageAndFile();
    store().insertTarget("http://srv.dom.example/b.gif", kStart, path("out1/b.gif"));
    scan().resume();
    runUntilIdle();
    EXPECT_EQ(messages.count("Site Scanned"), 1);
    EXPECT_TRUE(store().pendingTargets().empty());
    EXPECT_EQ(store().target("http://srv.dom.example/a.gif")->Result, 200);
    EXPECT_EQ(store().target("http://srv.dom.example/b.gif")->Result, 404);
    // Two downloads and the one page dispatched before them; the page's
    // four bytes and the picture's eight (the 404 body is empty).
    EXPECT_EQ(settings().text(Field::txtTotalFiles), "3");
    EXPECT_EQ(settings().text(Field::txtTotalK), "12");
}

// A page or file whose records the archive could not take stops the scan and
// stays to do: Resume fetches it again, and nothing is lost to the mirror.
TEST_F(ScanEnd, ATransferTheArchiveCouldNotKeepIsFetchedAgainOnResume) {
    const std::string file = "http://srv.dom.example/a.gif";
    const std::string stopped =
        "The WARC archive of this job cannot be written: a record was not written. "
        "The scan stops; Resume goes on in a new file.";
    settings().setChecked(Field::chkWarc, true);
    site.answers[kStart] = {kFetchArchiveNotWritable, ""};
    scan().begin();
    runUntilIdle();
    EXPECT_EQ(messages.count(stopped), 1);
    EXPECT_EQ(store().countUnscannedRoutes(), 1);

    site.answers[kStart] = {200, "<img src=a.gif>"};
    site.answers[file] = {kFetchArchiveNotWritable, ""};
    scan().resume();
    runUntilIdle();
    EXPECT_EQ(messages.count(stopped), 2);
    EXPECT_EQ(store().pendingTargets().size(), 1u);

    site.answers[file] = {200, "GIF89a"};
    scan().resume();
    runUntilIdle();
    EXPECT_EQ(messages.count("Site Scanned"), 1);
    EXPECT_EQ(store().target(file)->Result, 200);
    EXPECT_EQ(site.started, (std::vector<std::string>{kStart, kStart, file, file}));
}

class NoSpace final : public FreeSpaceSource {
public:
    std::uint64_t freeBytes(const std::string&) const override { return 0; }
};

class ScanPauseStop : public ScriptedScan {
protected:
    ScanPauseStop() {
        site.autoComplete = false;
        site.answers["http://srv.dom.example/a.htm"] = {200, "page a"};
    }
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
    EXPECT_EQ(messages.count(kDrivesFull), 1);
    scan().stop();
    runUntilIdle();
    EXPECT_EQ(scan().state(), ScanState::Idle);
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
    queueStartPageAndFile();
    scan().resume();
    scan().runPass();
    ASSERT_TRUE(fetch(2).IsBusy());
    store().close();
    fetch(1).complete(200, "<html></html>");
    pump();
    EXPECT_EQ(scan().state(), ScanState::Stopping);
    EXPECT_EQ(messages.shown.size(), 1u);  // the store's failure, told once
    fetch(2).complete(200, "GIF89a");
    runUntilIdle();
    EXPECT_EQ(scan().state(), ScanState::Idle);
}

// Daily limits and forbidden hours pause a running scan and arm the restart
// timer; its re-check waits while the limit holds and resumes the scan once
// the day has changed or the hour is allowed, and the scan then finishes.
class ScanLimitsPause : public ScriptedScan {
protected:
    ScanLimitsPause() {
        std::string links;
        for (const char* f : {"a", "b", "c", "d", "e", "f"}) {
            links += std::string("<a href=\"") + f + ".gif\">f</a>";
            site.answers[kStart + std::string(f) + ".gif"] = {200, "GIF89a"};
        }
        site.answers[kStart] = {200, links};
        settings().setListIndex(Field::cboConnections, 0);  // one download connection: no outrunning the check
    }
    void waitForPause(const std::string& status) {
        runUntil([this] { return scan().restartTimer().isActive(); });
        pump();
        ASSERT_EQ(scan().state(), ScanState::Paused) << scan().status();
        EXPECT_EQ(scan().status(), status);
        ASSERT_FALSE(store().pendingTargets().empty()) << "the scan finished before it paused";
    }
    // The re-check, told to wait once more, then resuming when allowed.
    void waitThenFinish(const std::string& waiting, const std::function<void()>& allow) {
        scan().checkRestart();
        EXPECT_EQ(scan().status(), waiting);
        EXPECT_TRUE(scan().restartTimer().isActive());
        EXPECT_EQ(scan().state(), ScanState::Paused);
        allow();
        scan().checkRestart();
        EXPECT_FALSE(scan().restartTimer().isActive());
        runUntilIdle();
        EXPECT_EQ(messages.count("Site Scanned"), 1);
        EXPECT_EQ(store().countTargets(), 6);
        EXPECT_TRUE(store().pendingTargets().empty());
        EXPECT_EQ(site.started.size(), 7u);  // each fetched once
    }
};

TEST_F(ScanLimitsPause, DailyFileLimitPausesUntilTheNextDay) {
    settings().setText(Field::txtDailyLimitFiles, "2");
    scan().begin();
    waitForPause("Download limit(s) exceeded... Pausing scan");
    // The page counts as soon as it arrives, like every file.
    EXPECT_GE(scan().progress().filesDownloaded, 2);
    EXPECT_EQ(settings().text(Field::txtDLFiles), std::to_string(1 + scan().progress().filesDownloaded));
    waitThenFinish("Daily limit exceeded... Waiting: 10:00:00", [this] {
        clock.set(QDateTime(QDate(2026, 3, 11), QTime(0, 0, 5)));
        settings().setText(Field::txtDailyLimitFiles, "10");  // the rest of the site fits in the new day's limit
    });
    EXPECT_EQ(settings().text(Field::txtDLDate), "03/11/2026");
}

TEST_F(ScanLimitsPause, ForbiddenHourPausesUntilTheHourIsAllowed) {
    scan().begin();
    runUntil([this] { return scan().progress().filesDownloaded >= 1; });
    settings().setChecked(Field::chkHour, false, clock.now().time().hour());
    waitForPause("Pausing scan due to time restrictions");
    clock.advanceSeconds(65);
    waitThenFinish("Paused due to time restrictions... Waiting: 10:01:05",
                   [this] { settings().setChecked(Field::chkHour, true, clock.now().time().hour()); });
}

}  // namespace
}  // namespace gleanery::testing
