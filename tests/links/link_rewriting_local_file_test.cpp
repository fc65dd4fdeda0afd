#include <QByteArray>
#include <QTemporaryDir>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "link_rewriting_fixture.h"
#include "links/local_link.h"
#include "links/local_path.h"
#include "links/url_utils.h"
#include "support/text.h"

namespace gleanery {
namespace {

// A URL without its fragment, decoded as a browser decodes it.
std::string decoded(const std::string& url) {
    return QByteArray::fromPercentEncoding(QByteArray::fromStdString(url.substr(0, url.find('#')))).toStdString();
}

TEST_F(LinkRewriting, ConvertsEachKindOfLink) {
    const char* const cases[][2] = {
        {"MailTo:jo@dom.example?s=a", "MailTo:jo@dom.example?s=a"},
        {"http://srv.dom.example/a/b.htm", "file:///mirror/one/srv.dom.example/a/b.htm"},
        // The fragment follows the local file and takes no part in finding it.
        {"/b.htm#top", "file:///mirror/one/srv.dom.example/b.htm#top"},
        {"/#x/../y.htm", "file:///mirror/one/srv.dom.example/index.html#x/../y.htm"},
        // Folder URLs name the file the mirror keeps for them.
        {"http://srv.dom.example/dir/", "file:///mirror/one/srv.dom.example/dir/index.html"},
    };
    expectEach(cases, [&](const std::string& link) { return file(link); });
}

// Whatever chkRelative says: the path from the page's file to the link's.
TEST_F(LinkRewriting, ConvertsRelativeLinksToThePathOfTheirFile) {
    const char* const cases[][2] = {
        {"sub/p.htm", "sub/p.htm"},
        {"../img/a.gif#t", "../img/a.gif#t"},
        {"./x.htm", "x.htm"},
        {"%7Ejo/a%3Ab.htm", "~jo/a%3Ab.htm"},
        {"page.htm?q#a?b", "page.htm#a?b"},
        // What the robot never follows stays as written.
        {"#top", "#top"},
        {"data:image/gif;base64,R0lG", "data:image/gif;base64,R0lG"},
        {"JavaScript:go('a.htm?x')", "JavaScript:go('a.htm?x')"},
    };
    for (const bool relative : {false, true}) {
        settings.tick("chkRelative", relative);
        expectEach(cases, [&](const std::string& link) { return file(link); });
    }
}

TEST_F(LinkRewriting, GivesRelativeFormsWithRelativePath) {
    settings.tick("chkRelative");
    const char* const cases[][2] = {
        {"/img/a.gif", "../img/a.gif"},
        {"http://other.example/x/y.htm#t", "../../other.example/x/y.htm#t"},
        {"http://srv.dom.example:8080/", "../../srv.dom.example%3A8080/index.html"},
    };
    expectEach(cases, [&](const std::string& link) { return file(link); });
    // From the file the page itself is stored in: a folder's, or one without its query.
    EXPECT_EQ(file("/a.htm", "http://srv.dom.example/dir/"), "../a.htm");
    EXPECT_EQ(file("/a.htm", "http://srv.dom.example/dir/p.asp?id=1/2"), "../a.htm");
}

TEST_F(LinkRewriting, FileUrlsDecodeToTheLocalPath) {
    const std::string folder = "/m/a b#c%d?e'\"<>()=&;\x01\xFF\xC3\xBC";
    EXPECT_EQ(FileURL(folder + "/x.htm"),
              "file:///m/a%20b%23c%25d%3Fe%27%22%3C%3E%28%29%3D%26%3B%01%FF%C3%BC/x.htm");
    setFolders(folder, "/two");
    EXPECT_EQ(decoded(file("/x.htm")), "file://" + folder + "/srv.dom.example/x.htm");
    const std::string utf8 = "/m/Grüße & 100% #1?/x.htm";
    EXPECT_EQ(QUrl::fromEncoded(QByteArray::fromStdString(FileURL(utf8))).toLocalFile().toStdString(), utf8);
    setFolders("WS", "/two");
    EXPECT_EQ(decoded(file("/x.htm")),
              "file://" + std::filesystem::current_path().string() + "/WS/srv.dom.example/x.htm");
}

// Stores files where the robot stores them, rewrites a page that links to
// them, and follows the rewritten links from the stored page.
TEST_F(LinkRewriting, RewrittenLinksReachTheFilesTheMirrorStores) {
    const std::string page = "http://srv.dom.example/dir/index.html";
    const char* const links[] = {"http://srv.dom.example/dir/", "/dir", "http://srv.dom.example", "/a%20b.htm",
                                 "/p.asp?i=3&j=4", "http://other.example/x/y.gif#top", "gallery/", "gallery",
                                 "../", "p.asp?id=3&x=4#f", "a%20b%20c.htm", "../q.cgi?s=c%20d", "?page=2"};
    std::string text;
    for (const char* link : links) text.append("<a href=\"").append(link).append("\">Go</a>\n");
    for (const bool parameters : {false, true}) {
        settings.tick("chkAllowParameters", parameters);
        QTemporaryDir primary, secondary;
        setFolders(primary.path().toStdString(), secondary.path().toStdString());
        const auto store = [&](const std::string& url) {
            std::ofstream(MakePath(MakeURL(url, settings), kFolderByFreeSpace, true, drives)) << "stored";
        };
        store(page);
        for (const char* link : links) store(MakeRelativeURL(page, link));
        const auto folder = std::filesystem::path(MakePath(page, kPrimaryFolder, false, drives)).parent_path();
        for (const bool relative : {false, true}) {
            settings.tick("chkRelative", relative);
            const std::string stored = ConvertLocal(page, text, settings, drives);
            std::size_t at = 0;
            for (const char* link : links) {
                at = stored.find("href=\"", at) + 6;
                const std::string value = stored.substr(at, stored.find('"', at) - at);
                const std::string path = value.starts_with("file://") ? decoded(value).substr(7)
                                                                      : (folder / decoded(value)).string();
                EXPECT_TRUE(FileExists(path) && value.find('?') == std::string::npos)
                    << link << " became " << value << (parameters ? " with parameters" : "");
            }
        }
    }
    // Links name the primary folder also while the secondary receives the files.
    QTemporaryDir primary, secondary;
    setFolders(primary.path().toStdString(), secondary.path().toStdString());
    settings.tick("chkRelative", false);
    settings.set("txtSpacePrimary", "1e15");
    ASSERT_EQ(drives.folderFor(kFolderByFreeSpace), secondary.path().toStdString());
    EXPECT_EQ(file("/a.gif"), "file://" + primary.path().toStdString() + "/srv.dom.example/a.gif");
}

}  // namespace
}  // namespace gleanery
