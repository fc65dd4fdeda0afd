// Opening a job's work store: created from the template or directly, reused
// with its rows, refused with a readable reason when it cannot be used.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <SQLiteCpp/SQLiteCpp.h>

#include <fstream>
#include <functional>

#include "engine/work_store.h"
#include "support/text.h"
#include "engine/work_store_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

namespace gleanery::testing {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;

TEST(WorkStorePathTest, LastThreeCharactersBecomeGLD) {
    const struct {
        const char* setupFile;
        const char* store;
    } cases[] = {
        {"/home/u/site.glf", "/home/u/site.GLD"},
        {"/home/u/site.html", "/home/u/site.hGLD"},  // a longer extension keeps its head
        {"/home/u/site.gl", "/home/u/siteGLD"},      // a shorter one loses the dot too
        {"abc", "GLD"},
        {"ab", "ab.GLD"},
        {"", ".GLD"},
    };
    for (const auto& c : cases) EXPECT_EQ(WorkStore::storePathFor(c.setupFile), c.store) << c.setupFile;
}

using WorkStoreOpenTest = WorkStoreTest;

TEST_F(WorkStoreOpenTest, NewStoreIsACopyOfTheTemplate) {
    // A marker row in the template shows that the new store was copied from it.
    WorkStore blank;
    blank.open(templatePath(), "");
    blank.insertBlockedSite("marker.example");
    blank.close();

    ASSERT_FALSE(FileExists(storePath()));
    openStore();
    EXPECT_TRUE(store.isOpen());
    EXPECT_EQ(store.path(), storePath());
    EXPECT_TRUE(store.isBlocked("marker.example"));
    EXPECT_EQ(store.countRoutes(), 0);
}

TEST_F(WorkStoreOpenTest, MissingTemplateCreatesTheSchemaDirectly) {
    store.open(storePath(), file("no-such-template.GLD"));
    EXPECT_TRUE(store.insertRoute("http://a.example/", "", 1));
    EXPECT_NE(store.insertTarget("http://a.example/f.zip", "http://a.example/", "/out/f.zip"), 0);
    store.insertBlockedSite("b.example");
    EXPECT_TRUE(store.isBlocked("b.example"));
    EXPECT_FALSE(FileExists(storePath() + ".new"));
}

TEST_F(WorkStoreOpenTest, ReopeningKeepsEveryRow) {
    openStore();
    store.insertRoute("http://a.example/", "", 1);
    store.insertRoute("http://a.example/b", "http://a.example/", 1);
    const auto routeId = store.nextRoute(false)->RouteID;
    store.markRouteScanned(routeId, 200);
    const auto targetId = store.insertTarget("http://a.example/f.zip", "http://a.example/", "/out/f.zip");
    store.markTargetCompleted(targetId, 404);
    store.insertBlockedSite("b.example");

    reopenStore();
    ASSERT_EQ(store.countRoutes(), 2);
    EXPECT_EQ(store.countUnscannedRoutes(), 1);
    EXPECT_EQ(store.route("http://a.example/")->Result, 200);
    const auto target = store.target("http://a.example/f.zip");
    ASSERT_TRUE(target);
    EXPECT_TRUE(target->Completed);
    EXPECT_EQ(target->Result, 404);
    EXPECT_EQ(target->File, "/out/f.zip");
    EXPECT_TRUE(store.isBlocked("b.example"));
}

TEST_F(WorkStoreOpenTest, ClosedStoreRefusesStatements) {
    EXPECT_FALSE(store.isOpen());
    EXPECT_EQ(store.path(), "");
    EXPECT_THROW(store.insertRoute("http://a.example/", "", 1), WorkStoreError);
    EXPECT_THROW(store.nextRoute(true), WorkStoreError);
    WorkStore::Batch batch(store);  // does nothing on a closed store
    batch.commit();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST_F(WorkStoreOpenTest, UnusableFilesGiveAReadableReason) {
    const struct {
        const char* name;
        std::function<void(const std::string&)> make;
        const char* reason;
    } cases[] = {
        {"text.GLD", [](const std::string& p) { writeFile(p, std::string(5000, 'x')); }, "damaged or is not a work store"},
        {"header.GLD",
         [](const std::string& p) { writeFile(p, std::string("SQLite format 3", 16) + std::string(4000, '\x7f')); },
         "damaged or is not a work store"},
        {"foreign.GLD",
         [](const std::string& p) {
             SQLite::Database db(p, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
             db.exec("CREATE TABLE Routes (x); CREATE TABLE Targets (y)");
         },
         "is not a Gleanery work store: it has no table BlockedSites"},
    };
    for (const auto& c : cases) {
        const std::string path = file(c.name);
        c.make(path);
        try {
            store.open(path, templatePath());
            ADD_FAILURE() << c.name << " was opened";
        } catch (const WorkStoreError& e) {
            EXPECT_THAT(e.what(), AllOf(HasSubstr("\"" + path + "\""), HasSubstr(c.reason))) << c.name;
        }
        EXPECT_FALSE(store.isOpen());
    }
}

TEST_F(WorkStoreOpenTest, ForeignDatabaseIsLeftUnchanged) {
    const std::string path = file("foreign.GLD");
    {
        SQLite::Database db(path, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec("CREATE TABLE Other (x)");
    }
    EXPECT_THROW(store.open(path, templatePath()), WorkStoreError);
    SQLite::Database db(path, SQLite::OPEN_READONLY);
    EXPECT_EQ(db.execAndGet("PRAGMA journal_mode").getString(), "delete");
    EXPECT_FALSE(db.tableExists("Routes"));
}

TEST_F(WorkStoreOpenTest, FolderThatCannotHoldTheStoreGivesAReadableReason) {
    // A "folder" that is a plain file fails for every user, root included.
    writeFile(file("plain"), "x");
    const std::string path = file("plain/job.GLD");
    try {
        store.open(path, templatePath());
        FAIL() << "opened";
    } catch (const WorkStoreError& e) {
        EXPECT_THAT(e.what(), AllOf(HasSubstr("\"" + path + "\""), HasSubstr("cannot be created: Not a directory")));
    }
    EXPECT_FALSE(store.isOpen());
}

TEST_F(WorkStoreOpenTest, ReadOnlyFilesAndFoldersGiveAReadableReason) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    const std::string folder = file("locked");
    ASSERT_EQ(::mkdir(folder.c_str(), 0555), 0);
    for (const std::string& templateFile : {templatePath(), file("missing.GLD")}) {
        try {
            store.open(folder + "/job.GLD", templateFile);
            ADD_FAILURE() << "opened";
        } catch (const WorkStoreError& e) {
            EXPECT_THAT(e.what(), HasSubstr("cannot be created: Permission denied"));
        }
    }

    openStore();
    store.close();
    ASSERT_EQ(::chmod(storePath().c_str(), 0444), 0);
    try {
        openStore();
        ADD_FAILURE() << "opened";
    } catch (const WorkStoreError& e) {
        EXPECT_THAT(e.what(), HasSubstr("cannot be written: the file or its folder is read-only"));
    }

    // A store in a folder that became read-only: its journal cannot be made.
    const std::string lockedStore = folder + "/old.GLD";
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    store.open(lockedStore, templatePath());
    store.close();
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    try {
        store.open(lockedStore, templatePath());
        ADD_FAILURE() << "opened";
    } catch (const WorkStoreError& e) {
        EXPECT_THAT(e.what(), HasSubstr("\"" + lockedStore + "\" cannot be"));
    }
}

TEST_F(WorkStoreOpenTest, SecondConnectionIsRefusedAndTheFirstGoesOn) {
    openStore();
    WorkStore second;
    try {
        second.open(storePath(), templatePath());
        FAIL() << "a second connection opened the store";
    } catch (const WorkStoreError& e) {
        EXPECT_THAT(e.what(), AllOf(HasSubstr("The job is in use"), HasSubstr(storePath())));
    }
    EXPECT_FALSE(second.isOpen());
    EXPECT_TRUE(store.insertRoute("http://a.example/", "", 1));
    store.close();
    second.open(storePath(), templatePath());
    EXPECT_EQ(second.countRoutes(), 1);
}

}  // namespace
}  // namespace gleanery::testing
