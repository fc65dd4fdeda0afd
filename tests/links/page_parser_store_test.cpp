#include <QDir>
#include <QFile>

#include "links/admission_fixture.h"
#include "links/link_rewriting.h"
#include "links/local_link.h"
#include "links/stored_page.h"

namespace gleanery::testing {
namespace {

class PageParserStore : public AdmissionTest {
protected:
    std::string folder() const { return primary() + "/www.site.example/dir"; }
    static std::string contents(const std::string& path) {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
    }
    static QStringList entries(const std::string& folder) {
        return QDir(QString::fromStdString(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

TEST_F(PageParserStore, StoresByteForByteReplacingTheOldCopyOnlyWhenTicked) {
    const char raw[] = "<a href=\"a.htm\">\xE9t\xC3\xA9</a>\r\n\0\x01tail";
    const std::string page(raw, sizeof raw - 1);
    parse(page);
    EXPECT_EQ(contents(folder() + "/index.html"), "<missing>");
    settings.tick("chkStorePages");
    parse("an older and longer copy of the page");
    parse(page);
    EXPECT_EQ(contents(folder() + "/index.html"), page);
    EXPECT_EQ(entries(folder()), QStringList{"index.html"});
    EXPECT_EQ(urls(queue.routes), (Urls{"http://www.site.example/dir/a.htm"}));
    // A folder in the way: the page is not stored and nothing is left behind.
    QDir().mkpath(QString::fromStdString(folder() + "/b.htm/x"));
    EXPECT_FALSE(ReplaceFile(folder() + "/b.htm", "page"));
    EXPECT_EQ(entries(folder()), (QStringList{"b.htm", "index.html"}));
}

TEST_F(PageParserStore, TranslatedCopyIsTheRewrittenTextButLinksComeFromTheOriginal) {
    settings.tick("chkStorePages").tick("chkTranslate");
    const std::string page = "<a href=\"http://www.site.example/x/b.htm\">b</a>";
    parse(page);
    const std::string stored = contents(folder() + "/index.html");
    EXPECT_EQ(stored, ConvertLocal(kPage, page, settings, drives, queue));
    EXPECT_NE(stored, page);
    EXPECT_EQ(urls(queue.routes), (Urls{"http://www.site.example/x/b.htm"}));
}

TEST_F(PageParserStore, ARedirectedPageIsStoredAtItsRequestAndItsLinksFollowTheFinalAddress) {
    settings.tick("chkStorePages").tick("chkTranslate");
    const std::string site = primary() + "/www.site.example";
    const std::string page = R"(<a href="x.html">x</a> <a href="/new/x.html">x</a> <a href="y.pdf">y</a>)";
    for (const bool relative : {false, true}) {
        SCOPED_TRACE(relative);
        settings.tick("chkRelative", relative);
        queue.clear();
        ParseResults("http://www.site.example/old.html", page, settings, drives, queue, true,
                     "http://www.site.example/new/page.html");
        ASSERT_EQ(queue.routes.size(), 1u);
        EXPECT_EQ(queue.routes[0].url, "http://www.site.example/new/x.html");
        EXPECT_EQ(queue.routes[0].referrer, "http://www.site.example/new/page.html");
        const std::string rootRelative = relative ? "new/x.html" : FileURL(site + "/new/x.html");
        EXPECT_EQ(contents(site + "/old.html"), R"(<a href="new/x.html">x</a> <a href=")" + rootRelative +
                                                    R"(">x</a> <a href="http://www.site.example/new/y.pdf">y</a>)");
    }
}

}  // namespace
}  // namespace gleanery::testing
