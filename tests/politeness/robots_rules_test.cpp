// Reading robots.txt and deciding which paths the crawler may fetch.
#include <gtest/gtest.h>

#include "politeness/robots_rules.h"

namespace gleanery {
namespace {

using std::chrono::milliseconds;

TEST(RobotsRules, DecidesWhichPathsMayBeFetched) {
    const std::string simple =
        "User-Agent: *\nDisallow: *.gif$\nDisallow: /example/\nAllow: /publications/\n\n"
        "User-Agent: foobot\nDisallow:/\nAllow:/example/page.html\nAllow:/example/allowed.gif\n\n"
        "User-Agent: barbot\nUser-Agent: bazbot\nDisallow: /example/page.html\n\nUser-Agent: quxbot\n";
    const std::string merged =
        "user-agent: ExampleBot\ndisallow: /foo\n\nuser-agent: ExampleBot\ndisallow: /baz\n\n"
        "user-agent: *\ndisallow: /foo\n\nuser-agent: BazBot\ndisallow: /baz\n";
    const std::string longest = "User-Agent: foobot\nAllow: /example/page/\nDisallow: /example/page/disallowed.gif\n";
    const std::string named =
        "Disallow: /early\nUser-agent: *\nDisallow: /\n\nUser-agent: gleanery/1.0 (+https://gleanery.example)\n"
        "Disallow:\nDisallow: /private\nUser-agent: GleaneryMobile\nDisallow: /all-of-it\n";
    const std::string ties = "User-agent: *\nDisallow: /p\nAllow: /p\nDisallow: /a*\nAllow: /ab\nDisallow: /q*\n";
    const std::string wildcards = "User-agent: *\nDisallow: /*/private\nDisallow: /*.php$\nDisallow: /cost$/x\n";
    const std::string escapes =
        "User-agent: *\nDisallow: /foo/bar/\xE3\x83\x84\nDisallow: /foo/%62%61%7A\nDisallow: /a%2fb\n"
        "Disallow: /%7euser\nDisallow: /100%\nDisallow: /with space\n";
    const std::string syntax =
        "\xEF\xBB\xBF  USER-AGENT\t:  Gleanery  # us\r\nSitemap: http://h.example/map.xml\r\n"
        "dISALLOW :/x # old\rAllow: /x/y\n";
    const std::string rootOnly = "User-agent: *\nDisallow: /\n";
    const std::string beyondLimit = std::string(500 * 1024, '#') + "\nUser-agent: *\nDisallow: /\n";
    const std::string backtracking = "User-agent: *\nDisallow: /" + [] {
        std::string stars;
        for (int i = 0; i < 40; ++i) stars += "*a";
        return stars + "b";
    }();
    const std::string manyAs = "/" + std::string(20000, 'a');

    const struct {
        const std::string& body;
        const char* agent;
        std::string path;
        bool allowed;
    } cases[] = {
        // The simple example: each crawler reads its own group, others the "*" one.
        {simple, "otherbot", "/example/page.html", false},
        {simple, "otherbot", "/publications/a.html", true},
        {simple, "otherbot", "/img/a.gif", false},
        {simple, "otherbot", "/img/a.gif?size=2", true},
        {simple, "foobot", "/", false},
        {simple, "foobot", "/example/page.html", true},
        {simple, "foobot", "/example/allowed.gif", true},
        {simple, "foobot", "/example/other.html", false},
        {simple, "bazbot", "/example/page.html", false},
        {simple, "bazbot", "/img/a.gif", true},
        {simple, "quxbot", "/example/page.html", true},
        // Groups naming the crawler are merged; "*" then plays no part.
        {merged, "examplebot", "/foo", false},
        {merged, "examplebot", "/baz", false},
        {merged, "BazBot", "/foo", true},
        {merged, "Otherbot", "/foo", false},
        // The longest pattern wins, whatever its order.
        {longest, "foobot", "/example/page/", true},
        {longest, "foobot", "/example/page/disallowed.gif", false},
        // The product token of the user-agent value is compared, not a prefix;
        // rules before any user-agent line and empty ones add nothing.
        {named, "Gleanery", "/early", true},
        {named, "Gleanery", "/all-of-it", true},
        {named, "Gleanery", "/private/a", false},
        {named, "Gleanery/2.0", "/", true},
        // On equal length Allow wins; "*" and "$" count as written.
        {ties, "Gleanery", "/p", true},
        {ties, "Gleanery", "/abc", true},
        {ties, "Gleanery", "/q", false},
        {wildcards, "Gleanery", "/a/b/private/c", false},
        {wildcards, "Gleanery", "/private", true},
        {wildcards, "Gleanery", "/a/index.php", false},
        {wildcards, "Gleanery", "/a/index.php?x=1", true},
        {wildcards, "Gleanery", "/cost$/x", false},
        {wildcards, "Gleanery", "/cost", true},
        // Escapes are compared in one form on both sides.
        {escapes, "Gleanery", "/foo/bar/%e3%83%84", false},
        {escapes, "Gleanery", "/foo/baz", false},
        {escapes, "Gleanery", "/a%2Fb", false},
        {escapes, "Gleanery", "/a/b", true},
        {escapes, "Gleanery", "/~user/", false},
        {escapes, "Gleanery", "/100%25", false},
        {escapes, "Gleanery", "/with%20space", false},
        // BOM, blanks, any case of keys, comments, CR, LF and CRLF line ends.
        {syntax, "Gleanery", "/x", false},
        {syntax, "Gleanery", "/x/y", true},
        {syntax, "Gleanery", "/y", true},
        // "/robots.txt" itself is always allowed; an empty path is the root.
        {rootOnly, "Gleanery", "/robots.txt", true},
        {rootOnly, "Gleanery", "", false},
        {beyondLimit, "Gleanery", "/x", true},
        {backtracking, "Gleanery", manyAs, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RobotsRules::parse(c.body, c.agent).allowed(c.path), c.allowed)
            << c.agent << " " << c.path.substr(0, 40) << "\n"
            << c.body.substr(0, 200);
    EXPECT_FALSE(RobotsRules::disallowAll().allowed("/index.html"));
    EXPECT_TRUE(RobotsRules::disallowAll().allowed("/robots.txt"));
}

TEST(RobotsRules, CrawlDelayOfTheSelectedGroups) {
    const std::pair<const char*, milliseconds> cases[] = {
        {"User-agent: *\nCrawl-delay: 2.5\n", milliseconds(2500)},
        {"User-agent: gleanery\nCrawl-delay: 1\nUser-agent: *\nCrawl-delay: 9\n\n"
         "User-agent: Gleanery\nCrawl-delay: 3\n",
         milliseconds(3000)},
        {"User-agent: *\nCrawl-delay: 3600\n", milliseconds(60000)},
        {"User-agent: *\nCrawl-delay: soon\nCrawl-delay: -4\nCrawl-delay: 5s\n", milliseconds(0)},
        {"Crawl-delay: 5\nUser-agent: *\n", milliseconds(0)},
    };
    for (const auto& [body, delay] : cases) EXPECT_EQ(RobotsRules::parse(body, "Gleanery").crawlDelay(), delay) << body;
}

}  // namespace
}  // namespace gleanery
