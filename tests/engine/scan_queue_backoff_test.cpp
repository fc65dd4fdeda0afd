// The page scheduler holds back while 250 or more files wait for download
// and goes on as soon as the queue has drained below that.
#include "engine/live_scan_fixture.h"

namespace gleanery::test {
namespace {

using ScanQueueBackOff = LiveScan;

TEST_F(ScanQueueBackOff, NextPageWaitsUntilFewerThan250FilesAreQueued) {
    std::vector<std::string> files = site.numberedFiles("f", 300, std::chrono::milliseconds(20));
    files.insert(files.begin(), "next.html");
    site.page("/", files);
    server.page("/next.html", "<html>last page</html>");
    settings().setChecked(Field::chkImmediate, true);

    // The queue as each page is handed to the page connection.
    std::vector<std::size_t> queuedAtDispatch;
    QObject::connect(&scan(), &ScanController::connectionTextChanged, [&](int slot, const QString& text) {
        if (slot == 1 && text != "Parsing File" && text != "Not Busy")
            queuedAtDispatch.push_back(std::size_t(scan().statistics().queued));
    });

    scan().begin();
    ASSERT_TRUE(spinUntil([&] { return std::size_t(scan().statistics().queued) >= kQueueBackOff; }))
        << "the scheduler never backed off";
    EXPECT_EQ(server.hits("/next.html"), 0);

    ASSERT_TRUE(runToRest()) << "the scan did not end; status: " << scan().status();
    EXPECT_EQ(messages.count("Site Scanned"), 1);
    EXPECT_EQ(server.hits("/next.html"), 1);
    ASSERT_EQ(queuedAtDispatch.size(), 2u);
    EXPECT_EQ(queuedAtDispatch[0], 0u);
    // Each runner pass starts at most one file per download connection, so
    // the page follows within a pass of the queue dropping below 250.
    EXPECT_LT(queuedAtDispatch[1], kQueueBackOff);
    EXPECT_GE(queuedAtDispatch[1], kQueueBackOff - (kConnectionCount - 1));
    files.erase(files.begin());
    expectAllDownloadedOnce(files);
}

}  // namespace
}  // namespace gleanery::test
