// The queues of a scan: unique URLs, identifiers that are never handed out
// twice, the scheduler's two orderings and the pending targets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/work_store.h"
#include "engine/work_store_fixture.h"

namespace gleanery::testing {
namespace {

class WorkStoreQueueTest : public WorkStoreTest {
protected:
    void SetUp() override { openStore(); }

    // Takes routes as the scheduler does, marking each scanned, until none is left.
    std::vector<std::string> takeAll(bool newestFirst) {
        std::vector<std::string> taken;
        while (auto route = store.nextRoute(newestFirst)) {
            taken.push_back(route->URL);
            store.markRouteScanned(route->RouteID, 200);
        }
        return taken;
    }
};

TEST_F(WorkStoreQueueTest, KnownURLIsRefusedAndTheCallerGoesOn) {
    EXPECT_TRUE(store.insertRoute("http://a.example/", "", 1));
    EXPECT_FALSE(store.insertRoute("http://a.example/", "http://other.example/", 5));
    store.markRouteScanned(store.nextRoute(true)->RouteID, 200);
    EXPECT_FALSE(store.insertRoute("http://a.example/", "", 1));  // scanned or not
    EXPECT_TRUE(store.insertRoute("http://a.example/next", "http://a.example/", 1));

    const auto first = store.insertTarget("http://a.example/f.zip", "http://a.example/", "/out/f.zip");
    EXPECT_NE(first, 0);
    EXPECT_EQ(store.insertTarget("http://a.example/f.zip", "http://b.example/", "/out/g.zip"), 0);
    EXPECT_GT(store.insertTarget("http://a.example/g.zip", "http://a.example/", "/out/g.zip"), first);

    // A URL may be both a page and a file: the tables are separate.
    EXPECT_NE(store.insertTarget("http://a.example/", "", "/out/index"), 0);

    EXPECT_EQ(store.route("http://a.example/")->Referrer, "");
    EXPECT_EQ(store.target("http://a.example/f.zip")->File, "/out/f.zip");
    EXPECT_EQ(store.countTargets(), 3);
}

TEST_F(WorkStoreQueueTest, IdentifiersAreNeverReusedAfterBegin) {
    store.insertRoute("http://a.example/1", "", 1);
    store.insertRoute("http://a.example/2", "", 1);
    const auto lastTarget = store.insertTarget("http://a.example/f", "", "/out/f");
    const auto lastRoute = store.route("http://a.example/2")->RouteID;

    store.insertBlockedSite("b.example");
    store.deleteAllRoutes();
    store.deleteAllTargets();
    EXPECT_EQ(store.countRoutes(), 0);
    EXPECT_EQ(store.countTargets(), 0);
    EXPECT_TRUE(store.isBlocked("b.example"));  // Begin keeps the blocked domains
    reopenStore();

    store.insertRoute("http://a.example/1", "", 1);
    EXPECT_GT(store.route("http://a.example/1")->RouteID, lastRoute);
    EXPECT_GT(store.insertTarget("http://a.example/f", "", "/out/f"), lastTarget);
}

TEST_F(WorkStoreQueueTest, SchedulerOrderings) {
    struct Link {
        const char* url;
        int priority;
    };
    const struct {
        const char* name;
        std::vector<Link> inserted;
        std::vector<std::string> newestFirst;
        std::vector<std::string> oldestFirst;
    } cases[] = {
        {"mixed priorities",
         {{"a", 1}, {"b", 2}, {"c", 1}, {"d", 2}, {"e", -1}, {"f", 0}},
         {"d", "b", "c", "a", "f", "e"},
         {"b", "d", "a", "c", "f", "e"}},
        {"higher priority inserted last", {{"a", 1}, {"b", 1}, {"c", 7}}, {"c", "b", "a"}, {"c", "a", "b"}},
    };
    for (const auto& c : cases) {
        for (const bool newest : {true, false}) {
            store.deleteAllRoutes();
            for (const auto& link : c.inserted) store.insertRoute(link.url, "", link.priority);
            EXPECT_EQ(takeAll(newest), newest ? c.newestFirst : c.oldestFirst)
                << c.name << (newest ? ", newest first" : ", oldest first");
        }
    }
}

TEST_F(WorkStoreQueueTest, NewTargetIsPendingUntilCompleted) {
    const auto one = store.insertTarget("http://a.example/1.zip", "http://a.example/", "/out/1.zip");
    const auto two = store.insertTarget("http://a.example/2.zip", "http://a.example/", "/out/2.zip");
    const auto three = store.insertTarget("http://a.example/3.zip", "http://a.example/", "/out/3.zip");
    store.markTargetCompleted(two, 404);

    const auto pending = store.pendingTargets();
    ASSERT_EQ(pending.size(), 2u);
    EXPECT_EQ(pending[0].TargetID, one);
    EXPECT_EQ(pending[0].Referrer, "http://a.example/");
    EXPECT_EQ(pending[1].TargetID, three);

    EXPECT_EQ(store.pendingTarget(one)->File, "/out/1.zip");
    EXPECT_FALSE(store.pendingTarget(two));
    EXPECT_FALSE(store.pendingTarget(0));  // what a refused insert returns
}

TEST_F(WorkStoreQueueTest, TextsRoundTripByteForByte) {
    const std::vector<std::string> urls = {
        "http://a.example/\xfc",  // Latin-1 u-umlaut: not UTF-8
        "http://a.example/ab",
        "http://a.example/a",   // a prefix of the one before
        "http://a.example/A",   // case counts
        "http://a.example/a ",  // so does a trailing blank
    };
    for (const auto& url : urls) {
        EXPECT_TRUE(store.insertRoute(url, url + "#from", 1));
        EXPECT_NE(store.insertTarget(url, url + "#from", "/out/" + url), 0);
    }
    reopenStore();

    const auto routes = store.allRoutes();
    const auto targets = store.allTargets();
    ASSERT_EQ(routes.size(), urls.size());
    ASSERT_EQ(targets.size(), urls.size());
    for (std::size_t i = 0; i < urls.size(); ++i) {
        EXPECT_EQ(routes[i].URL, urls[i]);
        EXPECT_EQ(routes[i].Referrer, urls[i] + "#from");
        EXPECT_EQ(targets[i].File, "/out/" + urls[i]);
        EXPECT_EQ(store.route(urls[i])->RouteID, routes[i].RouteID);
    }
}

}  // namespace
}  // namespace gleanery::testing
