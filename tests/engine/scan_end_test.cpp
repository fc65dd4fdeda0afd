// A scan that runs out of pages and downloads ends with one "Site Scanned"
// message per Begin or Resume and comes to rest as stopped.
#include "engine/robot_fixture.h"

namespace gleanery::testing {
namespace {

using ScanEnd = RobotFixture;

TEST_F(ScanEnd, SiteScannedShownOncePerRun) {
    site.answers["http://srv.dom.example/"] = {200, "<html>no links</html>"};
    scan().begin();
    runUntilIdle();
    EXPECT_EQ(messages.count("Site Scanned"), 1);
    EXPECT_EQ(scan().status(), "Execution Stopped");
    expectButtons(true, true, false);
    EXPECT_EQ(store().route("http://srv.dom.example/")->Result, 200);

    scan().resume();
    runUntilIdle();
    EXPECT_EQ(messages.count("Site Scanned"), 2);
}

TEST_F(ScanEnd, FailedPageIsClosedWithItsCodeAndNotTriedAgain) {
    site.answers["http://srv.dom.example/"] = {500, ""};
    scan().begin();
    runUntilIdle();
    EXPECT_EQ(store().route("http://srv.dom.example/")->Result, 500);
    EXPECT_EQ(site.started.size(), 1u);
}

TEST_F(ScanEnd, DownloadsRecordedAndCountedBeforeTheEnd) {
    site.answers["http://srv.dom.example/"] = {200, "page"};
    site.answers["http://srv.dom.example/a.gif"] = {200, "GIF89a-a"};
    site.answers["http://srv.dom.example/b.gif"] = {404, ""};
    store().insertRoute("http://srv.dom.example/", "", 1);
    store().insertTarget("http://srv.dom.example/a.gif", "http://srv.dom.example/", path("out1/a.gif"));
    store().insertTarget("http://srv.dom.example/b.gif", "http://srv.dom.example/", path("out1/b.gif"));
    scan().resume();
    runUntilIdle();
    EXPECT_EQ(messages.count("Site Scanned"), 1);
    EXPECT_TRUE(store().pendingTargets().empty());
    EXPECT_EQ(store().target("http://srv.dom.example/a.gif")->Result, 200);
    EXPECT_EQ(store().target("http://srv.dom.example/b.gif")->Result, 404);
    // Two downloads and the one page dispatched before them; the page's
    // four bytes and the picture's eight (the 404 body is empty).
    EXPECT_EQ(session->settings().text(Field::txtTotalFiles), "3");
    EXPECT_EQ(session->settings().text(Field::txtTotalK), "12");
}

}  // namespace
}  // namespace gleanery::testing
