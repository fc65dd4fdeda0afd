#include <QDir>
#include <QFile>

#include "links/admission_fixture.h"

namespace gleanery::testing {
namespace {

class LinkAdmissionRules : public AdmissionTest {};

TEST_F(LinkAdmissionRules, ScopeAndRequiredPrefix) {
    const auto validUnder = [&](int option, std::string_view url) {
        settings.select(Field::optBrowse.name, option);
        return LinkAdmission(settings, drives, queue).ValidLink(url);
    };
    const struct {
        const char* url;
        bool sameServer, sameDomain;
    } cases[] = {{"https://jo:pw@www.site.example/a", true, true},
                 {"HTTP://WWW.Site.Example/A", true, true},
                 {"http://shop.site.example/a/", false, true},
                 {"http://site.example/", false, true},
                 {"http://www.site.example.evil.test/", false, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(validUnder(0, c.url), c.sameServer) << c.url;
        EXPECT_EQ(validUnder(1, c.url), c.sameDomain) << c.url;
        EXPECT_TRUE(validUnder(2, c.url)) << c.url;
    }
    settings.set(Field::txtRequired.name, "HTTP://WWW.Site.Example/Docs");
    EXPECT_TRUE(validUnder(1, "https://www.site.example/DOCS/b.htm"));
    EXPECT_FALSE(validUnder(2, "http://www.site.example/other/docs/"));
    EXPECT_FALSE(validUnder(2, "http://www.site.example/doc"));
}

TEST_F(LinkAdmissionRules, DepthCountsTheSlashesOfTheAbsoluteUrl) {
    settings.choose(Field::cboMaxDepth.name, 0, "0");
    for (const char* link : {"http://www.site.example", "https://www.site.example", "/", "/a.htm"}) admit(link);
    EXPECT_EQ(urls(queue.routes), (Urls{"http://www.site.example", "https://www.site.example"}));
    queue.clear();
    settings.choose(Field::cboMaxDepth.name, 1, "1");
    for (const char* link : {"/", "/a.htm", "/d/", "/d/a.htm", "/a.php?p=x/y"}) admit(link);
    EXPECT_EQ(urls(queue.routes), (Urls{"~/", "~/a.htm"}));
}

TEST_F(LinkAdmissionRules, ExtensionListsChooseTargetRouteOrNothing) {
    settings.set(Field::txtFileTypes.name, "ZIP htm")
        .set(Field::txtFileTypesNon.name, "GIF *")
        .set(Field::txtPageTypes.name, "HTM PHP");
    for (const char* link : {"a.zip", "b.htm", "c.gif", "e.php?id=3", "f/", "g.zi"}) admit(link);
    admit("i.txt", LinkRole::Other);  // "*": every non-anchor link is a download
    EXPECT_EQ(urls(queue.targets), (Urls{"~/dir/a.zip", "~/dir/b.htm", "~/dir/i.txt"}));
    EXPECT_EQ(urls(queue.routes), (Urls{"~/dir/e.php?id=3", "~/dir/f/"}));
    EXPECT_EQ(queue.routes[0].referrer + " " + std::to_string(queue.routes[0].priority), std::string(kPage) + " 7");
    EXPECT_EQ(queue.targets[0].file, primary() + "/www.site.example/dir/a.zip");
}

TEST_F(LinkAdmissionRules, LinksNamingNoPageOfTheSiteAddNothingAndFragmentsAreCut) {
    for (const std::string& link : std::initializer_list<std::string>{
             "#top", "mailto:me@site.example", "x.htm?to=mailto:me", "MAILTO:me@site.example",
             "ftp://www.site.example/f.zip", "data:image/gif,R0.gif", "news:comp.lang.htm",
             std::string(8200, 'u') + ".htm"})
        admit(link);
    EXPECT_TRUE(queue.routes.empty() && queue.targets.empty());
    for (const char* link : {"a.htm#part", "a.htm#other", "sub/#x", "HTTPS://www.site.example/s/#y"}) admit(link);
    admit("b.htm#x", LinkRole::Anchor, "https://www.site.example/dir/");
    EXPECT_EQ(urls(queue.routes),
              (Urls{"~/dir/a.htm", "~/dir/sub/", "https://www.site.example/dir/b.htm", "https://www.site.example/s/"}));
}

TEST_F(LinkAdmissionRules, PresentFilesBlockedDomainsAndImmediateDownloads) {
    QDir().mkpath(QString::fromStdString(secondary() + "/www.site.example/dir"));
    QFile(QString::fromStdString(secondary() + "/www.site.example/dir/old.jpg")).open(QIODevice::WriteOnly);
    space.free = 1'000;  // both folders below their floors: new files go to the secondary
    admit("quiet.jpg");
    settings.tick(Field::chkImmediate.name);
    for (const char* link : {"old.jpg", "new.jpg", "new.jpg#again", "page.htm"}) admit(link);
    EXPECT_EQ(queue.executed, (std::vector<std::int64_t>{0, 2, 0}));
    EXPECT_EQ(queue.targets[1].file, secondary() + "/www.site.example/dir/new.jpg");

    queue.clear();
    queue.blocked.insert("site.example");
    settings.select(Field::optBrowse.name, 2);
    for (const char* link : {"a.jpg", "b.htm", "http://www.other.example/c.htm"}) admit(link);
    EXPECT_TRUE(queue.targets.empty() && queue.executed.empty());
    EXPECT_EQ(urls(queue.routes), (Urls{"http://www.other.example/c.htm"}));
}

// What a page needs to display is downloaded from any host, at any depth,
// whatever its extension; a form's address is never followed.
TEST_F(LinkAdmissionRules, RequisitesComeFromAnywhereAndFormsFromNowhere) {
    settings.choose(Field::cboMaxDepth.name, 0, "0").select(Field::optBrowse.name, 0);
    for (const char* link :
         {"/css/deep/site.css", "https://cdn.example/f/font.woff2?v=2", "data:image/png,x", "logo.svg#icon"})
        admit(link, LinkRole::Requisite);
    admit("/cgi/go.cgi", LinkRole::Form);
    queue.blocked.insert("cdn.example");
    admit("https://cdn.example/a.css", LinkRole::Requisite);
    EXPECT_EQ(urls(queue.targets),
              (Urls{"~/css/deep/site.css", "~/dir/logo.svg", "https://cdn.example/f/font.woff2?v=2"}));
    EXPECT_TRUE(queue.routes.empty());
}

TEST_F(LinkAdmissionRules, BlockButtonAsksAndBlocksOnYes) {
    blockCurrentDomain(queue, messages);  // no page scanned yet: nothing to block
    queue.domain = "site.example";
    messages.answers = {false};
    for (int click = 0; click < 3; ++click) blockCurrentDomain(queue, messages);
    EXPECT_EQ(queue.blocked, (std::set<std::string>{"site.example"}));
    EXPECT_EQ(messages.shown.size(), 2u);  // no question once blocked
}

}  // namespace
}  // namespace gleanery::testing
