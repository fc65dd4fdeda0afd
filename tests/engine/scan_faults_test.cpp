// Sites and machines that fail a scan: pages written to hurt a grabber, a
// server that fails in every way a site can, and output drives that fill up.
// The scan ends, closes every page and file with its own result, writes
// nothing outside its folders and never leaves a failed download behind.
#include <QDirIterator>
#include <QElapsedTimer>

#include <atomic>
#include <fstream>

#include "common/live_scan.h"
#include "engine/fetch_result_codes.h"

namespace gleanery::test {
namespace {

using ScanHostileSite = LiveScan;
using ScanMisbehavingServer = LiveScan;

// Peak resident memory of this process so far, in MB (0 when unknown).
long peakResidentMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6)) / 1024;
    return 0;
}

TEST_F(ScanHostileSite, TheScanEndsInsideItsFolderWithEveryFailureRecorded) {
    // 100,000 links: most repeat the same few pages, the rest lead off the site.
    std::string crowd = "<html><body>";
    for (int i = 0; i < 100'000; ++i) {
        crowd += i % 2 ? "<a href=\"plain.html\">p</a>" : "<a href=\"http://elsewhere.invalid/";
        if (i % 2 == 0) crowd += std::to_string(i) + ".html\">x</a>";
    }
    // Labelled so that the test server sends it as it is: compressing megabytes
    // with brotli would take it longer than the test's short timeout.
    const std::string uncompressed = "application/octet-stream";
    server.page("/crowd.html", crowd + "</body></html>", uncompressed);
    site.page("/plain.html", {});

    // A link of one megabyte, NUL bytes in the text and in a link, "../" chains
    // plain and encoded.
    const std::string hugePath = "/" + std::string(1 << 20, 'u') + ".html";
    std::string nasty = "<html><body><a href=\"" + hugePath + "\">huge</a>\n";
    const std::string nul(1, '\0');
    nasty += "text" + nul + "with" + nul + "nul <a href=\"nu" + nul + "l.html\">n</a>\n";
    nasty += "<a href=\"../../../../../../../../etc/escape.html\">up</a>\n";
    nasty += "<a href=\"%2e%2e/%2e%2e/%2e%2e/escape2.gif\">up2</a>\n";
    nasty += "<a href=\"..%2f..%2f..%2fescape3.gif\">up3</a>\n";
    nasty += "<img src=\"....//....//escape4.gif\">\n</body></html>";
    server.page("/nasty.html", nasty, uncompressed);
    for (const char* f : {"/escape2.gif", "/escape3.gif", "/....//....//escape4.gif", "/escape4.gif"})
        server.page(f, "gif", "image/gif");

    // Every answer is a redirect to a new address.
    std::atomic<int> hops{0};
    server.handle("/endless.html", [&](const httplib::Request&, httplib::Response& response) {
        response.status = 302;
        response.set_header("Location", "/endless.html?hop=" + std::to_string(++hops));
    });
    // A byte now and then, for far longer than the test runs.
    server.trickle("/trickle.gif", std::string(100'000, 't'), 1, std::chrono::milliseconds(100));
    site.page("/", {"crowd.html", "nasty.html", "endless.html", "trickle.gif"});
    setIdleTimeouts();

    QElapsedTimer elapsed;
    elapsed.start();
    ASSERT_TRUE(scanToRest(true, 1, std::chrono::seconds(60)));
    EXPECT_LT(elapsed.elapsed(), 30'000);

    const Results pages = routes();
    for (const auto& [path, result] : Results{{"/crowd.html", 200},
                                              {"/plain.html", 200},
                                              {"/nasty.html", 200},
                                              {"/endless.html", kFetchTooManyRedirects}})
        EXPECT_EQ(pages.at(path), result) << path;
    EXPECT_LE(hops.load(), kMaxRedirects + 1);
    EXPECT_EQ(server.hits("/plain.html"), 1);
    for (const auto& [path, result] : pages) {
        EXPECT_EQ(path.find("elsewhere.invalid"), std::string::npos) << "an off-site link became a route";
        EXPECT_NE(result, kOpen) << path.substr(0, 80);
    }
    EXPECT_EQ(targets().at("/trickle.gif"), kFetchTimeout);
    expectOutcome({}, {});
    EXPECT_FALSE(stored("/trickle.gif"));

    // Everything the job wrote: its setup file and store beside the output
    // folder, and the mirror inside it.
    const QString outFolder = QString::fromStdString(out()) + '/';
    QDirIterator all(dir.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (all.hasNext()) {
        const QString file = all.next();
        if (file.startsWith(outFolder)) continue;
        EXPECT_TRUE(QFileInfo(file).fileName().startsWith("job."))
            << file.toStdString() << " is outside the output folder";
    }
    // The pages above add a few megabytes; a leak per link would add far more.
    EXPECT_LT(peakResidentMb(), 400);
}

TEST_F(ScanMisbehavingServer, EveryFailureIsRecordedAndTheScanEnds) {
    // Each failure once as a page and once as a file.
    const std::map<std::string, int> failures{{"/e/missing", 404},
                                              {"/e/broken", 500},
                                              {"/e/reset", kFetchNetworkError},
                                              {"/e/stall", kFetchTimeout},
                                              {"/e/loop", kFetchTooManyRedirects}};
    Results pages{{"/", 200}, {"/fine.html", 200}, {"/big.html", kFetchBodyTooLarge}};
    Results files{{"/ok.gif", 200}, {"/fine.gif", 200}};
    std::vector<std::string> links{"fine.html", "big.html", "ok.gif"};
    for (const auto& [stem, result] : failures) {
        for (const std::string& path : {stem + ".html", stem + ".gif"}) {
            if (result == 500) server.status(path, 500);
            if (result == kFetchNetworkError) server.resetConnection(path);
            if (result == kFetchTimeout) server.stall(path, std::chrono::seconds(10));
            if (result == kFetchTooManyRedirects) server.redirect(path, path);
            (path.ends_with(".html") ? pages : files)[path] = result;
            links.push_back(path.substr(1));
        }
    }
    server.largeBody("/big.html", 200'000);
    site.file("/ok.gif");
    site.page("/fine.html", {"fine.gif"});
    site.file("/fine.gif");
    site.page("/", links);
    setIdleTimeouts();
    fetch(1).setMaxPageBytes(10'000);

    ASSERT_TRUE(scanToRest());
    expectOutcome(pages, files);
    // A page or file that did not arrive whole is not stored: a passing failure
    // must never replace a good copy from an earlier scan with an error or nothing.
    for (const Results* closed : {&pages, &files})
        for (const auto& [path, result] : *closed) EXPECT_EQ(stored(path), result == 200) << path;
}

TEST_F(ScanMisbehavingServer, LinksOfAMovedPageFollowItsNewAddress) {
    server.page("/", R"(<a href="old.html">old</a>)");
    server.redirect("/old.html", "/new/page.html", 301);
    server.page("/new/page.html", R"(<a href="x.html">x</a>)");
    server.page("/new/x.html", "<html>x</html>");
    ASSERT_TRUE(scanToRest());
    EXPECT_EQ(server.hits("/new/x.html"), 1);
    EXPECT_EQ(routes().count("/x.html"), 0u);
    EXPECT_EQ(routes().at("/old.html"), 200);  // the route keeps its own address
}

constexpr std::uint64_t kPlenty = 1'000'000'000'000;
// Free bytes of the two output folders, changed by the test while the scan runs.
struct TwoDrives final : FreeSpaceSource {
    std::uint64_t freeBytes(const std::string& folder) const override {
        return folder == primaryFolder ? primary : secondary;
    }
    std::string primaryFolder;
    std::atomic<std::uint64_t> primary{kPlenty}, secondary{kPlenty};
};

constexpr std::uint64_t kBelowFloor = 1'000'000;  // the floors below are 5 MB

// Both output folders below their floors stop the scan; Resume goes on once
// there is room again.
class ScanLowDisk : public LiveScan {
protected:
    ScanLowDisk() {
        setOutputs(primary, secondary, "5");
        space.primaryFolder = primary;
        scan().useFreeSpaceSource(space);
    }
    const std::string primary = inDir("primary"), secondary = inDir("secondary");
    TwoDrives space;
};

TEST_F(ScanLowDisk, BothFoldersFullStopsOnceAndResumeFinishesAfterRoomIsMade) {
    const std::vector<std::string> files = site.numberedFiles("f", 20, std::chrono::milliseconds(50));
    site.page("/", {}, files);
    scan().begin();
    ASSERT_TRUE(spinUntil([&] { return scan().progress().filesDownloaded >= 3; }));
    space.primary = kBelowFloor;
    space.secondary = kBelowFloor;
    ASSERT_TRUE(runToRest()) << "status: " << scan().status();
    const std::string full = "You have run out of drive space on both output drives.  Scan has been suspended.";
    EXPECT_EQ(messages.count(full), 1);
    EXPECT_EQ(scan().status(), "Execution Stopped... Low Disk Space");
    EXPECT_EQ(messages.count("Site Scanned"), 0);
    ASSERT_FALSE(store().pendingTargets().empty()) << "the scan ended before the drives filled up";

    // Resume while still full: told once more, nothing starts.
    scan().resume();
    EXPECT_EQ(messages.count(full), 2);
    EXPECT_EQ(scan().state(), ScanState::Idle);

    space.primary = kPlenty;
    ASSERT_TRUE(scanToRest(false));
    EXPECT_EQ(messages.count(full), 2);
    expectFetchedOnce(files, primary);
    EXPECT_TRUE(temporaryFilesUnder(primary).empty());
}

}  // namespace
}  // namespace gleanery::test
