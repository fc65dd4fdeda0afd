// Blocked domains are compared as exact bytes through a bound parameter, so
// quotes and SQL in a domain are only text.
#include <gtest/gtest.h>

#include "engine/work_store.h"
#include "engine/work_store_fixture.h"

namespace gleanery::testing {
namespace {

class WorkStoreBlockedSitesTest : public WorkStoreTest {
protected:
    void SetUp() override { openStore(); }
};

TEST_F(WorkStoreBlockedSitesTest, OnlyTheExactDomainIsBlocked) {
    store.insertBlockedSite("ads.example");
    store.insertBlockedSite("ads.example");  // a second block changes nothing
    EXPECT_TRUE(store.isBlocked("ads.example"));
    EXPECT_FALSE(store.isBlocked("ADS.example"));
    EXPECT_FALSE(store.isBlocked("ads.example "));
    EXPECT_FALSE(store.isBlocked("example"));
    EXPECT_FALSE(store.isBlocked(""));
}

TEST_F(WorkStoreBlockedSitesTest, QuotesAndSQLInADomainAreOnlyText) {
    const char* hostile[] = {
        "evil\".example",
        "\"",
        "x\" OR \"\"=\"",
        "x\" OR 1=1 --",
        "a'; DROP TABLE Routes; --",
        "a\"; DELETE FROM BlockedSites; --",
    };
    store.insertRoute("http://a.example/", "", 1);
    store.insertBlockedSite("ads.example");
    for (const char* domain : hostile) EXPECT_FALSE(store.isBlocked(domain)) << domain;

    store.insertBlockedSite(hostile[0]);
    store.insertBlockedSite(hostile[4]);
    for (const char* domain : hostile) {
        const bool blocked = domain == hostile[0] || domain == hostile[4];
        EXPECT_EQ(store.isBlocked(domain), blocked) << domain;
    }
    EXPECT_TRUE(store.isBlocked("ads.example"));
    EXPECT_EQ(store.countRoutes(), 1);
}

}  // namespace
}  // namespace gleanery::testing
