// The page parser over a real job: the links it finds and how the page is stored.
#include <QDir>

#include "common/files.h"
#include "links/admission_fixture.h"
#include "links/local_link.h"
#include "links/stored_page.h"

namespace gleanery::testing {
namespace {

class PageParserLinks : public AdmissionTest {};

TEST_F(PageParserLinks, FindsEveryKindOfLinkOnARealPage) {
    parse(R"page(<html><head><link rel="stylesheet" hreflang="en" href="/css/site.css">
<script src="/js/menu.js"></script></head><body background=img/bg.gif>
<a href="a.htm">double</a> <A HREF='b.html'>apostrophe</A> <a href=c.php>bare</a>
<a href=d.asp target=_blank>cut</a> <a href=e.htm title="Next page">then quoted</a>
<a
  href = "f.htm#part"
  class="x">over lines</a> <a href="">this folder</a> <a href="#top">top</a> <a href="sub/">sub</a>
<a href="mailto:me@site.example">mail</a> <a href="javascript:show('pop.htm')">js</a>
<a href="/files/g.zip">zip</a> <a href="q.php?x=1&amp;y=2">entities</a> <a href="https://www.site.example/secure/">secure</a>
<img src = "img/h.gif"><img src='img/i.jpg'><img src=img/j.jpg width=3><img srcset="img/k.jpg 2x">
<p>Visit www.site.example/news/ or www.other.example, see (pic.jpg) now.</p></body></html>)page");
    EXPECT_EQ(urls(queue.routes), (Urls{"~/dir/", "~/dir/a.htm", "~/dir/b.html", "~/dir/c.php", "~/dir/d.asp",
                                        "~/dir/e.htm", "~/dir/f.htm", "~/dir/pop.htm", "~/dir/q.php?x=1&y=2",
                                        "~/dir/sub/", "~/news/", "https://www.site.example/secure/"}));
    EXPECT_EQ(urls(queue.targets), (Urls{"~/dir/img/bg.gif", "~/dir/img/h.gif", "~/dir/img/i.jpg", "~/dir/img/j.jpg",
                                         "~/dir/img/k.jpg", "~/dir/pic.jpg", "~/files/g.zip", "~/js/menu.js"}));
    for (const auto& t : queue.targets)
        EXPECT_TRUE(t.referrer == kPage && t.file == primary() + "/" + t.url.substr(7)) << t.url << " " << t.file;
}

TEST_F(PageParserLinks, AnchorFlagFollowsThePassAndBareHostsKeepTheirScheme) {
    settings.tick(Field::chkScanExt.name, false)
        .set(Field::txtFileTypes.name, "ZIP")
        .set(Field::txtFileTypesNon.name, "GIF")
        .select(Field::optBrowse.name, 2);
    parse(
        "<a href=\"a.zip\">a</a> <a href=\"b.gif\">b</a> <img src=\"c.gif\"> <img src=\"d.zip\">"
        " www.site.example/e.zip HTTPS://WWW.MIRROR.ORG/pub/ and ftp.files.net");
    EXPECT_EQ(urls(queue.targets), (Urls{"~/dir/a.zip", "~/dir/c.gif", "~/e.zip"}));
    EXPECT_EQ(urls(queue.routes), (Urls{"http://ftp.files.net", "https://www.mirror.org/pub/"}));
}

TEST_F(PageParserLinks, ExtensionPassesFindWordsAndAnEmptyEntryFindsThemAll) {
    parse("see (pic.jpg) now; big = 'photos/Big.JPEG'; go(\"../up.htm\")\nclip.mpg? <i>movie.avi</i> x.jpg.txt");
    EXPECT_EQ(urls(queue.targets),
              (Urls{"~/dir/clip.mpg?", "~/dir/movie.avi", "~/dir/photos/Big.JPEG", "~/dir/pic.jpg"}));
    EXPECT_EQ(urls(queue.routes), (Urls{"~/up.htm"}));

    queue.clear();
    settings.set(Field::txtPageTypes.name, "HTM  PHP")
        .set(Field::txtFileTypes.name, "ZIP")
        .set(Field::txtFileTypesNon.name, "");
    parse("alpha/ beta/\tgamma/\n(delta/) 'alpha/' x.zip <a href='b.htm>b</a> <img src=\"c.jpg");
    EXPECT_EQ(urls(queue.routes), (Urls{"~/dir/alpha/", "~/dir/b.htm", "~/dir/beta/", "~/dir/delta/", "~/dir/gamma/"}));
    EXPECT_TRUE(queue.targets.empty());  // ZIP is a download for anchor links only
}

TEST_F(PageParserLinks, ALinkFoundByItsExtensionKeepsItsWholeQuery) {
    settings.tick(Field::chkAllowParameters.name);
    parse(
        "<a class=x href = \"../d/page.htm?from=3&to=4\">q</a> <a href=list.htm?p=2>l</a> get.zip?id=7 now"
        " <a href=\"frame.htm?page=content.htm\">f</a>");
    // A link in the query is found too, but no link the page does not hold.
    EXPECT_EQ(urls(queue.routes), (Urls{"~/d/page.htm?from=3&to=4", "~/dir/content.htm",
                                        "~/dir/frame.htm?page=content.htm", "~/dir/list.htm?p=2"}));
    EXPECT_EQ(urls(queue.targets), (Urls{"~/dir/get.zip?id=7"}));
}

TEST_F(PageParserLinks, RequisitesComeFromTagsStyleAttributesAndStyleBlocks) {
    settings.tick(Field::chkPageRequisites.name).select(Field::optBrowse.name, 0);
    parse(R"~(<link rel="Shortcut Icon" href="/favicon.ico"><link rel=stylesheet href="https://cdn.example/s.css">
<link rel="next" href="n.pdf"><script src="app.mjs"></script><img srcset="a.webp 1x, b.webp 2x">
<picture><source srcset="c.avif"></picture><video poster="p.png"><input type="image" src="go.svg">
<p style="background:url('bg.png')"><style>@import url(print.css); @import "x.css";</style>
<script>var s = "<img src='not.png'>";</script>)~");
    EXPECT_EQ(urls(queue.targets),
              (Urls{"~/dir/a.webp", "~/dir/app.mjs", "~/dir/b.webp", "~/dir/bg.png", "~/dir/c.avif", "~/dir/go.svg",
                    "~/dir/p.png", "~/dir/print.css", "~/dir/x.css", "~/favicon.ico", "https://cdn.example/s.css"}));
}

class PageParserStore : public AdmissionTest {
protected:
    std::string folder() const { return primary() + "/www.site.example/dir"; }
    static QStringList entries(const std::string& folder) {
        return QDir(QString::fromStdString(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

TEST_F(PageParserStore, StoresByteForByteReplacingTheOldCopyOnlyWhenTicked) {
    const char raw[] = "<a href=\"a.htm\">\xE9t\xC3\xA9</a>\r\n\0\x01tail";
    const std::string page(raw, sizeof raw - 1);
    parse(page);
    EXPECT_EQ(test::readFile(folder() + "/index.html"), "<missing>");
    settings.tick("chkStorePages");
    parse("an older and longer copy of the page");
    parse(page);
    EXPECT_EQ(test::readFile(folder() + "/index.html"), page);
    EXPECT_EQ(entries(folder()), QStringList{"index.html"});
    EXPECT_EQ(urls(queue.routes), (Urls{"~/dir/a.htm"}));
    // A folder in the way: the page is not stored and nothing is left behind.
    QDir().mkpath(QString::fromStdString(folder() + "/b.htm/x"));
    EXPECT_FALSE(ReplaceFile(folder() + "/b.htm", "page"));
    EXPECT_EQ(entries(folder()), (QStringList{"b.htm", "index.html"}));
}

// The stored copy is the rewritten text; links come from the original, resolved
// against the final address.
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
        EXPECT_EQ(test::readFile(site + "/old.html"),
                  R"(<a href="new/x.html">x</a> <a href=")" + rootRelative +
                      R"(">x</a> <a href="http://www.site.example/new/y.pdf">y</a>)");
    }
}

}  // namespace
}  // namespace gleanery::testing
