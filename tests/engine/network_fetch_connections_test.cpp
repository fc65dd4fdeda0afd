// Every fetch object is a connection of its own: ten objects on one host run
// ten requests at once, beyond the six a shared network manager would allow.
#include "common/test_server.h"
#include "engine/fetch_completion_watch.h"
#include "engine/network_fetch.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace gleanery::test {
namespace {

TEST(NetworkFetchConnections, TenObjectsRunTenRequestsAtOnceOnOneHost) {
    TestServer server;
    server.stall("/slow.html", std::chrono::milliseconds(1500), "done");

    std::vector<std::unique_ptr<NetworkFetch>> fetches;
    std::vector<std::unique_ptr<CompletionWatch>> watches;
    for (int slot = 1; slot <= 10; ++slot) {
        fetches.push_back(std::make_unique<NetworkFetch>());
        watches.push_back(std::make_unique<CompletionWatch>(*fetches.back()));
        fetches.back()->StartTransfer(server.url("/slow.html"), "");
    }

    ASSERT_TRUE(spinUntil([&] {
        for (const auto& watch : watches)
            if (watch->count() == 0) return false;
        return true;
    }));
    for (const auto& fetch : fetches) EXPECT_EQ(fetch->ResultCode(), 200);
    EXPECT_EQ(server.maxInFlight(), 10);
    EXPECT_EQ(server.inFlight(), 0);
}

}  // namespace
}  // namespace gleanery::test
