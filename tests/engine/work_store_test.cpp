// The job's work store: its path, creation, refusals, queues, batches, other processes and query plans.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <SQLiteCpp/SQLiteCpp.h>

#include <csignal>
#include <string>
#include <vector>

#include "common/files.h"
#include "engine/work_store.h"
#include "engine/work_store_schema.h"
#include "support/text.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace gleanery::testing {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;

class WorkStoreTest : public ::testing::Test {
protected:
    std::string file(const std::string& name) const { return folder_.path().toStdString() + "/" + name; }
    const std::string& templatePath() {
        if (template_.empty()) WorkStore::createTemplate(template_ = file("BLANK.GLD"));
        return template_;
    }
    std::string storePath() const { return file("job.GLD"); }
    void openStore() { store.open(storePath(), templatePath()); }
    void reopenStore() {
        store.close();
        openStore();
    }

    WorkStore store;

private:
    QTemporaryDir folder_;
    std::string template_;
};

// Why the store refused to open the file, or "opened".
std::string refusal(WorkStore& store, const std::string& path, const std::string& templateFile) {
    try {
        store.open(path, templateFile);
    } catch (const WorkStoreError& e) {
        EXPECT_FALSE(store.isOpen());
        return e.what();
    }
    return "opened";
}

TEST(WorkStorePathTest, SetupExtensionBecomesGLDAndAnyOtherNameGetsItAppended) {
    const std::pair<const char*, const char*> cases[] = {
        {"/home/u/site.glf", "/home/u/site.GLD"},
        {"x.GlF", "x.GLD"},
        {"jobs/site", "jobs/site.GLD"},  // stays in its folder
        {"a.b", "a.b.GLD"},              // not a.GLD: a.b and a.c keep stores of their own
        {"/home/u/site.glf.bak", "/home/u/site.glf.bak.GLD"}};
    for (const auto& [setupFile, path] : cases) EXPECT_EQ(WorkStore::storePathFor(setupFile), path) << setupFile;
}

TEST_F(WorkStoreTest, NewStoreComesFromTheTemplateOrElseTheSchemaAndIsItsOwnersOnly) {
    // A marker row in the template shows that the new store was copied from it.
    WorkStore blank;
    blank.open(templatePath(), "");
    blank.insertBlockedSite("marker.example");
    blank.close();
    openStore();
    EXPECT_TRUE(store.isBlocked("marker.example"));
    store.close();
    store.open(file("direct.GLD"), file("no-such-template.GLD"));
    EXPECT_TRUE(store.insertRoute("http://a.example/", "", 1));
    EXPECT_NE(store.insertTarget("http://a.example/f.zip", "http://a.example/", "/out/f.zip"), 0);
    store.insertBlockedSite("b.example");
    EXPECT_TRUE(store.isBlocked("b.example"));
    EXPECT_FALSE(FileExists(file("direct.GLD.new")));
    // Queued URLs carry the site password.
    for (const std::string& path : {storePath(), file("direct.GLD")}) EXPECT_EQ(test::fileMode(path), 0600u) << path;
}

