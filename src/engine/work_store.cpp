#include "engine/work_store.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

#include "engine/work_store_schema.h"
#include "job/setup_file.h"
#include "support/text.h"

namespace gleanery {

namespace sql = work_store_sql;
namespace fs = std::filesystem;

namespace {

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

std::string readOnlyFailure(const std::string& path) {
    return "The work store " + quoted(path) + " cannot be written: the file or its folder is read-only.";
}

// A failure to open an existing store, told in the user's terms.
std::string openFailure(const std::string& path, const SQLite::Exception& e) {
    const std::string store = "The work store " + quoted(path);
    switch (e.getErrorCode()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "The job is in use: its work store " + quoted(path) + " is held by another Gleanery window or process.";
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT: return store + " cannot be opened: the file is damaged or is not a work store.";
    case SQLITE_READONLY: return readOnlyFailure(path);
    case SQLITE_CANTOPEN:
    case SQLITE_PERM: return store + " cannot be opened: the file or its folder cannot be accessed.";
    case SQLITE_FULL: return store + " cannot be opened: the disk is full.";
    default: return store + " cannot be opened: " + e.what() + ".";
    }
}

std::string textAt(const SQLite::Statement& statement, int index) {
    const SQLite::Column column = statement.getColumn(index);
    const char* text = column.getText();  // before getBytes(), as SQLite asks
    return std::string(text, static_cast<std::size_t>(column.getBytes()));
}

// Resets a statement when the caller is done with it, also on an exception,
// so that no half-read selection keeps a read transaction open.
class InUse {
public:
    explicit InUse(SQLite::Statement& statement) : statement_(statement) {}
    ~InUse() { statement_.tryReset(); }
    InUse(const InUse&) = delete;
    InUse& operator=(const InUse&) = delete;

private:
    SQLite::Statement& statement_;
};

// Columns in the order of the selections in work_store_schema.h.
RouteRow routeAt(const SQLite::Statement& s) {
    return RouteRow{
        s.getColumn(0).getInt64(), textAt(s, 1), textAt(s, 2), s.getColumn(3).getInt() != 0, s.getColumn(4).getInt(),
        s.getColumn(5).getInt(),   textAt(s, 6)};
}

TargetRow targetAt(const SQLite::Statement& s) {
    return TargetRow{s.getColumn(0).getInt64(), textAt(s, 1), textAt(s, 2), textAt(s, 3), s.getColumn(4).getInt() != 0,
                     s.getColumn(5).getInt(),   textAt(s, 6)};
}

// Why a file could not be made, in a few words.
std::string reasonOf(const std::exception& e) {
    if (const auto* fileError = dynamic_cast<const fs::filesystem_error*>(&e)) return fileError->code().message();
    return e.what();
}

void writeEmptyStore(const std::string& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
    fs::remove(path + "-journal", ignored);
    // Made empty first, so that a refusal comes with the system's reason;
    // SQLite takes an empty file for an empty database.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0) throw fs::filesystem_error("create", path, std::error_code(errno, std::generic_category()));
    ::close(fd);
    SQLite::Database db(path, SQLite::OPEN_READWRITE);
    SQLite::Transaction transaction(db);
    db.exec(sql::kSchema);
    transaction.commit();
}

// A new store is built under a side name and renamed into place, so that an
// interrupted creation never leaves a half-made store under the real name.
void createStoreFile(const std::string& path, const std::string& templatePath) {
    const std::string fresh = path + ".new";
    std::error_code ignored;
    try {
        if (FileExists(templatePath))
            fs::copy_file(templatePath, fresh, fs::copy_options::overwrite_existing);
        else
            writeEmptyStore(fresh);
        // The queued URLs carry the site password, so the store is its owner's
        // only; written, too, when the template is installed read-only.
        fs::permissions(fresh, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
        fs::rename(fresh, path);
    } catch (const std::exception& e) {
        fs::remove(fresh, ignored);
        throw WorkStoreError("The work store " + quoted(path) + " cannot be created: " + reasonOf(e) + ".");
    }
}

SQLite::Database openLocked(const std::string& path) {
    SQLite::Database db(path, SQLite::OPEN_READWRITE);
    // SQLite quietly falls back to reading a write-protected file.
    if (sqlite3_db_readonly(db.getHandle(), "main") == 1) throw WorkStoreError(readOnlyFailure(path));
    // One robot per job: the exclusive lock, taken by the write transaction
    // below and kept until close, makes a second process's open fail at once
    // (busy timeout 0) instead of two scans interleaving in one queue.
    db.exec("PRAGMA locking_mode = EXCLUSIVE");
    db.exec("BEGIN IMMEDIATE");
    for (const char* table : sql::kStoreTables) {
        if (!db.tableExists(table)) {
            throw WorkStoreError("The file " + quoted(path) + " is not a Gleanery work store: it has no table " +
                                 table + ".");
        }
    }
    db.exec(sql::kBlobsToText);
    for (std::size_t i = 0; i < 2; ++i) {
        SQLite::Statement hasETag(db, sql::kHasETag);
        hasETag.bind(1, sql::kStoreTables[i]);
        if (hasETag.executeStep() && hasETag.getColumn(0).getInt() == 0) db.exec(sql::kAddETag[i]);
    }
    db.exec("COMMIT");
    // WAL with synchronous=NORMAL: every commit is in the operating system's
    // hands before COMMIT returns, so killing the program loses nothing that
    // was committed; a power failure or system crash may lose the last few
    // commits but never corrupts the file. A full sync per commit would cost
    // a disk flush for every page and every finished download. Switched only
    // after the check above, so a foreign database is left as it was.
    db.exec("PRAGMA journal_mode = WAL");
    db.exec("PRAGMA synchronous = NORMAL");
    return db;
}

}  // namespace

struct WorkStore::Impl {
    explicit Impl(const std::string& file)
        : path(file),
          db(openLocked(file)),
          insertRoute(db, sql::kInsertRoute),
          nextRouteNewest(db, sql::kNextRouteNewest),
          nextRouteOldest(db, sql::kNextRouteOldest),
          markRouteScanned(db, sql::kMarkRouteScanned),
          insertTarget(db, sql::kInsertTarget),
          pendingTarget(db, sql::kPendingTarget),
          markTargetCompleted(db, sql::kMarkTargetCompleted),
          isBlocked(db, sql::kIsBlocked),
          holds(db, sql::kHolds) {}

