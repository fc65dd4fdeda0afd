#include <chrono>
#include <random>
#include <utility>

#include "link_rewriting_fixture.h"

namespace gleanery {
namespace {

#define LOCAL "file:///mirror/one/srv.dom.example"

TEST_F(LinkRewriting, RewritesAttributeValuesThenWordsWithExtensions) {
    const char* const cases[][2] = {
        // Image tags without any HREF after them.
        {R"~(<img src="/a.gif"><IMG Src='http://srv.dom.example/b/c.png' alt=x>)~",
         R"~(<img src=")~" LOCAL R"~(/a.gif"><IMG Src=')~" LOCAL R"~(/b/c.png' alt=x>)~"},
        {"<a href = /a.htm>x</a><form action=/go.cgi", "<a href = " LOCAL "/a.htm>x</a><form action=" LOCAL "/go.cgi"},
        {R"~(<a href="#top"><a href="JavaScript:go(1)"><a href='file:///c/x.htm'>)~",
         R"~(<a href="#top"><a href="JavaScript:go(1)"><a href='file:///c/x.htm'>)~"},
        // A link takes its query along, which the file kept without
        // parameters does not have; a value left as written does not.
        {R"~(<a href="/p.asp?id=3&b=/c"><a href=p.pl?id=3>)~", R"~(<a href=")~" LOCAL R"~(/p.asp"><a href=p.pl>)~"},
        {"<script>go('p.htm?id=3&x=4')</script>", "<script>go('p.htm')</script>"},
        // Only a name with its own "=" is an attribute, and an empty value takes nothing after it.
        {"<p>transaction=42, take action now</p><img alt=Happy src=/a.gif>",
         "<p>transaction=42, take action now</p><img alt=Happy src=" LOCAL "/a.gif>"},
        {"Get http://srv.dom.example/f.zip (see /pic.JPG)", "Get " LOCAL "/f.zip (see " LOCAL "/pic.JPG)"},
        // Names inside a query stay as they are.
        {"go('/cgi/t?/p/a.jpg&/p/b.gif')", "go('/cgi/t?/p/a.jpg&/p/b.gif')"},
        {R"~(<p title="#/a.gif" lang="JAVASCRIPT:/b.gif">file:///c/d.zip)~",
         R"~(<p title="#/a.gif" lang="JAVASCRIPT:/b.gif">file:///c/d.zip)~"},
    };
    expectEach(cases, [&](const std::string& text) { return rewrite(text); });
}

TEST_F(LinkRewriting, EndsTheAttributePassSafelyAtTheEndOfTheText) {
    const char* const cases[][2] = {
        {"<a href", "<a href"},
        {R"~(<a href="/a.pl"> <img src=' >)~", R"~(<a href=")~" LOCAL R"~(/a.pl"> <img src=' >)~"},
        {R"~(<a href="/a.pl"> SRC without equals)~", R"~(<a href=")~" LOCAL R"~(/a.pl"> SRC without equals)~"},
        {"src=/a.pl <a href=/b.pl>", "src=/a.pl <a href=/b.pl>"},  // a page that begins with a name
    };
    expectEach(cases, [&](const std::string& text) { return rewrite(text); });
}

TEST_F(LinkRewriting, LeavesTheLocalFormsOfTheFirstPassAlone) {
    setFolders("/m/a (b)=c&d", "/two");
    EXPECT_EQ(rewrite(R"(<img src="/x.jpg">)"),
              R"(<img src="file:///m/a%20%28b%29%3Dc%26d/srv.dom.example/x.jpg">)");
    // Relative forms are not resolved again from the page, where "../../"
    // would stop at the page's host.
    settings.tick("chkRelative");
    EXPECT_EQ(rewrite(R"(<a href="/o/a.htm?x=1">see /img/b.gif</a><img src="http://other.example/c.gif">)"),
              R"(<a href="../o/a.htm">see ../img/b.gif</a><img src="../../other.example/c.gif">)");
}

TEST_F(LinkRewriting, KeepsPagesWhoseLinksAreRelativeUnchanged) {
    const std::string page =
        "<html><head><title>A.B</title><script src=\"js/app.js\"></script></head>\n"
        "<body><a href=\"sub/p.htm\">Next.</a>\n"
        "<img src='../img/a.gif' alt=\"a.gif\"> <a href=x.html#p>x</a> <form action=\"go.cgi\"> Version 1.2 (of 3.4)\n"
        "is out. See a.htm, b.jpg, c.zip & d.gif. <a href=\"#top\">top</a> <a href=\"MAILTO:Jo@Dom.Example\">m</a>\n";
    for (const char* pageTypes : {"HTM HTML CGI", ""}) {  // "": an entry for every full stop
        settings.set("txtPageTypes", pageTypes);
        for (const bool relative : {false, true}) {
            settings.tick("chkRelative", relative);
            EXPECT_EQ(rewrite(page), page) << pageTypes << relative;
        }
    }
}

// The output is the input with each link replaced by its local form, and nothing else changed.
TEST_F(LinkRewriting, ChangesNothingButTheLinksOfGeneratedPages) {
    const std::pair<const char*, const char*> places[] = {
        {"<a href=\"", "\">Text.</a>\n"}, {"<img src='", "' alt=pic>"}, {"<FORM Action=", ">"}};
    const char* const values[] = {"http://srv.dom.example/a/b.htm", "/img/x.gif", "https://other.example/",
                                  "rel/page.htm", "../up.jpg", "#frag", "javascript:run()", "mailto:a@b.example",
                                  "/c.htm#sec", "file:///c/d.zip", "//cdn.example/q.zip"};
    const char* const words[] = {"http://srv.dom.example/t.zip", "/t/p.htm", "rel.gif", "../x.JPG"};
    std::mt19937 random(7);
    for (const bool relative : {false, true}) {
        settings.tick("chkRelative", relative);
        std::string page, expected;
        for (int i = 0; i < 300; ++i) {
            const bool inText = random() % 4 == 0;  // found by its extension only
            const auto [open, close] = inText ? std::pair("<p>See ", " now.</p>") : places[random() % 3];
            const std::string link = inText ? words[random() % 4] : values[random() % std::size(values)];
            const bool kept = link.starts_with('#') || link.starts_with("javascript") || link.starts_with("file:");
            page.append(open).append(link).append(close);
            expected.append(open).append(kept ? link : file(link)).append(close);
        }
        EXPECT_EQ(rewrite(page), expected) << relative;
    }
}

// Eight times the page takes about eight times as long; copying the rest of
// the page at each link would take some sixty times as long.
TEST_F(LinkRewriting, TakesTimeInProportionToThePageSize) {
    settings.set("txtPageTypes", "");  // an empty entry looks at every full stop
    const std::string block =
        "<a href=\"http://srv.dom.example/a/b.htm\">1.</a> <img src='/c.gif'> <a href=r.htm?x>\n"
        "Text. More, with dots. See /f/d.zip and e.jpg (or f.jpg).\n";
    const auto fastestSeconds = [&](std::size_t blocks) {
        std::string page;
        for (std::size_t i = 0; i < blocks; ++i) page += block;
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
}  // namespace gleanery
