// Mapping URLs to local paths, and hostile URLs confined to the output folder.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <filesystem>
#include <random>
#include <ranges>
#include <string>
#include <vector>

#include "common/fake_settings.h"
#include "links/local_path.h"
#include "links/url_utils.h"

namespace gleanery {
namespace {

std::string mapped(const std::string& url) { return MakePathUnder(url, "/out", false); }
std::string lastName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

TEST(LocalPathMapping, MirrorsHostsFoldersAndQueriesAndNeverClimbsOut) {
    const char* const cases[][2] = {
        {"http://srv.dom.example/a/b.htm", "/out/srv.dom.example/a/b.htm"},
        {"http://SRV.Dom.example/A/b.htm", "/out/srv.dom.example/A/b.htm"},
        {"http://srv.dom.example:8080/a=b.htm", "/out/srv.dom.example:8080/a=b.htm"},
        {"http://srv.dom.example/dir.d/x", "/out/srv.dom.example/dir.d/x/index.html"},
        {"http://srv.dom.example/a/", "/out/srv.dom.example/a/index.html"},
        {"http://srv.dom.example/a", "/out/srv.dom.example/a/index.html"},
        {"http://srv.dom.example", "/out/srv.dom.example/index.html"},
        {"HTTPS://srv.dom.example/a/b.htm", "/out/srv.dom.example/a/b.htm"},
        {"https://jo:p@ss@srv.dom.example/a/b.htm", "/out/srv.dom.example/a/b.htm"},
        {"http://srv.dom.example/a/b.htm#x/../../y", "/out/srv.dom.example/a/b.htm"},
        {"http://srv.dom.example/a/#sec.2", "/out/srv.dom.example/a/index.html"},
        {"http://h/a.htm?x=1#y/z", "/out/h/a.htm?x=1.htm"},
        // An "@" past the host stays in the name.
        {"http://dom.example/x/y@evil.example/z.htm", "/out/dom.example/x/y@evil.example/z.htm"},
        // Every byte but "/" and NUL stays in a name; the path is decoded.
        {"http://h/a&b;c!d|e*f\"g<h>i%20%25%09%7F\x01.htm", "/out/h/a&b;c!d|e*f\"g<h>i %\t\x7F\x01.htm"},
        {"http://h/%41%2F%2f%00%zz%.htm", "/out/h/A%2F%2f%00%zz%.htm"},
        // A script's page ends in ".html". The query stays in the file's name,
        // which then ends with the file's extension once more; a "/" or "."
        // in the query names no folder.
        {"http://h/about.php", "/out/h/about.php.html"},
        {"http://h/A.AsPx", "/out/h/A.AsPx.html"},
        {"http://h/p.asp?id=3&x=%41", "/out/h/p.asp?id=3&x=%41.html"},
        {"http://h/?from=140", "/out/h/index.html?from=140.html"},
        {"http://h/list?page=2", "/out/h/list/index.html?page=2.html"},
        {"http://h/dir/?x=1", "/out/h/dir/index.html?x=1.html"},
        {"http://h?x=1", "/out/h/index.html?x=1.html"},
        {"http://h/a.htm?", "/out/h/a.htm?.htm"},
        {"http://h/get.zip?v=2.gif", "/out/h/get.zip?v=2.gif.zip"},
        {"http://h/index.php?route=product/category", "/out/h/index.php?route=product%2Fcategory.html"},
        {"http://h/a?p=1.2/../../x", "/out/h/a/index.html?p=1.2%2F..%2F..%2Fx.html"},
        {"http://srv.dom.example/a/../b.htm", "/out/srv.dom.example/b.htm"},
        {"http://srv.dom.example/../../../etc/passwd.x", "/out/srv.dom.example/etc/passwd.x"},
        {"http://srv.dom.example/a/%2e%2E/%2e/b.htm", "/out/srv.dom.example/b.htm"},
        {"http://srv.dom.example/a/..", "/out/srv.dom.example/index.html"},
        {"http://srv.dom.example/a/..?x=1", "/out/srv.dom.example/index.html?x=1.html"},
        // An escaped "/" makes no folder, so its dots climb nowhere; "..." is a name.
        {"http://srv.dom.example/a%2F..%2F..%2Fx.htm", "/out/srv.dom.example/a%2F..%2F..%2Fx.htm"},
        {"http://srv.dom.example/.../x.htm", "/out/srv.dom.example/.../x.htm"},
        {"http://srv.dom.example//a///b.htm", "/out/srv.dom.example/a/b.htm"},
        {"http:///a.htm", "/out/_nohost/a.htm"},
        {"http://%2e/x.htm", "/out/_nohost/x.htm"},
        {"http://jo:pw@/x.htm", "/out/_nohost/x.htm"},
        {"/etc/passwd.x", "/out/_nohost/etc/passwd.x"},
    };
    for (const auto& c : cases) EXPECT_EQ(mapped(c[0]), c[1]) << c[0];
    EXPECT_EQ(MakePathUnder("http://srv.dom.example/a.htm", "/out/", false), "/out/srv.dom.example/a.htm");
}

TEST(LocalPathMapping, DistinctUrlsGetDistinctFiles) {
    const char* pairs[][2] = {
        {"http://h/a.php?x=1", "http://h/a.phpx=1"}, {"http://h/a.asp?x=1&y=2", "http://h/a.asp?x=1y=2"},
        {"http://h/a.php?", "http://h/a.php"},       {"http://h/a%2Fb.htm", "http://h/a/b.htm"},
        {"http://h/a%00.htm", "http://h/a.htm"},     {"http://h/a;b.htm", "http://h/ab.htm"},
    };
    // Still one file each: an escaped "?" in a file's name and a query
    // (a.htm%3Fx, a.htm?x), an escaped "/" and its escaped "%" (a%2F.htm,
    // a%252F.htm), and a "/" in a query and its escape (?x=1/2, ?x=1%2F2).
    for (const auto& p : pairs) EXPECT_NE(mapped(p[0]), mapped(p[1])) << p[0] << " / " << p[1];
}

TEST(LocalPathMapping, ShortensOverlongNamesDeterministically) {
    const std::string head = "http://srv.dom.example/", longStem(300, 'x');
    const std::string a = mapped(head + longStem + "a.htm"), b = mapped(head + longStem + "b.htm");
    for (const std::string& path : {a, b}) {
        const std::string name = lastName(path);
        EXPECT_TRUE(name.size() == 255 && name.starts_with("xxxxxxxxxx") && name.ends_with(".htm")) << name;
    }
    EXPECT_NE(a, b);
    EXPECT_EQ(a, mapped(head + longStem + "a.htm"));
    // A query counts towards the name; the ending kept is the one it has for browsers.
    const std::string query = lastName(mapped(head + "a.php?q=" + longStem + ".b"));
    EXPECT_TRUE(query.size() == 255 && query.starts_with("a.php?q=xxx") && query.ends_with(".html")) << query;
    const std::string deep = mapped("http://" + std::string(300, 'h') + ".example/" + std::string(400, 'd') + "/f.htm");
    EXPECT_EQ(deep.find('/', 5), 5 + 255u);
    EXPECT_TRUE(deep.ends_with("/f.htm"));
}

TEST(LocalPathMapping, ShortenedNamesStayValidUtf8) {
    const std::string stem = QByteArray("\xC3\xBC").repeated(200).toStdString();
    for (const char* lead : {"", "a"}) {
        const std::string name = lastName(mapped("http://srv.dom.example/" + std::string(lead) + stem + ".htm"));
        EXPECT_LE(name.size(), 255u);
        EXPECT_EQ(QString::fromUtf8(name.data(), qsizetype(name.size())).toUtf8().toStdString(), name);
    }
}

namespace fs = std::filesystem;

class HostileUrls {
public:
    explicit HostileUrls(unsigned seed) : rng_(seed) {}

