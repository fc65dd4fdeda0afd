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
        {"//cdn.example/x.js", "file:///mirror/one/cdn.example/x.js"},
        {"sub/p.asp?id=3&x=4", "sub/p.aspid=3&x=4"},
        // The fragment follows the local file and takes no part in finding it.
        {"/b.htm#top", "file:///mirror/one/srv.dom.example/b.htm#top"},
        {"/#x/../y.htm", "file:///mirror/one/srv.dom.example/index.html#x/../y.htm"},
        {"page.htm?q#a?b", "page.htmq#a?b"},
        // Folder URLs name the file the mirror keeps for them.
        {"http://srv.dom.example/dir/", "file:///mirror/one/srv.dom.example/dir/index.html"},
        {"http://srv.dom.example", "file:///mirror/one/srv.dom.example/index.html"},
        // The robot fetches without the query unless parameters are allowed.
        {"/p.asp?id=3", "file:///mirror/one/srv.dom.example/p.asp"},
    };
    expectEach(cases, [&](const std::string& link) { return file(link); });
    settings.tick("chkAllowParameters");
    EXPECT_EQ(file("/p.asp?id=3"), "file:///mirror/one/srv.dom.example/p.aspid%3D3");
}

TEST_F(LinkRewriting, GivesRelativeFormsWithRelativePath) {
    settings.tick("chkRelative");
    const char* const cases[][2] = {
        {"http://srv.dom.example/dir/a.htm", "a.htm"},
        {"/img/a.gif", "../img/a.gif"},
        {"http://other.example/x/y.htm#t", "../../other.example/x/y.htm#t"},
        {"/a%20b%27s.htm", "../a%20b%27s.htm"},
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

// Stores files where the robot stores them and follows the rewritten links
// from the stored page.
TEST_F(LinkRewriting, RewrittenLinksReachTheFilesTheMirrorStores) {
    QTemporaryDir primary, secondary;
    setFolders(primary.path().toStdString(), secondary.path().toStdString());
    const std::string page = "http://srv.dom.example/dir/index.html";
    const char* const links[] = {"http://srv.dom.example/dir/", "/dir", "http://srv.dom.example", "/a%20b.htm",
                                 "/p.asp?i=3", "http://other.example/x/y.gif#top"};
    const auto store = [&](const std::string& url) {
        std::ofstream(MakePath(MakeURL(url, settings), kFolderByFreeSpace, true, drives)) << "stored";
    };
    store(page);
    for (const char* link : links) store(MakeRelativeURL(page, link));
    const auto folder = std::filesystem::path(MakePath(page, kPrimaryFolder, false, drives)).parent_path();
    for (const char* link : links) {
        settings.tick("chkRelative", false);
        EXPECT_TRUE(FileExists(decoded(file(link, page)).substr(7))) << link;
        settings.tick("chkRelative");
        EXPECT_TRUE(FileExists((folder / decoded(file(link, page))).string())) << link;
    }
    // Links name the primary folder also while the secondary receives the files.
    settings.tick("chkRelative", false);
    settings.set("txtSpacePrimary", "1e15");
    ASSERT_EQ(drives.folderFor(kFolderByFreeSpace), secondary.path().toStdString());
    EXPECT_EQ(file("/a.gif"), "file://" + primary.path().toStdString() + "/srv.dom.example/a.gif");
}

}  // namespace
}  // namespace gleanery
