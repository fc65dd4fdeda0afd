// A scan stopped in the middle and resumed by a newly opened job fetches
// every page and file exactly once and loses none of them.
#include "engine/live_scan_fixture.h"

namespace gleanery::test {
namespace {

using ScanStopResume = LiveScan;

TEST_F(ScanStopResume, ResumeInANewSessionFinishesWithEveryFileFetchedOnce) {
    const auto delay = std::chrono::milliseconds(100);
    std::vector<std::string> first = site.numberedFiles("a", 15, delay);
    std::vector<std::string> second = site.numberedFiles("b", 15, delay);
    site.page("/", {"more.html"}, first);
    site.page("/more.html", second);

    scan().begin();
    ASSERT_TRUE(spinUntil([&] { return scan().progress().filesDownloaded >= 2; }));
    scan().stop();
    EXPECT_EQ(scan().status(), "Stopping Execution");
    ASSERT_TRUE(runToRest());
    EXPECT_EQ(scan().status(), "Execution Stopped");
    EXPECT_EQ(messages.count("Site Scanned"), 0);
    EXPECT_FALSE(scan().transfersRunning());
    ASSERT_FALSE(store().pendingTargets().empty()) << "the scan ended before the stop; nothing left to resume";

    openSession();
    scan().resume();
    ASSERT_TRUE(runToRest()) << "the resumed scan did not end; status: " << scan().status();
    EXPECT_EQ(messages.count("Site Scanned"), 1);
    EXPECT_EQ(routes(), (std::map<std::string, int>{{"/", 200}, {"/more.html", 200}}));
    EXPECT_EQ(targets().size(), site.files().size());
    expectAllDownloadedOnce(site.files());
    EXPECT_EQ(server.hits("/"), 1);
    EXPECT_EQ(server.hits("/more.html"), 1);
    EXPECT_TRUE(temporaryFilesUnder(out()).empty());
}

}  // namespace
}  // namespace gleanery::test