    std::string next() {
        static const std::vector<std::string> schemes = {"http://", "https://", "HTTP://", "hTtPs://",
                                                         "",        "//",       "http:/",  "ftp://"};
        static const std::vector<std::string> pieces = {
            "..",        ".",         "%2e%2e",   "%2E%2e",     ".%2e",   "%2e",  "%00", "%",     "%%",
            "%2",        "%2F",       "%2f..%2f", "%5C",        "\\",     "..\\", "@",   "u:p@",  "a@b",
            "?",         "&",         "#",        "#frag",      "%23",    "/",    "//",  "",      "srv.dom.example",
            "localhost", ":8080",     "a.htm",    "index.html", "x",      ".&.",  ".?.", ".%3F.", "%0A",
            "%09",       "%7F",       "\t",       "\x01",       "%C3%BC", "\xC3", "=",   ";",     "!",
            "*",         "|",         "<",        ">",          "\"",     " ",    "~",   "...",   ".htm",
            "q=1/2",     "%252e%252e"};
        std::string url = pick(schemes);
        const int count = int(rng_() % 14);
        for (int i = 0; i < count; ++i) {
            switch (rng_() % 9) {
            case 0: url += std::string(1 + rng_() % 600, char('a' + rng_() % 26)); break;  // long runs
            case 1: url += "/"; break;
            case 2: url += char(rng_() % 256); break;  // any byte
            default: url += pick(pieces);
            }
        }
        return url;
    }

private:
    const std::string& pick(const std::vector<std::string>& v) { return v[rng_() % v.size()]; }
    std::mt19937 rng_;
};

void expectConfined(const std::string& path, const std::string& root, const std::string& url) {
    ASSERT_TRUE(path.starts_with(root + "/")) << url;
    ASSERT_TRUE(fs::path(path).lexically_normal().string().starts_with(root + "/")) << url << " -> " << path;
    for (const auto part : std::views::split(std::string_view(path).substr(root.size() + 1), '/')) {
        const std::string_view name(part.begin(), part.end());
        ASSERT_TRUE(!name.empty() && name.size() <= 255 && name != "." && name != ".." &&
                    name.find('\0') == std::string_view::npos)
            << url << " -> " << path;
    }
}

// Without folders made and with them, and nothing appears beside the output folder.
TEST(LocalPathConfinement, HostileUrlsStayInsideTheOutputFolder) {
    QTemporaryDir tmp;
    const std::string parent = tmp.path().toStdString(), root = parent + "/out";
    fs::create_directory(root);
    for (const bool makeFolders : {false, true}) {
        HostileUrls urls(makeFolders ? 7 : 20240601);
        for (int i = 0; i < (makeFolders ? 400 : 30000); ++i) {
            const std::string url = urls.next(), path = MakePathUnder(url, root, makeFolders);
            expectConfined(path, root, url);
            ASSERT_EQ(MakePathUnder(url, root, false), path) << "not deterministic: " << url;
            if (HasFatalFailure()) return;
        }
    }
    std::vector<std::string> beside;
    for (const auto& entry : fs::directory_iterator(parent)) beside.push_back(entry.path().filename());
    EXPECT_EQ(beside, std::vector<std::string>{"out"});
    // Names that are no valid UTF-8 defeat QTemporaryDir's own clean-up.
    fs::remove_all(root);
}

TEST(LocalPathConfinement, MakeUrlIsStableAndSchemeTwinsShareAFile) {
    FakeSettings settings;
    settings.set("txtName", "jo").set("txtPassword", "p@w");
    HostileUrls urls(99);
    for (int i = 0; i < 5000; ++i) {
        const std::string url = urls.next();
        const std::string once = MakeURL(url, settings);
        ASSERT_EQ(MakeURL(once, settings), once) << url;
        const std::string_view rest = StripScheme(once);
        ASSERT_EQ(MakePathUnder("https://" + std::string(rest), "/o", false),
                  MakePathUnder("http://" + std::string(rest), "/o", false))
            << url;
    }
}

}  // namespace
}  // namespace gleanery