// Rows written outside the program: as BLOBs by earlier versions (whose
// tables had no ETag yet), or as plain text by the user in the sqlite3 shell.
// Both are found by their text and keep their URL unique, the user's own
// query finds the program's rows, and an earlier store learns to keep ETags.
TEST_F(WorkStoreTest, RowsWrittenOutsideAreFoundByTheirText) {
    const std::string url = "http://a.example/\xfc";  // not UTF-8
    for (const auto& [name, before, after] :
         {std::tuple{"earlier.GLD", "CAST('", "' AS BLOB)"}, std::tuple{"shell.GLD", "'", "'"}}) {
        SCOPED_TRACE(name);
        const std::string path = file(name);
        store.open(path, templatePath());
        store.close();
        {
            const auto value = [&](const std::string& text) { return before + text + after; };
            SQLite::Database db(path, SQLite::OPEN_READWRITE);
            if (std::string_view(name) == "earlier.GLD")
                for (const char* table : {"Routes", "Targets"})
                    db.exec(std::string("ALTER TABLE ") + table + " DROP COLUMN ETag");
            const std::string referrer = value("http://r.example/");
            db.exec("INSERT INTO Routes (URL, Referrer) VALUES (" + value(url) + ", " + referrer + ")");
            db.exec("INSERT INTO Targets (URL, Referrer, File) VALUES (" + value(url) + ", " + referrer + ", " +
                    value("/out/f") + ")");
            db.exec("INSERT INTO BlockedSites (Domain) VALUES (" + value("ads.example") + ")");
        }
        store.open(path, templatePath());
        ASSERT_TRUE(store.route(url));
        EXPECT_EQ(store.route(url)->Referrer, "http://r.example/");
        EXPECT_EQ(store.target(url)->File, "/out/f");
        EXPECT_FALSE(store.insertRoute(url, "", 1));
        EXPECT_EQ(store.insertTarget(url, "", ""), 0);
        EXPECT_TRUE(store.isBlocked("ads.example"));
        store.markTargetCompleted(store.target(url)->TargetID, 304, "\"e1\"");
        EXPECT_EQ(store.target(url)->ETag, "\"e1\"");
        EXPECT_TRUE(store.insertRoute("http://b.example/", "", 1));
        store.close();
        SQLite::Database db(path, SQLite::OPEN_READONLY);
        EXPECT_EQ(db.execAndGet("SELECT count(*) FROM Routes WHERE URL = 'http://b.example/'").getInt(), 1);
    }
}

TEST_F(WorkStoreTest, UnusableFilesGiveAReadableReasonAndAreLeftUnchanged) {
    test::writeFile(file("text.GLD"), std::string(5000, 'x'));
    test::writeFile(file("header.GLD"), std::string("SQLite format 3", 16) + std::string(4000, '\x7f'));
    SQLite::Database(file("foreign.GLD"), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE)
        .exec("CREATE TABLE Routes (x); CREATE TABLE Targets (y)");
    test::writeFile(file("plain"), "a file where a folder should be: refused for every user, root included");
    const std::pair<const char*, const char*> cases[] = {
        {"text.GLD", "damaged or is not a work store"},
        {"header.GLD", "damaged or is not a work store"},
        {"foreign.GLD", "is not a Gleanery work store: it has no table BlockedSites"},
        {"plain/job.GLD", "cannot be created: Not a directory"}};
    for (const auto& [name, reason] : cases) {
        const std::string path = file(name);
        EXPECT_THAT(refusal(store, path, templatePath()), AllOf(HasSubstr("\"" + path + "\""), HasSubstr(reason)));
    }
    SQLite::Database foreign(file("foreign.GLD"), SQLite::OPEN_READONLY);
    EXPECT_EQ(foreign.execAndGet("PRAGMA journal_mode").getString(), "delete");
    EXPECT_FALSE(foreign.tableExists("BlockedSites"));
}

TEST_F(WorkStoreTest, ReadOnlyFilesAndFoldersGiveAReadableReason) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    ASSERT_EQ(::mkdir(file("locked").c_str(), 0555), 0);
    for (const std::string& templateFile : {templatePath(), file("missing.GLD")})
        EXPECT_THAT(refusal(store, file("locked/job.GLD"), templateFile),
                    HasSubstr("cannot be created: Permission denied"));
    openStore();
    store.close();
    ASSERT_EQ(::chmod(storePath().c_str(), 0444), 0);
    EXPECT_THAT(refusal(store, storePath(), templatePath()),
                HasSubstr("cannot be written: the file or its folder is read-only"));
}

