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
        {"http://srv.dom.example/p.asp?id=3&x=4", "/out/srv.dom.example/p.aspid=3x=4"},
        {"http://srv.dom.example/a%20b.htm", "/out/srv.dom.example/a b.htm"},
        {"http://srv.dom.example:8080/a=b.htm", "/out/srv.dom.example:8080/a=b.htm"},
        {"http://srv.dom.example/dir.d/x", "/out/srv.dom.example/dir.d/x/index.html"},
        {"http://srv.dom.example/a.asp?p=1/2", "/out/srv.dom.example/a.aspp=1/2/index.html"},
        // Every folder URL gets one name.
        {"http://srv.dom.example/a/", "/out/srv.dom.example/a/index.html"},
        {"http://srv.dom.example/a", "/out/srv.dom.example/a/index.html"},
        {"http://srv.dom.example", "/out/srv.dom.example/index.html"},
        // An "@" past the host stays in the name.
        {"http://dom.example/x/y@evil.example/z.htm", "/out/dom.example/x/y@evil.example/z.htm"},
    };
    expectMapped(std::begin(cases), std::end(cases));
    EXPECT_EQ(MakePathUnder("http://srv.dom.example/a.htm", "/out/", false), "/out/srv.dom.example/a.htm");
}

TEST(LocalPathMapping, SameFileWhateverTheSchemeCredentialsOrFragment) {
    const std::string plain = mapped("http://srv.dom.example/a/b.htm");
    for (const char* twin : {"HTTPS://srv.dom.example/a/b.htm", "https://jo:p@ss@srv.dom.example/a/b.htm",
                             "http://srv.dom.example/a/b.htm#x/../../y"})
        EXPECT_EQ(mapped(twin), plain) << twin;
    EXPECT_EQ(mapped("http://srv.dom.example/a/#sec.2"), "/out/srv.dom.example/a/index.html");
}

TEST(LocalPathMapping, DropsCharactersFileNamesCannotHold) {
    EXPECT_EQ(mapped("http://srv.dom.example/a&b;c!d|e*f\"g<h>i.htm"), "/out/srv.dom.example/abcdefghi.htm");
    EXPECT_EQ(mapped("http://srv.dom.example/a%25b%09c%0Ad%00e%7F.htm"), "/out/srv.dom.example/abcde.htm");
    // Two URLs differing only in dropped characters share a file.
    EXPECT_EQ(mapped("http://srv.dom.example/a.asp?x=1&y=2"), mapped("http://srv.dom.example/a.aspx=1y=2"));
}

TEST(LocalPathMapping, NeverClimbsOutOfTheHostFolder) {
    const MappingCase cases[] = {
        {"http://srv.dom.example/a/../b.htm", "/out/srv.dom.example/b.htm"},
        {"http://srv.dom.example/../../../etc/passwd.x", "/out/srv.dom.example/etc/passwd.x"},
        {"http://srv.dom.example/a%2F..%2F..%2Fx.htm", "/out/srv.dom.example/x.htm"},
        {"http://srv.dom.example/a/..", "/out/srv.dom.example/index.html"},
        // Segments that become dot names once characters are dropped.
        {"http://srv.dom.example/a/.%3F./b.htm", "/out/srv.dom.example/b.htm"},
        {"http://srv.dom.example/a/.%00", "/out/srv.dom.example/a/index.html"},
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
