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

// Queued URLs carry the site password: a new store is its owner's only.
void expectPrivate(const std::string& path) {
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << path;
}

TEST(WorkStorePathTest, SetupExtensionBecomesGLDAndAnyOtherNameGetsItAppended) {
    const struct {
        const char* setupFile;
        const char* store;
    } cases[] = {
        {"/home/u/site.glf", "/home/u/site.GLD"},
        {"x.GLF", "x.GLD"},
        {"/home/u/site.Glf", "/home/u/site.GLD"},
        {"jobs/site", "jobs/site.GLD"},  // stays in its folder
        {"a.b", "a.b.GLD"},              // a.b and c.d keep stores of their own
        {"c.d", "c.d.GLD"},
        {"/home/u/site.html", "/home/u/site.html.GLD"},
        {"/home/u/site.glf.bak", "/home/u/site.glf.bak.GLD"},
        {"ab", "ab.GLD"},
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
    EXPECT_TRUE(store.isBlocked("marker.example"));
    EXPECT_EQ(store.countRoutes(), 0);
    expectPrivate(storePath());
}

TEST_F(WorkStoreOpenTest, MissingTemplateCreatesTheSchemaDirectly) {
    store.open(storePath(), file("no-such-template.GLD"));
    EXPECT_TRUE(store.insertRoute("http://a.example/", "", 1));
    EXPECT_NE(store.insertTarget("http://a.example/f.zip", "http://a.example/", "/out/f.zip"), 0);
    store.insertBlockedSite("b.example");
    EXPECT_TRUE(store.isBlocked("b.example"));
    EXPECT_FALSE(FileExists(storePath() + ".new"));
    expectPrivate(storePath());
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
    ASSERT_TRUE(store.target("http://a.example/f.zip"));
    EXPECT_EQ(store.target("http://a.example/f.zip")->Result, 404);
    EXPECT_TRUE(store.pendingTargets().empty());
    EXPECT_TRUE(store.isBlocked("b.example"));
}

// Rows written outside the program: as BLOBs by earlier versions, or as
// plain text by the user in the sqlite3 shell. Both are found by their text
// and keep their URL unique, and the user's own query finds the program's rows.
TEST_F(WorkStoreOpenTest, RowsWrittenOutsideAreFoundByTheirText) {
    const struct {
        const char* name;
        const char* before;
        const char* after;
    } cases[] = {
        {"earlier.GLD", "CAST('", "' AS BLOB)"},
        {"shell.GLD", "'", "'"},
    };
    const std::string url = "http://a.example/\xfc";  // not UTF-8
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = file(c.name);
        store.open(path, templatePath());
        store.close();
        {
            const auto value = [&](const std::string& text) { return c.before + text + c.after; };
            SQLite::Database db(path, SQLite::OPEN_READWRITE);
            db.exec("INSERT INTO Routes (URL, Referrer) VALUES (" + value(url) + ", " + value("http://r.example/") +
                    ")");
            db.exec("INSERT INTO Targets (URL, Referrer, File) VALUES (" + value(url) + ", " +
                    value("http://r.example/") + ", " + value("/out/f") + ")");
            db.exec("INSERT INTO BlockedSites (Domain) VALUES (" + value("ads.example") + ")");
        }
        store.open(path, templatePath());
        ASSERT_TRUE(store.route(url));
        EXPECT_EQ(store.route(url)->Referrer, "http://r.example/");
        EXPECT_EQ(store.target(url)->File, "/out/f");
        EXPECT_FALSE(store.insertRoute(url, "", 1));
        EXPECT_EQ(store.insertTarget(url, "", ""), 0);
        EXPECT_TRUE(store.isBlocked("ads.example"));
        EXPECT_TRUE(store.insertRoute("http://b.example/", "", 1));
        store.close();

        SQLite::Database db(path, SQLite::OPEN_READONLY);
        EXPECT_EQ(db.execAndGet("SELECT count(*) FROM Routes WHERE URL = 'http://b.example/'").getInt(), 1);
    }
}

void writeFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

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

TEST_F(WorkStoreOpenTest, UnusableFilesGiveAReadableReason) {
    const struct {
        const char* name;
        std::function<void(const std::string&)> make;
        const char* reason;
    } cases[] = {
        {"text.GLD", [](const std::string& p) { writeFile(p, std::string(5000, 'x')); },
         "damaged or is not a work store"},
        {"header.GLD",
         [](const std::string& p) { writeFile(p, std::string("SQLite format 3", 16) + std::string(4000, '\x7f')); },
         "damaged or is not a work store"},
        {"foreign.GLD",
         [](const std::string& p) {
             SQLite::Database db(p, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
             db.exec("CREATE TABLE Routes (x); CREATE TABLE Targets (y)");
         },
         "is not a Gleanery work store: it has no table BlockedSites"},
        // A "folder" that is a plain file fails for every user, root included.
        {"plain/job.GLD", [](const std::string& p) { writeFile(p.substr(0, p.rfind('/')), "x"); },
         "cannot be created: Not a directory"},
    };
    for (const auto& c : cases) {
        const std::string path = file(c.name);
        c.make(path);
        EXPECT_THAT(refusal(store, path, templatePath()), AllOf(HasSubstr("\"" + path + "\""), HasSubstr(c.reason)));
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

TEST_F(WorkStoreOpenTest, ReadOnlyFilesAndFoldersGiveAReadableReason) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    const std::string folder = file("locked");
    ASSERT_EQ(::mkdir(folder.c_str(), 0555), 0);
    for (const std::string& templateFile : {templatePath(), file("missing.GLD")})
        EXPECT_THAT(refusal(store, folder + "/job.GLD", templateFile),
                    HasSubstr("cannot be created: Permission denied"));

    openStore();
    store.close();
    ASSERT_EQ(::chmod(storePath().c_str(), 0444), 0);
    EXPECT_THAT(refusal(store, storePath(), templatePath()),
                HasSubstr("cannot be written: the file or its folder is read-only"));
}

TEST_F(WorkStoreOpenTest, SecondConnectionIsRefusedAndTheFirstGoesOn) {
    openStore();
    WorkStore second;
    EXPECT_THAT(refusal(second, storePath(), templatePath()),
                AllOf(HasSubstr("The job is in use"), HasSubstr(storePath())));
    EXPECT_TRUE(store.insertRoute("http://a.example/", "", 1));
    store.close();
    second.open(storePath(), templatePath());
    EXPECT_EQ(second.countRoutes(), 1);
}

}  // namespace
}  // namespace gleanery::testing
