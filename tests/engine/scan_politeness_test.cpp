// Whole scans against the test server that show what a site's owner sees:
// robots.txt obeyed, requests spaced out, cookies kept across runs.
#include <sys/stat.h>

#include "common/live_scan.h"

namespace gleanery::test {
namespace {

class ScanPolitely : public LiveScan {};

TEST_F(ScanPolitely, RobotsTxtOfTheProgramsOwnNameKeepsItOutOfAFolder) {
    settings().setText(Field::txtUserAgent, "Picker/2.0 (+https://example.org)");
    server.page("/robots.txt",
                "User-agent: *\nDisallow: /\n\nUser-agent: picker\nDisallow: /private/\nAllow: /private/open\n",
                "text/plain");
    site.page("/", {"private/page.html", "private/open.html", "pub.html"}, {"private/a.gif", "b.gif"});
    site.page("/private/open.html", {});
    site.page("/pub.html", {});
    site.file("/b.gif");
    ASSERT_TRUE(scanToRest());
    EXPECT_EQ(server.hits("/robots.txt"), 1);
    EXPECT_EQ(server.hits("/private/page.html"), 0);
    EXPECT_EQ(server.hits("/private/a.gif"), 0);
    EXPECT_EQ(routes(),
              (Results{{"/", 200}, {"/private/page.html", 0}, {"/private/open.html", 200}, {"/pub.html", 200}}));
    EXPECT_EQ(targets(), (Results{{"/private/a.gif", 0}, {"/b.gif", 200}}));
    EXPECT_EQ(server.lastRequestHeader("/pub.html", "User-Agent"), "Picker/2.0 (+https://example.org)");
}

TEST_F(ScanPolitely, AServerThatFailsItsRobotsTxtIsLeftAloneForTheRun) {
    server.status("/robots.txt", 503);
    site.page("/", {"a.html"});
    ASSERT_TRUE(scanToRest());
    EXPECT_EQ(server.hits("/"), 0);
    EXPECT_EQ(routes(), (Results{{"/", 503}}));
    EXPECT_EQ(messages.count("The robots.txt at " + server.url("/robots.txt") +
                             " could not be read (result 503): nothing more of that server is fetched in this run."),
              1);
}

TEST_F(ScanPolitely, RequestsToOneHostStartTheWaitApart) {
    settings().setChecked(Field::chkParallelPages, true);
    settings().setText(Field::txtWaitMs, "200");
    site.page("/", {"1.html", "2.html", "3.html", "4.html"}, {"a.gif", "b.gif"});
    for (const char* p : {"/1.html", "/2.html", "/3.html", "/4.html"}) site.page(p, {});
    site.file("/a.gif");
    site.file("/b.gif");
    ASSERT_TRUE(scanToRest());
    const auto arrivals = server.arrivals();
    ASSERT_EQ(arrivals.size(), 8u);  // robots.txt, 5 pages, 2 files
    for (std::size_t i = 1; i < arrivals.size(); ++i) {
        SCOPED_TRACE(i);
        // A request leaves when its wait is over and arrives a moment later.
        EXPECT_GE(arrivals[i] - arrivals[i - 1], std::chrono::milliseconds(190));
    }
}

TEST_F(ScanPolitely, TheRateLimitHoldsTheWholeScanToIt) {
    settings().setText(Field::txtRateLimitK, "20");
    settings().setListIndex(Field::cboConnections, 0);  // 2: one for pages, one for files
    std::vector<std::string> files;
    for (const char* name : {"a", "b", "c", "d", "e", "f"}) {
        files.push_back(std::string(name) + ".gif");
        server.stall("/" + files.back(), {}, std::string(5 * 1024, 'x'), "image/gif");
    }
    site.page("/", {}, files);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(scanToRest());
    // 30 KiB at 20 KiB/s: the last file may start once 25 KiB are 1.25 s old.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1200));
    EXPECT_EQ(scan().progress().filesDownloaded, 6);
}

TEST_F(ScanPolitely, ACookieOfOneRunOpensPagesInTheNext) {
    server.handle("/", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Set-Cookie", "session=abc; Path=/; Max-Age=3600");
        response.set_content("<a href=\"member.html\">in</a>", "text/html");
    });
    server.handle("/member.html", [](const httplib::Request& request, httplib::Response& response) {
        const bool in = request.get_header_value("Cookie").find("session=abc") != std::string::npos;
        response.status = in ? 200 : 403;
        response.set_content(in ? "members" : "log in first", "text/html");
    });
    ASSERT_TRUE(scanToRest());
    EXPECT_EQ(routes(), (Results{{"/", 200}, {"/member.html", 200}}));
    struct stat jar {};
    ASSERT_EQ(::stat(inDir("job.cookies").c_str(), &jar), 0);
    EXPECT_EQ(jar.st_mode & 0777, 0600u);

    // A new run, as after the program has been closed: the start page no
    // longer hands out the cookie, the jar file still holds it.
    server.page("/", "<a href=\"member.html\">in</a>");
    session = std::make_unique<JobSession>(
        messages, clock, [](int) { return makeNetworkFetch(); }, kConnectionCount);
    session->open(inDir("job.glf"));
    showScanNotices(scan(), messages, Qt::DirectConnection);
    ASSERT_TRUE(scanToRest(true, 2));
    EXPECT_EQ(routes(), (Results{{"/", 200}, {"/member.html", 200}}));
}

}  // namespace
}  // namespace gleanery::test
