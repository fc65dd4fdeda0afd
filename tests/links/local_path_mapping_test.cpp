#include <gtest/gtest.h>

#include <QString>
#include <string>

#include "links/local_path.h"

namespace gleanery {
namespace {

std::string mapped(const std::string& url) { return MakePathUnder(url, "/out", false); }

struct MappingCase {
    const char* url;
    const char* path;
};

void expectMapped(const MappingCase* begin, const MappingCase* end) {
    for (auto c = begin; c != end; ++c) EXPECT_EQ(mapped(c->url), c->path) << c->url;
}

TEST(LocalPathMapping, MirrorsHostsAndFolders) {
    const MappingCase cases[] = {
        {"http://srv.dom.example/a/b.htm", "/out/srv.dom.example/a/b.htm"},
        {"http://SRV.Dom.example/A/b.htm", "/out/srv.dom.example/A/b.htm"},
        {"http://srv.dom.example:8080/a=b.htm", "/out/srv.dom.example:8080/a=b.htm"},
        {"http://srv.dom.example/dir.d/x", "/out/srv.dom.example/dir.d/x/index.html"},
        // Every folder URL gets one name.
        {"http://srv.dom.example/a/", "/out/srv.dom.example/a/index.html"},
        {"http://srv.dom.example/a", "/out/srv.dom.example/a/index.html"},
        {"http://srv.dom.example", "/out/srv.dom.example/index.html"},
        // An "@" past the host stays in the name.
        {"http://dom.example/x/y@evil.example/z.htm", "/out/dom.example/x/y@evil.example/z.htm"},
        // Every byte but "/" and NUL stays in a name; the path is decoded.
        {"http://h/a&b;c!d|e*f\"g<h>i%20%25%09%7F\x01.htm", "/out/h/a&b;c!d|e*f\"g<h>i %\t\x7F\x01.htm"},
        {"http://h/%41%2F%2f%00%zz%.htm", "/out/h/A%2F%2f%00%zz%.htm"},
    };
    expectMapped(std::begin(cases), std::end(cases));
    EXPECT_EQ(MakePathUnder("http://srv.dom.example/a.htm", "/out/", false), "/out/srv.dom.example/a.htm");
}

TEST(LocalPathMapping, KeepsTheQueryInTheFileName) {
    const MappingCase cases[] = {
        {"http://h/p.asp?id=3&x=%41", "/out/h/p.asp?id=3&x=%41"},
        {"http://h/?from=140", "/out/h/index.html?from=140"},
        {"http://h/list?page=2", "/out/h/list/index.html?page=2"},
        {"http://h/dir/?x=1", "/out/h/dir/index.html?x=1"},
        {"http://h?x=1", "/out/h/index.html?x=1"},
        {"http://h/a.php?", "/out/h/a.php?"},
        // A "/" or "." in the query names no folder.
        {"http://h/index.php?route=product/category", "/out/h/index.php?route=product%2Fcategory"},
        {"http://h/a?p=1.2/../../x", "/out/h/a/index.html?p=1.2%2F..%2F..%2Fx"},
    };
    expectMapped(std::begin(cases), std::end(cases));
}

TEST(LocalPathMapping, DistinctUrlsGetDistinctFiles) {
    const char* pairs[][2] = {
        {"http://h/a.php?x=1", "http://h/a.phpx=1"},
        {"http://h/a.asp?x=1&y=2", "http://h/a.asp?x=1y=2"},
        {"http://h/a.php?", "http://h/a.php"},
        {"http://h/a%2Fb.htm", "http://h/a/b.htm"},
        {"http://h/a%00.htm", "http://h/a.htm"},
        {"http://h/a;b.htm", "http://h/ab.htm"},
    };
    // Still one file each: an escaped "?" in a file's name and a query
    // (a.htm%3Fx, a.htm?x), an escaped "/" and its escaped "%" (a%2F.htm,
    // a%252F.htm), and a "/" in a query and its escape (?x=1/2, ?x=1%2F2).
    for (const auto& p : pairs) EXPECT_NE(mapped(p[0]), mapped(p[1])) << p[0] << " / " << p[1];
}

TEST(LocalPathMapping, SameFileWhateverTheSchemeCredentialsOrFragment) {
    const std::string plain = mapped("http://srv.dom.example/a/b.htm");
    for (const char* twin : {"HTTPS://srv.dom.example/a/b.htm", "https://jo:p@ss@srv.dom.example/a/b.htm",
                             "http://srv.dom.example/a/b.htm#x/../../y"})
        EXPECT_EQ(mapped(twin), plain) << twin;
    EXPECT_EQ(mapped("http://srv.dom.example/a/#sec.2"), "/out/srv.dom.example/a/index.html");
    EXPECT_EQ(mapped("http://h/a.htm?x=1#y/z"), "/out/h/a.htm?x=1");
}

TEST(LocalPathMapping, NeverClimbsOutOfTheHostFolder) {
    const MappingCase cases[] = {
        {"http://srv.dom.example/a/../b.htm", "/out/srv.dom.example/b.htm"},
        {"http://srv.dom.example/../../../etc/passwd.x", "/out/srv.dom.example/etc/passwd.x"},
        {"http://srv.dom.example/a/%2e%2E/%2e/b.htm", "/out/srv.dom.example/b.htm"},
        {"http://srv.dom.example/a/..", "/out/srv.dom.example/index.html"},
        {"http://srv.dom.example/a/..?x=1", "/out/srv.dom.example/index.html?x=1"},
        // An escaped "/" makes no folder, so its dots climb nowhere.
        {"http://srv.dom.example/a%2F..%2F..%2Fx.htm", "/out/srv.dom.example/a%2F..%2F..%2Fx.htm"},
        // A literal name of three dots is a name like any other.
        {"http://srv.dom.example/.../x.htm", "/out/srv.dom.example/.../x.htm"},
        {"http://srv.dom.example//a///b.htm", "/out/srv.dom.example/a/b.htm"},
    };
    expectMapped(std::begin(cases), std::end(cases));
}

TEST(LocalPathMapping, EmptyOrDottedHostsGetAFixedFolder) {
    const MappingCase cases[] = {
        {"http:///a.htm", "/out/_nohost/a.htm"},
        {"http://%2e/x.htm", "/out/_nohost/x.htm"},
        {"http://jo:pw@/x.htm", "/out/_nohost/x.htm"},
        {"/etc/passwd.x", "/out/_nohost/etc/passwd.x"},
    };
    expectMapped(std::begin(cases), std::end(cases));
}

TEST(LocalPathMapping, ShortensOverlongNamesDeterministically) {
    const std::string head = "http://srv.dom.example/";
    const std::string longStem(300, 'x');
    const std::string a = mapped(head + longStem + "a.htm");
    const std::string b = mapped(head + longStem + "b.htm");
    for (const std::string& path : {a, b}) {
        const std::string name = path.substr(path.rfind('/') + 1);
        EXPECT_EQ(name.size(), 255u);
        EXPECT_TRUE(name.starts_with("xxxxxxxxxx")) << name;
        EXPECT_TRUE(name.ends_with(".htm")) << name;
    }
    EXPECT_NE(a, b);
    EXPECT_EQ(a, mapped(head + longStem + "a.htm"));

    // A query counts towards the name; the extension kept is the file's.
    const std::string query = mapped(head + "a.php?q=" + longStem + ".b");
    const std::string queryName = query.substr(query.rfind('/') + 1);
    EXPECT_EQ(queryName.size(), 255u);
    EXPECT_TRUE(queryName.starts_with("a.php?q=xxx")) << queryName;
    EXPECT_TRUE(queryName.ends_with(".php")) << queryName;

    // Folder and host names too.
    const std::string deep = mapped("http://" + std::string(300, 'h') + ".example/" + std::string(400, 'd') + "/f.htm");
    const std::string hostName = deep.substr(5, deep.find('/', 5) - 5);
    EXPECT_EQ(hostName.size(), 255u);
    EXPECT_TRUE(deep.ends_with("/f.htm"));
}

TEST(LocalPathMapping, ShortenedNamesStayValidUtf8) {
    std::string stem;
    for (int i = 0; i < 200; ++i) stem += "\xC3\xBC";
    // Either alignment of the two-byte characters against the cut.
    for (const char* lead : {"", "a"}) {
        const std::string path = mapped("http://srv.dom.example/" + std::string(lead) + stem + ".htm");
        const std::string name = path.substr(path.rfind('/') + 1);
        EXPECT_LE(name.size(), 255u);
        EXPECT_EQ(QString::fromUtf8(name.data(), qsizetype(name.size())).toUtf8().toStdString(), name);
    }
}

}  // namespace
}  // namespace gleanery
