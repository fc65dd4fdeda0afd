// A server that fails in every way a site can fail does not stop a scan:
// each page and file is closed with its own result, the scan ends, and a
// failed download leaves no file behind.
#include "engine/fetch_result_codes.h"
#include "engine/live_scan_fixture.h"

namespace gleanery::test {
namespace {

using ScanMisbehavingServer = LiveScan;

TEST_F(ScanMisbehavingServer, EveryFailureIsRecordedAndTheScanEnds) {
    const auto stall = std::chrono::seconds(10);
    server.status("/e/broken.gif", 500);
    server.resetConnection("/e/reset.gif");
    server.stall("/e/stall.gif", stall);
    server.redirect("/e/loop.gif", "/e/loop.gif");
    server.status("/e/broken.html", 500);
    server.resetConnection("/e/reset.html");
    server.stall("/e/stall.html", stall);
    server.redirect("/e/loop.html", "/e/loop.html");
    server.largeBody("/big.html", 200'000);
    site.file("/ok.gif");
    site.page("/fine.html", {"fine.gif"});
    site.file("/fine.gif");
    site.page("/",
              {"fine.html", "e/missing.gif", "e/broken.gif", "e/reset.gif", "e/stall.gif", "e/loop.gif",
               "e/missing.html", "e/broken.html", "e/reset.html", "e/stall.html", "e/loop.html", "big.html", "ok.gif"});
    // Long enough that a busy machine does not turn a slow answer into a timeout.
    for (int slot = 1; slot <= kConnectionCount; ++slot) fetch(slot).setIdleTimeout(std::chrono::seconds(1));
    fetch(1).setMaxPageBytes(10'000);

    scan().begin();
    ASSERT_TRUE(runToRest()) << "the scan did not end; status: " << scan().status();
    EXPECT_EQ(messages.count("Site Scanned"), 1);

    EXPECT_EQ(routes(), (std::map<std::string, int>{{"/", 200},
                                                    {"/fine.html", 200},
                                                    {"/e/missing.html", 404},
                                                    {"/e/broken.html", 500},
                                                    {"/e/reset.html", kFetchNetworkError},
                                                    {"/e/stall.html", kFetchTimeout},
                                                    {"/e/loop.html", kFetchTooManyRedirects},
                                                    {"/big.html", kFetchBodyTooLarge}}));
    const std::map<std::string, int> failed{{"/e/missing.gif", 404},
                                            {"/e/broken.gif", 500},
                                            {"/e/reset.gif", kFetchNetworkError},
                                            {"/e/stall.gif", kFetchTimeout},
                                            {"/e/loop.gif", kFetchTooManyRedirects}};
    std::map<std::string, int> expected = failed;
    expected.insert({{"/ok.gif", 200}, {"/fine.gif", 200}});
    EXPECT_EQ(targets(), expected);

    expectAllDownloadedOnce(site.files());
    for (const auto& [path, code] : failed)
        EXPECT_FALSE(QFile::exists(QString::fromStdString(siteFile(path)))) << path << " failed with " << code;
    // A page that did not arrive whole is not stored: a passing failure must
    // never replace a good copy from an earlier scan with an error or nothing.
    for (const char* page :
         {"/e/missing.html", "/e/broken.html", "/e/reset.html", "/e/stall.html", "/e/loop.html", "/big.html"})
        EXPECT_FALSE(QFile::exists(QString::fromStdString(siteFile(page)))) << page;
    EXPECT_TRUE(QFile::exists(QString::fromStdString(siteFile("/fine.html"))));
    EXPECT_TRUE(temporaryFilesUnder(out()).empty());
}

TEST_F(ScanMisbehavingServer, LinksOfAMovedPageFollowItsNewAddress) {
    server.page("/", R"(<a href="old.html">old</a>)");
    server.redirect("/old.html", "/new/page.html", 301);
    server.page("/new/page.html", R"(<a href="x.html">x</a>)");
    server.page("/new/x.html", "<html>x</html>");
    scan().begin();
    ASSERT_TRUE(runToRest());
    EXPECT_EQ(server.hits("/new/x.html"), 1);
    EXPECT_EQ(routes().count("/x.html"), 0u);
    EXPECT_EQ(routes().at("/old.html"), 200);  // the route keeps its own address
}

}  // namespace
}  // namespace gleanery::test
