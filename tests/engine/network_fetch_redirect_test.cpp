// Redirects are followed up to ten times; the final response is the result.
#include "engine/network_fetch_fixture.h"

#include <QFile>

namespace gleanery::test {
namespace {

using NetworkFetchRedirect = NetworkFetchTest;

TEST_F(NetworkFetchRedirect, FollowsAbsoluteAndRelativeRedirectsToTheFinalPage) {
    server.redirect("/old.html", server.url("/moved/here.html"), 301);
    server.redirect("/moved/here.html", "final.html", 307);
    server.handle("/moved/final.html", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("X-Final", "1");
        response.set_content("<html>final</html>", "text/html");
    });

    ASSERT_EQ(run(server.url("/old.html")), 200);
    EXPECT_EQ(fetch.Content(), "<html>final</html>");
    EXPECT_EQ(fetch.GetHeader("X-Final"), "1");
    EXPECT_EQ(fetch.GetHeader("Location"), "");
    EXPECT_EQ(fetch.BytesReceived(), 18);
}

TEST_F(NetworkFetchRedirect, ARedirectedFileIsTheFinalBody) {
    server.redirect("/get.zip", "/files/real.zip");
    server.page("/files/real.zip", "zip bytes", "application/zip");

    ASSERT_EQ(run(server.url("/get.zip"), inFolder("get.zip")), 200);
    QFile file(QString::fromStdString(inFolder("get.zip")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "zip bytes");
}

TEST_F(NetworkFetchRedirect, TenRedirectsAreFollowedAndAnEleventhIsTooMany) {
    struct Case {
        int redirects;
        int expected;
    };
    for (const Case c : {Case{10, 200}, Case{11, kFetchTooManyRedirects}}) {
        SCOPED_TRACE(c.redirects);
        const std::string prefix = "/chain" + std::to_string(c.redirects) + "-";
        for (int i = 0; i < c.redirects; ++i)
            server.redirect(prefix + std::to_string(i), prefix + std::to_string(i + 1));
        server.page(prefix + std::to_string(c.redirects), "end of chain");

        EXPECT_EQ(run(server.url(prefix + "0")), c.expected);
        EXPECT_EQ(fetch.Content(), c.expected == 200 ? "end of chain" : "");
    }
}

TEST_F(NetworkFetchRedirect, ARedirectLoopEndsWithTooManyRedirects) {
    server.redirect("/loop", "/loop");
    EXPECT_EQ(run(server.url("/loop")), kFetchTooManyRedirects);
    EXPECT_EQ(server.hits("/loop"), 1 + kMaxRedirects);
}

TEST_F(NetworkFetchRedirect, ARedirectToAnotherSchemeIsAMalformedUrl) {
    server.redirect("/elsewhere", "ftp://127.0.0.1/file");
    EXPECT_EQ(run(server.url("/elsewhere")), kFetchMalformedUrl);
}

TEST_F(NetworkFetchRedirect, A3xxWithoutLocationIsTheResult) {
    server.status("/not-modified", 304, "");
    EXPECT_EQ(run(server.url("/not-modified")), 304);
}

}  // namespace
}  // namespace gleanery::test