TEST_F(WorkStoreTest, KnownURLsAreRefusedTargetsPendUntilCompletedAndOnlyExactDomainsAreBlocked) {
    openStore();
    EXPECT_TRUE(store.insertRoute("http://a.example/", "", 1));
    EXPECT_FALSE(store.insertRoute("http://a.example/", "http://other.example/", 5));
    store.markRouteScanned(store.nextRoute(true)->RouteID, 200);
    EXPECT_FALSE(store.insertRoute("http://a.example/", "", 1));  // scanned or not
    EXPECT_TRUE(store.insertRoute("http://a.example/next", "http://a.example/", 1));
    EXPECT_EQ(store.route("http://a.example/")->Referrer, "");
    const auto one = store.insertTarget("http://a.example/1.zip", "http://a.example/", "/out/1.zip");
    EXPECT_EQ(store.insertTarget("http://a.example/1.zip", "http://b.example/", "/out/x.zip"), 0);
    const auto two = store.insertTarget("http://a.example/2.zip", "http://a.example/", "/out/2.zip");
    // A URL may be both a page and a file: the tables are separate.
    const auto three = store.insertTarget("http://a.example/", "", "/out/index");
    EXPECT_TRUE(0 < one && one < two && two < three) << one << " " << two << " " << three;
    store.markTargetCompleted(two, 404);
    const auto pending = store.pendingTargets();
    ASSERT_EQ(pending.size(), 2u);
    EXPECT_EQ(pending[0].TargetID, one);
    EXPECT_EQ(pending[0].Referrer, "http://a.example/");
    EXPECT_EQ(pending[1].TargetID, three);
    EXPECT_EQ(store.pendingTarget(one)->File, "/out/1.zip");
    EXPECT_FALSE(store.pendingTarget(two));
    EXPECT_FALSE(store.pendingTarget(0));  // what a refused insert returns
    EXPECT_EQ(store.countTargets(), 3);

    // Blocked domains are compared as exact bytes through a bound parameter,
    // so quotes and SQL in a domain are only text.
    const char* hostile[] = {"evil\".example", "x\" OR 1=1 --", "a'; DROP TABLE Routes; --",
                             "a\"; DELETE FROM BlockedSites; --"};
    for (const char* domain : {"ads.example", hostile[0], hostile[2]}) store.insertBlockedSite(domain);
    for (const char* domain : {"ADS.example", "ads.example ", "example", "", hostile[1], hostile[3]})
        EXPECT_FALSE(store.isBlocked(domain)) << domain;
    for (const char* domain : {"ads.example", hostile[0], hostile[2]}) EXPECT_TRUE(store.isBlocked(domain)) << domain;
    EXPECT_EQ(store.countRoutes(), 2);
}

TEST_F(WorkStoreTest, TheSchedulerTakesTheHighestPriorityFirstThenTheNewestOrTheOldest) {
    using Urls = std::vector<std::string>;
    const std::pair<const char*, int> links[] = {{"a", 1}, {"b", 2}, {"c", 1}, {"d", 2}, {"e", -1}, {"f", 0}};
    openStore();
    for (const auto& [newest, expected] :
         {std::pair{true, Urls{"d", "b", "c", "a", "f", "e"}}, std::pair{false, Urls{"b", "d", "a", "c", "f", "e"}}}) {
        store.deleteAllRoutes();
        for (const auto& [url, priority] : links) store.insertRoute(url, "", priority);
        // Pages on their way already are passed over.
        const std::vector<std::int64_t> onTheirWay{store.route(expected[0])->RouteID, store.route("e")->RouteID};
        EXPECT_EQ(store.nextRoute(newest, onTheirWay)->URL, expected[1]);
        Urls taken;  // as the scheduler takes them, marking each scanned
        while (const auto route = store.nextRoute(newest)) {
            taken.push_back(route->URL);
            store.markRouteScanned(route->RouteID, 200);
        }
        EXPECT_EQ(taken, expected) << (newest ? "newest first" : "oldest first");
    }
}

