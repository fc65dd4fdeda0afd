// Refreshing a mirror against the test server: only what changed is sent
// again, everything else is answered 304 and left as it is.
#include <mutex>
#include <set>

#include "archive/warc_reader.h"
#include "common/live_scan.h"
#include "support/text.h"
#include "support/file_time.h"

namespace gleanery::test {
namespace {

constexpr std::int64_t kFirstTime = 1672653600;   // Mon, 02 Jan 2023 10:00:00 GMT
constexpr std::int64_t kSecondTime = 1672740000;  // Tue, 03 Jan 2023 10:00:00 GMT

class ScanRefresh : public LiveScan {
protected:
    // A resource with an ETag and a Last-Modified per version, answering 304
    // to a request that names its ETag, as static file servers do.
    void versioned(const std::string& path, const std::string& body, int version) {
        const std::string type = path.ends_with(".gif") ? "image/gif" : "text/html";
        server.handle(path, [=, this](const httplib::Request& request, httplib::Response& response) {
            const std::string etag = "\"v" + std::to_string(version) + "\"";
            response.set_header("ETag", etag);
            response.set_header("Last-Modified",
                                version == 1 ? "Mon, 02 Jan 2023 10:00:00 GMT" : "Tue, 03 Jan 2023 10:00:00 GMT");
            if (request.get_header_value("If-None-Match") == etag) {
                response.status = 304;
                return;
            }
            std::lock_guard lock(mutex);
            sentWhole.insert(path);
            response.set_content(body, type);
        });
    }
    std::set<std::string> sent() {
        std::lock_guard lock(mutex);
        return std::exchange(sentWhole, {});
    }

    std::mutex mutex;
    std::set<std::string> sentWhole;
};

TEST_F(ScanRefresh, OnlyWhatChangedIsFetchedAgainAndStoredWithTheServersTime) {
    versioned("/", "<a href=\"a.html\">a</a> <a href=\"b.html\">b</a> <img src=\"x.gif\"> <img src=\"y.gif\">", 1);
    versioned("/a.html", "<p>a</p>", 1);
    versioned("/b.html", "<p>b</p>", 1);
    versioned("/x.gif", "GIF89a x", 1);
    versioned("/y.gif", "GIF89a y", 1);
    ASSERT_TRUE(scanToRest());
    EXPECT_EQ(sent(), (std::set<std::string>{"/", "/a.html", "/b.html", "/x.gif", "/y.gif"}));
    EXPECT_EQ(ModifiedTime(siteFile("/x.gif")), kFirstTime);

    versioned("/b.html", "<p>b, again</p> <a href=\"c.html\">c</a>", 2);
    versioned("/c.html", "<p>c</p>", 1);
    versioned("/y.gif", "GIF89a y, again", 2);
    settings().setChecked(Field::chkRefresh, true);
    ASSERT_TRUE(scanToRest(true, 2));
    EXPECT_EQ(sent(), (std::set<std::string>{"/b.html", "/c.html", "/y.gif"}));
    for (const char* path : {"/", "/a.html", "/x.gif"}) EXPECT_EQ(server.hits(path), 2) << path;
    EXPECT_EQ(readFile(siteFile("/y.gif")), "GIF89a y, again");
    EXPECT_EQ(ModifiedTime(siteFile("/y.gif")), kSecondTime);
    EXPECT_NE(readFile(siteFile("/b.html")).find("b, again"), std::string::npos);
    EXPECT_EQ(readFile(siteFile("/a.html")), "<p>a</p>");
    EXPECT_EQ(scan().progress().unchanged, 3);
    EXPECT_EQ(scan().progress().changed, 2);
    EXPECT_EQ(scan().progress().added, 1);
}

// The job's archive, read back: every transfer's response with the digest of
// the bytes served, a redirect as its own response, and for each answer 304
// of the refresh a revisit that points at the payload archived before.
TEST_F(ScanRefresh, TheArchiveHoldsEveryResponseAndRevisitsWhatDidNotChange) {
    versioned("/", "<a href=\"a.html\">a</a> <a href=\"r.html\">r</a> <img src=\"x.gif\">", 1);
    versioned("/a.html", "<p>a</p>", 1);
    versioned("/x.gif", "GIF89a x", 1);
    server.redirect("/r.html", "/a.html", 301);
    settings().setChecked(Field::chkWarc, true);
    settings().setText(Field::txtName, "user");
    settings().setText(Field::txtPassword, "secret");
    ASSERT_TRUE(scanToRest());
    versioned("/x.gif", "GIF89a x, again", 2);
    settings().setChecked(Field::chkRefresh, true);
    ASSERT_TRUE(scanToRest(true, 2));

    // Per run: each target's record type, HTTP status and payload digest.
    using Archived = std::map<std::string, std::tuple<std::string, int, std::string>>;
    Archived runs[2];
    for (int run : {0, 1}) {
        const WarcFileScan scan = scanWarcFile(inDir("job-0000" + std::to_string(run) + ".warc.gz"));
        EXPECT_TRUE(scan.whole());
        EXPECT_TRUE(QFile::exists(QString::fromStdString(inDir("job-0000" + std::to_string(run) + ".warc.gz.cdxj"))));
        for (const WarcEntry& r : scan.records) {
            EXPECT_EQ(r.httpHead.find("secret"), std::string::npos);
            EXPECT_EQ(r.httpHead.find("Authorization"), std::string::npos);
            if (r.field("WARC-Type") == "request" || r.field("WARC-Type") == "warcinfo") continue;
            runs[run][pathOf(r.field("WARC-Target-URI"))] = {
                r.field("WARC-Type"), int(numericValue(r.httpHead.substr(9, 3))), r.field("WARC-Payload-Digest")};
        }
    }
    // Pages come compressed, and the archive keeps them so: only a file's
    // digest is that of the plain bytes.
    EXPECT_EQ(std::get<1>(runs[0]["/a.html"]), 200);
    EXPECT_EQ(runs[0]["/x.gif"], std::make_tuple("response", 200, warcDigestOf("GIF89a x")));
    EXPECT_EQ(std::get<1>(runs[0]["/r.html"]), 301);
    EXPECT_EQ(std::get<1>(runs[0]["/robots.txt"]), 404);
    for (const char* page : {"/", "/a.html"})
        EXPECT_EQ(runs[1][page], std::make_tuple("revisit", 304, std::get<2>(runs[0][page]))) << page;
    EXPECT_EQ(runs[1]["/x.gif"], std::make_tuple("response", 200, warcDigestOf("GIF89a x, again")));
}

}  // namespace
}  // namespace gleanery::test
