// Transfers that get no complete response end with a negative code, and
// Complete still comes.
#include "engine/network_fetch_fixture.h"

#include <QElapsedTimer>

namespace gleanery::test {
namespace {

using NetworkFetchTransportFailure = NetworkFetchTest;

TEST_F(NetworkFetchTransportFailure, AClosedPortIsConnectionRefused) {
    EXPECT_EQ(run(closedPortUrl()), kFetchConnectionRefused);
}

TEST_F(NetworkFetchTransportFailure, ASlowTransferThatKeepsSendingDoesNotTimeOut) {
    fetch.setIdleTimeout(std::chrono::milliseconds(600));
    // 200 bytes every 100 ms: about 1,200 bytes a window, for two and a half windows.
    server.trickle("/slow.html", std::string(3000, 's'), 200, std::chrono::milliseconds(100));

    EXPECT_EQ(run(server.url("/slow.html")), 200);
    EXPECT_EQ(fetch.Content(), std::string(3000, 's'));
}

TEST_F(NetworkFetchTransportFailure, AServerThatTricklesBytesIsGivenUp) {
    fetch.setIdleTimeout(std::chrono::milliseconds(300));
    // Some bytes in every window, but far fewer than the rule asks for.
    server.trickle("/trickle.html", std::string(2000, 't'), 5, std::chrono::milliseconds(50));

    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(run(server.url("/trickle.html")), kFetchTimeout);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(fetch.Content().empty());
}

TEST_F(NetworkFetchTransportFailure, AnUnusableUrlIsMalformed) {
    for (const std::string url : {"", "ftp://127.0.0.1/file", "http://", "http:///path"}) {
        SCOPED_TRACE(url);
        EXPECT_EQ(run(url), kFetchMalformedUrl);
    }
}

}  // namespace
}  // namespace gleanery::test
