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

TEST_F(WorkStoreBlockedSitesTest, OnlyTheExactDomainIsBlockedAndSQLIsOnlyText) {
    const char* hostile[] = {"evil\".example", "x\" OR 1=1 --", "a'; DROP TABLE Routes; --",
                             "a\"; DELETE FROM BlockedSites; --"};
    store.insertRoute("http://a.example/", "", 1);
    store.insertBlockedSite("ads.example");
    store.insertBlockedSite(hostile[0]);
    store.insertBlockedSite(hostile[2]);
    for (const char* domain : {"ADS.example", "ads.example ", "example", "", hostile[1], hostile[3]})
        EXPECT_FALSE(store.isBlocked(domain)) << domain;
    for (const char* domain : {"ads.example", hostile[0], hostile[2]}) EXPECT_TRUE(store.isBlocked(domain)) << domain;
    EXPECT_EQ(store.countRoutes(), 1);
}

}  // namespace
}  // namespace gleanery::testing
