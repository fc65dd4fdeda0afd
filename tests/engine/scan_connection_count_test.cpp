// The chosen connection count is the total, the page connection included:
// with "4" no more than three files are ever downloaded at once.
#include "engine/live_scan_fixture.h"

namespace gleanery::test {
namespace {

using ScanConnectionCount = LiveScan;

TEST_F(ScanConnectionCount, FourConnectionsDownloadAtMostThreeFilesAtOnce) {
    site.page("/", site.numberedFiles("f", 30, std::chrono::milliseconds(100)));
    ASSERT_TRUE(settings().setListIndex(Field::cboConnections, 2));
    ASSERT_EQ(settings().listText(Field::cboConnections), "4");

    scan().begin();
    ASSERT_TRUE(runToRest()) << "the scan did not end; status: " << scan().status();
    EXPECT_EQ(messages.count("Site Scanned"), 1);
    expectAllDownloadedOnce(site.files());
    EXPECT_EQ(site.maxFilesInFlight(), 3) << "files downloaded at once";
}

}  // namespace
}  // namespace gleanery::test