    std::int64_t count(const char* query) { return db.execAndGet(query).getInt64(); }

    template <class Row, class Read>
    std::vector<Row> rows(const char* query, Read read) {
        SQLite::Statement statement(db, query);
        std::vector<Row> result;
        while (statement.executeStep()) result.push_back(read(statement));
        return result;
    }

    template <class Row, class Read>
    std::optional<Row> byURL(const char* query, const std::string& url, Read read) {
        SQLite::Statement statement(db, query);
        statement.bind(1, url);
        if (!statement.executeStep()) return std::nullopt;
        return read(statement);
    }

    std::string path;
    SQLite::Database db;
    // The statements of the scan's hot path, prepared once per open store.
    SQLite::Statement insertRoute;
    SQLite::Statement nextRouteNewest;
    SQLite::Statement nextRouteOldest;
    SQLite::Statement markRouteScanned;
    SQLite::Statement insertTarget;
    SQLite::Statement pendingTarget;
    SQLite::Statement markTargetCompleted;
    SQLite::Statement isBlocked;
    SQLite::Statement holds;
    const std::uint64_t session = ++sessions;
    bool inBatch = false;

private:
    static inline std::uint64_t sessions = 0;
};

WorkStore::WorkStore() = default;
WorkStore::~WorkStore() = default;

std::string WorkStore::storePathFor(const std::string& setupFile) { return besideSetupFile(setupFile, ".GLD"); }

void WorkStore::createTemplate(const std::string& path) {
    try {
        writeEmptyStore(path);
    } catch (const std::exception& e) {
        throw WorkStoreError("The work store template " + quoted(path) + " cannot be written: " + reasonOf(e) + ".");
    }
}

void WorkStore::open(const std::string& path, const std::string& templatePath) {
    close();
    if (!FileExists(path)) createStoreFile(path, templatePath);
    try {
        d_ = std::make_unique<Impl>(path);
    } catch (const SQLite::Exception& e) {
        throw WorkStoreError(openFailure(path, e));
    }
}

void WorkStore::close() { d_.reset(); }

bool WorkStore::isOpen() const { return d_ != nullptr; }

const std::string& WorkStore::path() const {
    static const std::string none;
    return d_ ? d_->path : none;
}

WorkStore::Impl& WorkStore::live() {
    if (!d_) throw WorkStoreError("No work store is open.");
    return *d_;
}

void WorkStore::deleteAllRoutes() { live().db.exec(sql::kDeleteAllRoutes); }

void WorkStore::deleteAllTargets() { live().db.exec(sql::kDeleteAllTargets); }

void WorkStore::requeueAll() { live().db.exec(sql::kRequeueAll); }

bool WorkStore::insertRoute(const std::string& url, const std::string& referrer, int priority) {
    SQLite::Statement& s = live().insertRoute;
    InUse use(s);
    s.bind(1, url);
    s.bind(2, referrer);
    s.bind(3, priority);
    return s.exec() == 1;
}

std::optional<RouteRow> WorkStore::nextRoute(bool newestFirst, const std::vector<std::int64_t>& skip) {
    Impl& d = live();
    SQLite::Statement& s = newestFirst ? d.nextRouteNewest : d.nextRouteOldest;
    InUse use(s);
    // Walks no further than past the skipped routes, along the index.
    s.bind(1, std::int64_t(skip.size()) + 1);
    while (s.executeStep()) {
        RouteRow route = routeAt(s);
        if (std::find(skip.begin(), skip.end(), route.RouteID) == skip.end()) return route;
    }
    return std::nullopt;
}

void WorkStore::markRouteScanned(std::int64_t routeId, int result, const std::string& etag) {
    SQLite::Statement& s = live().markRouteScanned;
    InUse use(s);
    s.bind(1, result);
    s.bind(2, etag);
    s.bind(3, routeId);
    s.exec();
}

std::int64_t WorkStore::insertTarget(const std::string& url, const std::string& referrer, const std::string& file) {
    Impl& d = live();
    SQLite::Statement& s = d.insertTarget;
    InUse use(s);
    s.bind(1, url);
    s.bind(2, referrer);
    s.bind(3, file);
    return s.exec() == 1 ? d.db.getLastInsertRowid() : 0;
}

std::vector<TargetRow> WorkStore::pendingTargets() { return live().rows<TargetRow>(sql::kPendingTargets, targetAt); }

std::optional<TargetRow> WorkStore::pendingTarget(std::int64_t targetId) {
    SQLite::Statement& s = live().pendingTarget;
    InUse use(s);
    s.bind(1, targetId);
    if (!s.executeStep()) return std::nullopt;
    return targetAt(s);
}

void WorkStore::markTargetCompleted(std::int64_t targetId, int result, const std::string& etag) {
    SQLite::Statement& s = live().markTargetCompleted;
    InUse use(s);
    s.bind(1, result);
    s.bind(2, etag);
    s.bind(3, targetId);
    s.exec();
}

void WorkStore::insertBlockedSite(const std::string& domain) {
    SQLite::Statement statement(live().db, sql::kInsertBlockedSite);
    statement.bind(1, domain);
    statement.exec();
}

bool WorkStore::isBlocked(const std::string& domain) {
    SQLite::Statement& s = live().isBlocked;
    InUse use(s);
    s.bind(1, domain);
    return s.executeStep();
}

bool WorkStore::holds(const std::string& url) {
    SQLite::Statement& s = live().holds;
    InUse use(s);
    s.bind(1, url);
    return s.executeStep();
}

std::int64_t WorkStore::countRoutes() { return live().count(sql::kCountRoutes); }

std::int64_t WorkStore::countUnscannedRoutes() { return live().count(sql::kCountUnscannedRoutes); }

std::int64_t WorkStore::countTargets() { return live().count(sql::kCountTargets); }

std::optional<RouteRow> WorkStore::route(const std::string& url) {
    return live().byURL<RouteRow>(sql::kRouteByURL, url, routeAt);
}

std::optional<TargetRow> WorkStore::target(const std::string& url) {
    return live().byURL<TargetRow>(sql::kTargetByURL, url, targetAt);
}

std::vector<RouteRow> WorkStore::allRoutes() { return live().rows<RouteRow>(sql::kAllRoutes, routeAt); }

std::vector<TargetRow> WorkStore::allTargets() { return live().rows<TargetRow>(sql::kAllTargets, targetAt); }

// On a closed store, or when the transaction cannot begin, the batch does
// nothing and each write commits on its own.
WorkStore::Batch::Batch(WorkStore& store) : store_(&store) {
    Impl* d = store.d_.get();
    if (!d || d->inBatch) return;
    if (d->db.tryExec("BEGIN IMMEDIATE") != SQLITE_OK) return;
    d->inBatch = true;
    session_ = d->session;
}

WorkStore::Batch::~Batch() {
    Impl* d = store_->d_.get();
    if (done_ || !d || d->session != session_ || !d->inBatch) return;
    d->db.tryExec("ROLLBACK");
    d->inBatch = false;
}

void WorkStore::Batch::commit() {
    Impl* d = store_->d_.get();
    if (done_ || !d || d->session != session_ || !d->inBatch) return;
    d->db.exec("COMMIT");
    d->inBatch = false;
    done_ = true;
}

}  // namespace gleanery