// Every row survives a reopen byte for byte; after Begin empties the queues,
// new rows get identifiers never handed out before, and the blocked domains stay.
TEST_F(WorkStoreTest, RowsSurviveAReopenByteForByteAndIdentifiersAreNeverReused) {
    const std::vector<std::string> urls = {
        "http://a.example/\xfc",  // Latin-1 u-umlaut: not UTF-8
        "http://a.example/ab",
        "http://a.example/a",   // a prefix of the one before
        "http://a.example/A",   // case counts
        "http://a.example/a ",  // so does a trailing blank
    };
    openStore();
    for (const auto& url : urls) {
        EXPECT_TRUE(store.insertRoute(url, url + "#from", 1));
        EXPECT_NE(store.insertTarget(url, url + "#from", "/out/" + url), 0);
    }
    store.markRouteScanned(store.route(urls[1])->RouteID, 200);
    store.markTargetCompleted(store.target(urls[2])->TargetID, 404);
    store.insertBlockedSite("b.example");
    reopenStore();
    const auto routes = store.allRoutes();
    const auto targets = store.allTargets();
    ASSERT_EQ(routes.size(), urls.size());
    ASSERT_EQ(targets.size(), urls.size());
    for (std::size_t i = 0; i < urls.size(); ++i) {
        EXPECT_EQ(routes[i].URL, urls[i]);
        EXPECT_EQ(routes[i].Referrer, urls[i] + "#from");
        EXPECT_EQ(store.route(urls[i])->RouteID, routes[i].RouteID);
        EXPECT_EQ(targets[i].File, "/out/" + urls[i]);
        EXPECT_EQ(routes[i].Result, i == 1 ? 200 : 0);
        EXPECT_EQ(targets[i].Result, i == 2 ? 404 : 0);
    }
    EXPECT_EQ(store.countUnscannedRoutes(), 4);
    EXPECT_EQ(store.pendingTargets().size(), 4u);
    store.deleteAllRoutes();  // Begin
    store.deleteAllTargets();
    reopenStore();
    EXPECT_TRUE(store.isBlocked("b.example"));
    EXPECT_TRUE(store.insertRoute(urls[0], "", 1));
    EXPECT_GT(store.route(urls[0])->RouteID, routes.back().RouteID);
    EXPECT_GT(store.insertTarget(urls[0], "", "/out/f"), targets.back().TargetID);
}

// One page's writes (its links and the mark of its own route) land together
// or not at all: a batch not committed (whatever a batch joining it does) or
// one open when the store closes is lost whole, and the store goes on.
TEST_F(WorkStoreTest, APageBatchLandsWholeOrNotAtAll) {
    openStore();
    store.insertRoute("http://a.example/", "", 1);
    const auto pageId = store.nextRoute(true)->RouteID;
    const auto writePage = [&] {
        store.insertRoute("http://a.example/b", "http://a.example/", 1);
        store.insertTarget("http://a.example/f.zip", "http://a.example/", "/out/f.zip");
        store.markRouteScanned(pageId, 200);
    };
    const auto expectLost = [&] {
        EXPECT_EQ(store.countRoutes(), 1);
        EXPECT_EQ(store.countTargets(), 0);
        EXPECT_FALSE(store.route("http://a.example/")->Scanned);
    };
    {
        WorkStore::Batch page(store);
        {
            WorkStore::Batch inner(store);  // joins the open one, which decides
            writePage();
            inner.commit();
        }
        EXPECT_EQ(store.countRoutes(), 2);  // visible inside the batch
    }
    expectLost();
    {
        WorkStore::Batch page(store);
        writePage();
        reopenStore();
        expectLost();
        page.commit();  // belongs to the closed store: nothing to commit here
        store.insertRoute("http://a.example/c", "", 1);
        reopenStore();
        EXPECT_EQ(store.countRoutes(), 2);
    }
    WorkStore::Batch retry(store);
    writePage();
    retry.commit();
    reopenStore();
    EXPECT_EQ(store.countRoutes(), 3);
    EXPECT_TRUE(store.route("http://a.example/")->Scanned);
}

// Runs in the forked child, which never returns into the test framework.
// Tells the parent '1' once it holds the store idle, waits for a byte, then
// tells '2' once it is in the middle of a page, and waits to be killed.
[[noreturn]] void holdStore(const std::string& path, int toParent, int fromParent) {
    char step = '0';
    try {
        static WorkStore held;  // never destroyed: the child is killed holding it
        held.open(path, "");
        {
            WorkStore::Batch page(held);
            held.insertRoute("http://a.example/committed", "http://a.example/", 1);
            held.insertTarget("http://a.example/committed.zip", "http://a.example/", "/out/c.zip");
            page.commit();
        }
        step = '1';
        (void)!::write(toParent, &step, 1);
        (void)!::read(fromParent, &step, 1);
        static WorkStore::Batch unfinished(held);
        held.insertRoute("http://a.example/lost", "http://a.example/", 1);
        held.markRouteScanned(held.route("http://a.example/")->RouteID, 200);
        step = '2';
    } catch (...) {
        step = '0';
    }
    (void)!::write(toParent, &step, 1);
    for (;;) ::pause();
}

