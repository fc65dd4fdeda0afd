// Pages and servers written to hurt a grabber: huge link lists, megabyte
// URLs, NUL bytes, "../" chains, redirects that never end and a server that
// trickles. The scan ends, stays small in memory and writes nothing outside
// its output folder.
#include "engine/fetch_result_codes.h"
#include "engine/live_scan_fixture.h"

#include <QDirIterator>
#include <QElapsedTimer>

#include <atomic>
#include <fstream>

namespace gleanery::test {
namespace {

// Peak resident memory of this process so far, in MB (0 when unknown).
long peakResidentMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6)) / 1024;
    return 0;
}

using ScanHostileSite = LiveScan;

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
    for (int slot = 1; slot <= kConnectionCount; ++slot) fetch(slot).setIdleTimeout(std::chrono::seconds(1));

    QElapsedTimer elapsed;
    elapsed.start();
    scan().begin();
    ASSERT_TRUE(runToRest(std::chrono::seconds(60))) << "the scan did not end; status: " << scan().status();
    EXPECT_EQ(messages.count("Site Scanned"), 1);
    EXPECT_LT(elapsed.elapsed(), 30'000);

    const std::map<std::string, int> pages = routes();
    EXPECT_EQ(pages.at("/crowd.html"), 200);
    EXPECT_EQ(pages.at("/plain.html"), 200);
    EXPECT_EQ(pages.at("/nasty.html"), 200);
    EXPECT_EQ(pages.at("/endless.html"), kFetchTooManyRedirects);
    EXPECT_LE(hops.load(), kMaxRedirects + 1);
    EXPECT_EQ(server.hits("/plain.html"), 1);
    for (const auto& [path, result] : pages) {
        EXPECT_EQ(path.find("elsewhere.invalid"), std::string::npos) << "an off-site link became a route";
        EXPECT_NE(result, kOpen) << path.substr(0, 80);
    }
    EXPECT_EQ(targets().at("/trickle.gif"), kFetchTimeout);

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
    EXPECT_TRUE(temporaryFilesUnder(out()).empty());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(siteFile("/trickle.gif"))));
    // The pages above add a few megabytes; a leak per link would add far more.
    EXPECT_LT(peakResidentMb(), 400);
}

}  // namespace
}  // namespace gleanery::test
