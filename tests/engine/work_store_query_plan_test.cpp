// Every statement of a scan's hot path finds its rows through a key or an
// index, and neither ordering of the scheduler needs a sort, so a large scan
// takes its next route as fast as a small one.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <SQLiteCpp/SQLiteCpp.h>

#include "engine/work_store_schema.h"
#include "engine/work_store_fixture.h"

namespace gleanery::testing {
namespace {

namespace sql = work_store_sql;
using ::testing::HasSubstr;
using ::testing::Not;

std::string planOf(SQLite::Database& db, const char* statement) {
    SQLite::Statement explain(db, std::string("EXPLAIN QUERY PLAN ") + statement);
    std::string plan;
    while (explain.executeStep()) plan += explain.getColumn(3).getString() + "\n";
    return plan;
}

using WorkStoreQueryPlanTest = WorkStoreTest;

TEST_F(WorkStoreQueryPlanTest, HotStatementsUseKeysAndIndexesWithoutSorting) {
    const struct {
        const char* statement;
        const char* access;
    } cases[] = {
        {sql::kNextRouteNewest, "SCAN Routes USING INDEX RoutesByPriority"},
        {sql::kNextRouteOldest, "SCAN Routes USING INDEX RoutesByPriorityDesc"},
        {sql::kMarkRouteScanned, "SEARCH Routes USING INTEGER PRIMARY KEY (rowid=?)"},
        {sql::kPendingTargets, "SEARCH Targets USING INDEX TargetsPending (Completed=?)"},
        {sql::kPendingTarget, "SEARCH Targets USING INTEGER PRIMARY KEY (rowid=?)"},
        {sql::kMarkTargetCompleted, "SEARCH Targets USING INTEGER PRIMARY KEY (rowid=?)"},
        {sql::kIsBlocked, "SEARCH BlockedSites USING COVERING INDEX"},
        {sql::kRouteByURL, "SEARCH Routes USING INDEX"},
        {sql::kTargetByURL, "SEARCH Targets USING INDEX"},
    };
    SQLite::Database db(templatePath(), SQLite::OPEN_READONLY);
    for (const auto& c : cases) {
        const std::string plan = planOf(db, c.statement);
        EXPECT_THAT(plan, HasSubstr(c.access)) << c.statement;
        EXPECT_THAT(plan, Not(HasSubstr("TEMP B-TREE"))) << c.statement;
    }
}

}  // namespace
}  // namespace gleanery::testing