// The store is held by one connection at a time: a second one, in this
// process or another, is refused while the first goes on. When the other
// process is killed in the middle of a page, the store opens again with every
// committed page and nothing of the interrupted one.
TEST_F(WorkStoreTest, OneConnectionHoldsTheStoreAndAKillMidPageLosesOnlyThatPage) {
    openStore();
    WorkStore second;
    EXPECT_THAT(refusal(second, storePath(), templatePath()),
                AllOf(HasSubstr("The job is in use"), HasSubstr(storePath())));
    EXPECT_TRUE(store.insertRoute("http://a.example/", "", 1));
    // Closed, so that this process keeps no state of the file in memory and
    // the refusal below comes from the other process's lock.
    store.close();
    int up[2];
    int down[2];
    ASSERT_EQ(::pipe(up), 0);
    ASSERT_EQ(::pipe(down), 0);
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) holdStore(storePath(), up[1], down[0]);
    char step = 0;
    std::string refused;
    if (::read(up[0], &step, 1) == 1 && step == '1') {
        refused = refusal(store, storePath(), templatePath());  // while the other holds it idle
        (void)!::write(down[1], &step, 1);
        (void)!::read(up[0], &step, 1);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    for (const int fd : {up[0], up[1], down[0], down[1]}) ::close(fd);
    ASSERT_EQ(step, '2') << "the other process could not use the store";
    EXPECT_THAT(refused, HasSubstr("The job is in use"));
    second.open(storePath(), templatePath());
    EXPECT_TRUE(second.route("http://a.example/committed"));
    EXPECT_TRUE(second.target("http://a.example/committed.zip"));
    EXPECT_FALSE(second.route("http://a.example/lost"));
    EXPECT_FALSE(second.route("http://a.example/")->Scanned);
    EXPECT_EQ(second.countRoutes(), 2);
}

// Every statement of a scan's hot path finds its rows through a key or an
// index, and neither ordering of the scheduler needs a sort, so a large scan
// takes its next route as fast as a small one.
TEST_F(WorkStoreTest, HotStatementsUseKeysAndIndexesWithoutSorting) {
    namespace sql = work_store_sql;
    const std::pair<const char*, const char*> cases[] = {
        {sql::kNextRouteNewest, "SCAN Routes USING INDEX RoutesByPriority"},
        {sql::kNextRouteOldest, "SCAN Routes USING INDEX RoutesByPriorityDesc"},
        {sql::kMarkRouteScanned, "SEARCH Routes USING INTEGER PRIMARY KEY (rowid=?)"},
        {sql::kPendingTargets, "SEARCH Targets USING INDEX TargetsPending (Completed=?)"},
        {sql::kPendingTarget, "SEARCH Targets USING INTEGER PRIMARY KEY (rowid=?)"},
        {sql::kMarkTargetCompleted, "SEARCH Targets USING INTEGER PRIMARY KEY (rowid=?)"},
        {sql::kIsBlocked, "SEARCH BlockedSites USING COVERING INDEX"},
        {sql::kRouteByURL, "SEARCH Routes USING INDEX"},
        {sql::kTargetByURL, "SEARCH Targets USING INDEX"}};
    SQLite::Database db(templatePath(), SQLite::OPEN_READONLY);
    for (const auto& [statement, access] : cases) {
        SQLite::Statement explain(db, std::string("EXPLAIN QUERY PLAN ") + statement);
        std::string plan;
        while (explain.executeStep()) plan += explain.getColumn(3).getString() + "\n";
        EXPECT_THAT(plan, AllOf(HasSubstr(access), ::testing::Not(HasSubstr("TEMP B-TREE")))) << statement;
    }
}

}  // namespace
}  // namespace gleanery::testing
