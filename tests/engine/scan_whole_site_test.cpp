// A whole scan of a small site over real connections: every page and file
// in scope is fetched once and mirrored byte for byte, failures are recorded,
// nothing out of scope is touched, and the stored pages browse from disk.
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <set>

#include "engine/live_scan_fixture.h"

namespace gleanery::test {
namespace {

using ScanWholeSite = LiveScan;

// The local file a link of a stored page names, or "" for a link that leaves the mirror.
std::string linkedFile(const std::string& pageFile, const std::string& link) {
    const QString value = QString::fromStdString(link);
    if (value.startsWith("file://")) return QDir::cleanPath(QUrl(value).toLocalFile()).toStdString();
    if (value.contains("://")) return {};  // left pointing at the site
    const QString path = QFileInfo(QString::fromStdString(pageFile)).dir().filePath(QUrl::fromPercentEncoding(value.toUtf8()));
    return QDir::cleanPath(path).toStdString();
}

TEST_F(ScanWholeSite, MirrorsEveryPageAndFileInScopeAndRecordsEachResult) {
    TestServer elsewhere;
    const std::string away = "http://localhost:" + std::to_string(elsewhere.port());
    site.page("/", {"docs/a.html", "pics/b.html", "files/pack.zip", away + "/away.html", "img/missing.gif"},
              {"pics/one.gif", away + "/away.gif"});
    site.page("/docs/a.html", {"../pics/b.html", "/"}, {"../pics/two.jpg"});
    site.page("/pics/b.html", {"../docs/a.html", "two.jpg"}, {"one.gif"});
    for (const char* f : {"/pics/one.gif", "/pics/two.jpg", "/files/pack.zip"}) site.file(f);

    robot().cmdBegin_Click();
    ASSERT_TRUE(runToRest()) << "the scan did not end; status: " << robot().status();
    EXPECT_EQ(messages.count("Site Scanned"), 1);
    EXPECT_EQ(robot().status(), "Execution Stopped");

    EXPECT_EQ(routes(), (std::map<std::string, int>{{"/", 200}, {"/docs/a.html", 200}, {"/pics/b.html", 200}}));
    EXPECT_EQ(targets(), (std::map<std::string, int>{
                             {"/files/pack.zip", 200}, {"/img/missing.gif", 404}, {"/pics/one.gif", 200}, {"/pics/two.jpg", 200}}));
    expectAllDownloadedOnce(site.files());
    for (const char* page : {"/", "/docs/a.html", "/pics/b.html"}) EXPECT_EQ(server.hits(page), 1) << page;
    EXPECT_EQ(elsewhere.hits("/away.html") + elsewhere.hits("/away.gif"), 0);

    const std::string host = "127.0.0.1:" + std::to_string(server.port());
    EXPECT_EQ(filesUnder(out()), (std::vector<std::string>{host + "/docs/a.html", host + "/files/pack.zip",
                                                           host + "/index.html", host + "/pics/b.html",
                                                           host + "/pics/one.gif", host + "/pics/two.jpg"}));

    // Every link of the stored pages names a copy in the mirror, also those
    // to the other host; of the site's copies only the missing picture's is absent.
    static const QRegularExpression kLink(R"re((?:href|src)=(["']?)([^"'\s>]+)\1)re",
                                          QRegularExpression::CaseInsensitiveOption);
    std::set<std::string> named;
    for (const char* page : {"/index.html", "/docs/a.html", "/pics/b.html"}) {
        const std::string stored = readFile(siteFile(page));
        for (auto m = kLink.globalMatch(QString::fromStdString(stored)); m.hasNext();) {
            const std::string link = m.next().captured(2).toStdString();
            const std::string file = linkedFile(siteFile(page), link);
            named.insert(file.empty() ? link : file);
            if (file.rfind(siteFile("/"), 0) == 0 && file != siteFile("/img/missing.gif")) {
                EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(file))) << page << ": " << link;
            }
        }
    }
    std::set<std::string> expected{out() + "/localhost:" + std::to_string(elsewhere.port()) + "/away.html",
                                   out() + "/localhost:" + std::to_string(elsewhere.port()) + "/away.gif"};
    for (const char* p : {"/index.html", "/docs/a.html", "/pics/b.html", "/pics/one.gif", "/pics/two.jpg",
                          "/files/pack.zip", "/img/missing.gif"})
        expected.insert(siteFile(p));
    EXPECT_EQ(named, expected);
}

}  // namespace
}  // namespace gleanery::test
