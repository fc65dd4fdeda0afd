// Begin, Resume and Stop move the robot through the states users see:
// buttons, flags, timers and status texts.
#include "engine/robot_fixture.h"

namespace gleanery::testing {
namespace {

constexpr const char* kWarning =
    "Warning... This action will delete all the data in the database and rescan the entire site.  "
    "If you wish to resume a previous scan, please select the 'Resume' command.";

using ScanControl = RobotFixture;

TEST_F(ScanControl, BeginWithoutAddressChangesNothing) {
    store().insertRoute("http://old.example/", "", 5);
    session->settings().setText(Field::txtLocation, "");
    scan().begin();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(store().countRoutes(), 1);
    EXPECT_TRUE((scan().state() == ScanState::Idle));
    expectButtons(true, true, false);
}

TEST_F(ScanControl, BeginCancelledLeavesStore) {
    store().insertRoute("http://old.example/", "", 5);
    messages.answers = {false};
    scan().begin();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kWarning);
    EXPECT_EQ(messages.shown[0].title, "Gleanery");
    EXPECT_EQ(store().countRoutes(), 1);
    EXPECT_TRUE((scan().state() == ScanState::Idle));
}

TEST_F(ScanControl, BeginEmptiesQueuesKeepsBlockedSitesAndStartsScanning) {
    store().insertRoute("http://old.example/a.htm", "", 7);
    store().insertTarget("http://old.example/a.gif", "", path("out1/a.gif"));
    store().insertBlockedSite("bad.example");
    site.autoComplete = false;
    scan().begin();

    const auto routes = store().allRoutes();
    ASSERT_EQ(routes.size(), 1u);
    EXPECT_EQ(routes[0].URL, "http://srv.dom.example/");
    EXPECT_EQ(store().countTargets(), 0);
    EXPECT_TRUE(store().isBlocked("bad.example"));

    expectButtons(false, false, true);
    EXPECT_TRUE(scan().passTimer().isActive());
    EXPECT_EQ(scan().status(), "Scanning: http://srv.dom.example/");
    EXPECT_EQ(site.started, std::vector<std::string>{"http://srv.dom.example/"});
    EXPECT_TRUE(QDir(QString::fromStdString(path("out1"))).exists());
    EXPECT_TRUE(QDir(QString::fromStdString(path("out2"))).exists());
}

TEST_F(ScanControl, StopWaitsForRunningTransfersThenStops) {
    site.autoComplete = false;
    store().insertRoute("http://srv.dom.example/", "", 1);
    store().insertTarget("http://srv.dom.example/a.gif", "", path("out1/a.gif"));
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
    expectButtons(false, false, false);
    EXPECT_FALSE((scan().state() == ScanState::Idle));

    fetch(1).complete(200, "<html></html>");
    fetch(2).complete(200, "GIF89a");
    pump();
    scan().pollStop();
    EXPECT_EQ(scan().status(), "Execution Stopped");
    expectButtons(true, true, false);
    EXPECT_FALSE(scan().stopTimer().isActive());
    // The download that ended after the last runner pass is recorded as done.
    EXPECT_TRUE(store().pendingTargets().empty());
}

TEST_F(ScanControl, PageHandedOutButNeverCompletedIsFetchedAgainOnResume) {
    site.autoComplete = false;
    scan().begin();
    ASSERT_EQ(site.started.size(), 1u);
    // The program ends without the page's completion: a new session resumes.
    session.reset();
    session = std::make_unique<JobSession>(
        messages, clock, [this](int) { return std::make_unique<ScriptedFetch>(site); }, 10);
    session->open(path("job.glf"));
    session->settings().setText(Field::txtSpacePrimary, "0");
    session->settings().setText(Field::txtSpaceSecondary, "0");
    scan().resume();
    ASSERT_EQ(site.started.size(), 2u);
    EXPECT_EQ(site.started[1], "http://srv.dom.example/");
}

TEST_F(ScanControl, StoreThatCannotOpenKeepsBeginFromRunning) {
    const std::string blocker = path("locked");
    QDir().mkpath(QString::fromStdString(blocker + "/job.GLD"));  // a folder where the store should be
    ScriptedMessages told;
    JobSession broken(
        told, clock, [this](int) { return std::make_unique<ScriptedFetch>(site); }, 10);
    broken.open(blocker + "/job.glf");
    showScanNotices(broken.scan(), told, Qt::DirectConnection);
    ASSERT_FALSE(broken.storeProblem().empty());
    ASSERT_EQ(told.shown.size(), 1u);
    broken.settings().setText(Field::txtLocation, "http://srv.dom.example/");
    broken.scan().begin();
    ASSERT_EQ(told.shown.size(), 2u);
    EXPECT_EQ(told.shown[1].text, broken.storeProblem());
    EXPECT_TRUE(broken.scan().state() == ScanState::Idle);
    EXPECT_TRUE(site.started.empty());
}

TEST_F(ScanControl, EmptyOutputFolderIsRefusedBeforeAnythingIsWritten) {
    store().insertRoute("http://old.example/", "", 5);
    session->settings().setText(Field::txtSaveLocation2, "");
    scan().begin();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("output folders"), std::string::npos);
    EXPECT_EQ(store().countRoutes(), 1);
    EXPECT_TRUE((scan().state() == ScanState::Idle));
}

TEST_F(ScanControl, AddressHttpCannotFetchIsRefusedByBeginAndResume) {
    store().insertRoute("http://old.example/", "", 5);
    for (const char* address : {"not a url", "ftp://x"}) {
        for (const bool fresh : {true, false}) {
            SCOPED_TRACE(std::string(address) + (fresh ? " Begin" : " Resume"));
            messages.shown.clear();
            session->settings().setText(Field::txtLocation, address);
            fresh ? scan().begin() : scan().resume();
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_NE(messages.shown[0].text.find("http:// or https://"), std::string::npos);
            EXPECT_EQ(store().countRoutes(), 1);
            EXPECT_TRUE((scan().state() == ScanState::Idle));
            EXPECT_TRUE(site.started.empty());
        }
    }
}

TEST_F(ScanControl, OwnSiteIsRefused) {
    session->settings().setText(Field::txtLocation, "http://WWW.GLEANERY.ORG/x");
    scan().begin();
    EXPECT_EQ(session->settings().text(Field::txtLocation), "");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE((scan().state() == ScanState::Idle));
}

TEST_F(ScanControl, AnEarlyPassKeepsThePaceOfTheNextOnes) {
    site.autoComplete = false;
    store().insertRoute("http://srv.dom.example/", "", 1);
    store().insertTarget("http://srv.dom.example/a.gif", "", path("out1/a.gif"));
    scan().resume();
    scan().runPass();
    fetch(2).complete(200, "GIF89a");  // a free connection brings the next pass forward
    pump();
    scan().runPass();
    EXPECT_EQ(scan().passTimer().interval(), kRunnerPassMs);  // not a busy loop from then on
}

}  // namespace
}  // namespace gleanery::testing
