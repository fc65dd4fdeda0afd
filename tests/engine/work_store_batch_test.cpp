// One page's writes land together or not at all.
#include <gtest/gtest.h>

#include "engine/work_store.h"
#include "engine/work_store_fixture.h"

namespace gleanery::testing {
namespace {

class WorkStoreBatchTest : public WorkStoreTest {
protected:
    void SetUp() override {
        openStore();
        store.insertRoute("http://a.example/", "", 1);
        pageId = store.nextRoute(true)->RouteID;
    }

    // The writes of one parsed page: its links and the mark of its own route.
    void writePage() {
        store.insertRoute("http://a.example/b", "http://a.example/", 1);
        store.insertTarget("http://a.example/f.zip", "http://a.example/", "/out/f.zip");
        store.markRouteScanned(pageId, 200);
    }

    std::int64_t pageId = 0;
};

TEST_F(WorkStoreBatchTest, UncommittedPageIsLostWhole) {
    {
        WorkStore::Batch page(store);
        writePage();
        EXPECT_EQ(store.countRoutes(), 2);  // visible inside the batch
    }
    EXPECT_EQ(store.countRoutes(), 1);
    EXPECT_EQ(store.countTargets(), 0);
    EXPECT_FALSE(store.route("http://a.example/")->Scanned);

    // The store goes on: the page can be written again, and the identifiers
    // handed out inside the lost batch may be used again, as no one kept them.
    WorkStore::Batch retry(store);
    writePage();
    retry.commit();
    EXPECT_EQ(store.countRoutes(), 2);
}

TEST_F(WorkStoreBatchTest, SecondBatchJoinsTheOpenOne) {
    {
        WorkStore::Batch page(store);
        {
            WorkStore::Batch inner(store);
            writePage();
            inner.commit();  // the outer batch decides
        }
        EXPECT_EQ(store.countRoutes(), 2);
    }
    EXPECT_EQ(store.countRoutes(), 1);
}

TEST_F(WorkStoreBatchTest, ClosingTheStoreDropsAnOpenBatch) {
    WorkStore::Batch page(store);
    writePage();
    reopenStore();
    EXPECT_EQ(store.countRoutes(), 1);
    page.commit();  // belongs to the closed store: nothing to commit here
    store.insertRoute("http://a.example/c", "", 1);
    reopenStore();
    EXPECT_EQ(store.countRoutes(), 2);
}

}  // namespace
}  // namespace gleanery::testing
