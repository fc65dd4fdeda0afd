// Rewriting the links of a stored page.
#include <QByteArray>
#include <QTemporaryDir>
#include <QUrl>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "links/admission_fixture.h"
#include "links/link_rewriting.h"
#include "links/local_link.h"
#include "links/local_path.h"
#include "links/url_utils.h"
#include "support/text.h"

namespace gleanery::testing {
namespace {

std::string decoded(const std::string& url) {
    return QByteArray::fromPercentEncoding(QByteArray::fromStdString(url.substr(0, url.find('#')))).toStdString();
}

class LinkRewritingRule : public AdmissionTest {
protected:
    std::string rewrite(std::string_view text) { return ConvertLocal(kPage, text, settings, drives, queue); }
    // Runs {page, expected} pairs; "{P}" stands for the local copy of the site's host folder.
    template <std::size_t N>
    void expectEach(const char* const (&cases)[N][2]) {
        const std::string local = FileURL(primary());
        for (const auto& c : cases) {
            std::string expected = c[1];
            for (std::size_t at; (at = expected.find("{P}")) != std::string::npos;)
                expected.replace(at, 3, local + "/www.site.example");
            EXPECT_EQ(rewrite(c[0]), expected) << "page: " << c[0];
        }
    }
};

TEST_F(LinkRewritingRule, FollowedLinksNameTheirCopiesAndOthersInTagsNameTheSite) {
    const char* const cases[][2] = {
        {R"(<a href="http://www.site.example/a/b.htm">b</a> <a href='/b.htm#top'>t</a> <a href=a.htm>a</a>)",
         R"(<a href="{P}/a/b.htm">b</a> <a href='{P}/b.htm#top'>t</a> <a href=a.htm>a</a>)"},
        {R"(<a href="?page=2">2</a> <a href="list.php?id=3">l</a>)",
         R"(<a href="index.html%3Fpage=2.html">2</a> <a href="list.php%3Fid=3.html">l</a>)"},
        // Character references in a tag's attribute are read as a browser reads them.
        {R"(<a href="git-web&#45;&#45;browse.html">g</a> <a href='list.php?x=1&amp;y=2'>)",
         R"(<a href="git-web&#45;&#45;browse.html">g</a> <a href='list.php%3Fx=1%26y=2.html'>)"},
        // What they stand for never ends the value it is written back into.
        {R"(<a href="/b.htm#x&quot;y">b</a> <a href='doc.pdf#it&apos;s'>)",
         R"(<a href="{P}/b.htm#x%22y">b</a> <a href='http://www.site.example/dir/doc.pdf#it%27s'>)"},
        {R"(<a href="doc.pdf#p2">d</a> <form action="/cgi/go.cgi"> <a href="//cdn.example/x.pdf">)",
         R"(<a href="http://www.site.example/dir/doc.pdf#p2">d</a> <form action="http://www.site.example/cgi/go.cgi"> <a href="http://cdn.example/x.pdf">)"},
    };
    expectEach(cases);
    // Outside links: text, code, scripts, blank values and the blanks around values.
    for (const char* page :
         {R"(<a href="http://other.example/a.htm">see https://www.cwi.nl/ or http://other.example/b.htm</a>)",
          "<pre>get example.zip\n<span>Archive</span>\n</pre>",
          "<a href=\t\"x.htm\">x</a> <a href=\"\">here</a> <a href=\" \">blank</a> <a href=\" y.htm\n\">y</a>",
          "<script>\nvar a = b.js;\nlocation.href = x;\nif (a<b) window.open('pop.htm');\n</script>",
          "<p>transaction=42, take action now. See a.htm, then b.jpg.</p>",
          "<script>href = href.match(/#.*/)[0];</script><pre>RewriteRule ^/(/|/cgi/go.cgi)?$ /x</pre>"})
        EXPECT_EQ(rewrite(page), page);
}

TEST_F(LinkRewritingRule, RequisitesOfPagesAndStyleBlocksBecomeLocal) {
    settings.tick(Field::chkPageRequisites.name);
    const char* const cases[][2] = {
        {R"(<link rel="stylesheet" href="/css/site.css"><link rel="alternate" href="feed.xml">)",
         R"(<link rel="stylesheet" href="{P}/css/site.css"><link rel="alternate" href="http://www.site.example/dir/feed.xml">)"},
        {R"(<img src="a.png" srcset="a.png 1x,/b.png 2x"><video poster="/v.webp">)",
         R"(<img src="a.png" srcset="a.png 1x,{P}/b.png 2x"><video poster="{P}/v.webp">)"},
        {"<div style=\"background: url('/bg.png')\">\n<style>@import \"print.css\";\nh1 { background: url( /h.svg ) "
         "}</style>",
         "<div style=\"background: url('{P}/bg.png')\">\n<style>@import \"print.css\";\nh1 { background: url( "
         "{P}/h.svg ) }</style>"},
    };
    expectEach(cases);
    EXPECT_EQ(rewrite(R"(<img src="https://cdn.example/i.png">)"),
              R"(<img src=")" + FileURL(primary()) + R"(/cdn.example/i.png">)");
    settings.tick(Field::chkPageRequisites.name, false);
    EXPECT_EQ(rewrite(R"(<link rel="stylesheet" href="site.css">)"),
              R"(<link rel="stylesheet" href="http://www.site.example/dir/site.css">)");
}

TEST_F(LinkRewritingRule, WhatTheStoreHoldsIsLocalAndRelativePathsAreKept) {
    queue.insertTarget("http://www.site.example/dir/doc.pdf", kPage, "");
    EXPECT_EQ(rewrite(R"(<a href="doc.pdf">d</a> <a href="/dir/doc.pdf">)"),
              R"(<a href="doc.pdf">d</a> <a href=")" + FileURL(primary()) + R"(/www.site.example/dir/doc.pdf">)");
    settings.tick(Field::chkRelative.name);
    EXPECT_EQ(rewrite(R"(<a href="/o/a.htm?x=1">see /img/b.gif</a><img src="http://www.site.example/c.gif">)"),
              R"(<a href="../o/a.htm%3Fx=1.htm">see ../img/b.gif</a><img src="../c.gif">)");
}

TEST_F(LinkRewritingRule, FileUrlsDecodeToTheLocalPath) {
    const std::string folder = "/m/a b#c%d?e'\"<>()=&;\x01\xFF\xC3\xBC";
    EXPECT_EQ(FileURL(folder + "/x.htm"), "file:///m/a%20b%23c%25d%3Fe%27%22%3C%3E%28%29=%26;%01%FF%C3%BC/x.htm");
    const std::string utf8 = "/m/Grüße & 100% #1?/x.htm";
    EXPECT_EQ(QUrl::fromEncoded(QByteArray::fromStdString(FileURL(utf8))).toLocalFile().toStdString(), utf8);
    EXPECT_EQ(decoded(FileURL("WS/x.htm")), "file://" + std::filesystem::current_path().string() + "/WS/x.htm");
}

TEST_F(LinkRewritingRule, RewrittenLinksReachTheFilesTheMirrorStores) {
    const char* const links[] = {"http://www.site.example/dir/",
                                 "http://www.site.example",
                                 "/a%20b.htm",
                                 "/p.asp?i=3&j=4",
                                 "gallery/",
                                 "../",
                                 "p.asp?id=3&x=4#f",
                                 "a%20b%20c.htm",
                                 "../q.cgi?s=c%20d",
                                 "?page=2",
                                 "caf\xC3\xA9.htm",
                                 "/r.php?x=a/b"};
    std::string text;
    for (const char* link : links) text.append("<a href=\"").append(link).append("\">Go</a>\n");
    for (const bool parameters : {false, true}) {
        settings.tick(Field::chkAllowParameters.name, parameters);
        QTemporaryDir primary, secondary;
        settings.set(Field::txtSaveLocation.name, primary.path().toStdString());
        const auto store = [&](const std::string& url) {
            std::ofstream(MakePath(MakeURL(url, settings), kFolderByFreeSpace, true, drives)) << "stored";
        };
        store(kPage);
        for (const char* link : links) store(MakeRelativeURL(kPage, link));
        const auto folder = std::filesystem::path(MakePath(kPage, kPrimaryFolder, false, drives)).parent_path();
        for (const bool relative : {false, true}) {
            settings.tick(Field::chkRelative.name, relative);
            const std::string stored = rewrite(text);
            std::size_t at = 0;
            for (const char* link : links) {
                at = stored.find("href=\"", at) + 6;
                const std::string value = stored.substr(at, stored.find('"', at) - at);
                const std::string path =
                    value.starts_with("file://") ? decoded(value).substr(7) : (folder / decoded(value)).string();
                EXPECT_TRUE(FileExists(path) && value.find('?') == std::string::npos)
                    << link << " became " << value << (parameters ? " with parameters" : "");
            }
        }
    }
}

// Eight times the page takes about eight times as long; copying the rest of
// the page at each link would take some sixty times as long.
TEST_F(LinkRewritingRule, TakesTimeInProportionToThePageSize) {
    settings.set(Field::txtPageTypes.name, "")
        .tick(Field::chkPageRequisites.name);  // an empty entry looks at every full stop
    const std::string block =
        "<a href=\"http://www.site.example/a/b.htm\">1.</a> <img src='/c.gif' srcset='d.png 2x'> <a href=r.htm?x>\n"
        "Text. More, with dots. See /f/d.zip and e.jpg (or f.jpg). <p style='background:url(g.png)'>\n";
    const auto fastestSeconds = [&](std::size_t blocks) {
        const std::string page = QByteArray::fromStdString(block).repeated(qsizetype(blocks)).toStdString();
        double best = 1e9;
        for (int run = 0; run < 3; ++run) {
            const auto start = std::chrono::steady_clock::now();
            rewrite(page);
            best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        return best;
    };
    // Pages large enough that timer noise and caches do not decide, and a
    // bound far from both the linear and the quadratic ratio: CI machines are
    // busy.
    const double small = fastestSeconds(3000), large = fastestSeconds(24000);
    EXPECT_LT(large / small, 30) << small << " s, " << large << " s";
}

}  // namespace
}  // namespace gleanery::testing
