#pragma once
// The work store's one schema and its statements. The store, the template
// written at build time and the tests that check the query plans all read
// these texts, so they cannot drift apart.
//
// Texts (URLs, referrers, file names, domains) are TEXT holding the exact
// bytes, whatever their encoding. They are bound as std::string, which
// SQLiteCpp hands over as TEXT of the string's full length, and read back
// with the value's byte count. SQLite does not check UTF-8 and its BINARY
// collation compares byte for byte, so uniqueness is byte for byte too. TEXT
// rather than BLOB lets a user's own query in the sqlite3 shell, or a domain
// the user blocked there, meet the program's rows: SQLite never takes a TEXT
// value for equal to a BLOB one.
//
// Identifiers use AUTOINCREMENT so that a number is never handed out twice in
// one file, also after Begin has emptied a table: a completion that arrives
// late for an old RouteID or TargetID can then never mark a newer row.
//
// The partial indexes hold only the rows still to be done. The scheduler's two
// orderings are both plain index walks, with the rowid breaking ties:
// RoutesByPriority read backwards gives Priority DESC, RouteID DESC (newest
// first); RoutesByPriorityDesc read forwards gives Priority DESC, RouteID ASC
// (oldest first). Neither needs a sort, so taking the next route stays
// O(log n) however large the scan grows.

namespace gleanery::work_store_sql {

inline constexpr const char* kSchema = R"sql(
CREATE TABLE Routes (
    RouteID  INTEGER PRIMARY KEY AUTOINCREMENT,
    URL      TEXT NOT NULL UNIQUE,
    Referrer TEXT NOT NULL DEFAULT '',
    Scanned  INTEGER NOT NULL DEFAULT 0,
    Priority INTEGER NOT NULL DEFAULT 0,
    Result   INTEGER NOT NULL DEFAULT 0,
    ETag     TEXT NOT NULL DEFAULT ''
);
CREATE INDEX RoutesByPriority ON Routes (Priority) WHERE Scanned = 0;
CREATE INDEX RoutesByPriorityDesc ON Routes (Priority DESC) WHERE Scanned = 0;

CREATE TABLE Targets (
    TargetID  INTEGER PRIMARY KEY AUTOINCREMENT,
    URL       TEXT NOT NULL UNIQUE,
    Referrer  TEXT NOT NULL DEFAULT '',
    File      TEXT NOT NULL DEFAULT '',
    Completed INTEGER NOT NULL DEFAULT 0,
    Result    INTEGER NOT NULL DEFAULT 0,
    ETag      TEXT NOT NULL DEFAULT ''
);
CREATE INDEX TargetsPending ON Targets (Completed) WHERE Completed = 0;

CREATE TABLE BlockedSites (
    Domain TEXT NOT NULL UNIQUE
);
)sql";

inline constexpr const char* kStoreTables[] = {"Routes", "Targets", "BlockedSites"};

// Stores written by earlier versions hold their texts as BLOBs, which no
// TEXT key finds again and which would take a second row with the same URL.
// Opening turns them into TEXT with the same bytes (CAST keeps them as they
// are in a UTF-8 database). Should the user have added the same text by hand
// meanwhile, the converted row, which carries the scan's state, replaces it.
// Rows already TEXT are left alone, so this is a scan without writes once a
// store has been converted.
inline constexpr const char* kBlobsToText = R"sql(
UPDATE OR REPLACE Routes SET URL = CAST(URL AS TEXT), Referrer = CAST(Referrer AS TEXT)
    WHERE typeof(URL) = 'blob' OR typeof(Referrer) = 'blob';
UPDATE OR REPLACE Targets
    SET URL = CAST(URL AS TEXT), Referrer = CAST(Referrer AS TEXT), File = CAST(File AS TEXT)
    WHERE typeof(URL) = 'blob' OR typeof(Referrer) = 'blob' OR typeof(File) = 'blob';
UPDATE OR REPLACE BlockedSites SET Domain = CAST(Domain AS TEXT) WHERE typeof(Domain) = 'blob';
)sql";

inline constexpr const char* kDeleteAllRoutes = "DELETE FROM Routes";
inline constexpr const char* kDeleteAllTargets = "DELETE FROM Targets";
// A refresh asks for every page and file of the last scan again.
inline constexpr const char* kRequeueAll = "UPDATE Routes SET Scanned = 0; UPDATE Targets SET Completed = 0;";

// Stores written before validators were kept get the column, empty.
inline constexpr const char* kHasETag = "SELECT count(*) FROM pragma_table_info(?) WHERE name = 'ETag'";
inline constexpr const char* kAddETag[] = {"ALTER TABLE Routes ADD COLUMN ETag TEXT NOT NULL DEFAULT ''",
                                           "ALTER TABLE Targets ADD COLUMN ETag TEXT NOT NULL DEFAULT ''"};

inline constexpr const char* kInsertRoute = "INSERT OR IGNORE INTO Routes (URL, Referrer, Priority) VALUES (?, ?, ?)";
inline constexpr const char* kNextRouteNewest =
    "SELECT RouteID, URL, Referrer, Scanned, Priority, Result, ETag FROM Routes"
    " WHERE Scanned = 0 ORDER BY Priority DESC, RouteID DESC LIMIT ?";
inline constexpr const char* kNextRouteOldest =
    "SELECT RouteID, URL, Referrer, Scanned, Priority, Result, ETag FROM Routes"
    " WHERE Scanned = 0 ORDER BY Priority DESC, RouteID ASC LIMIT ?";
inline constexpr const char* kMarkRouteScanned =
    "UPDATE Routes SET Scanned = 1, Result = ?, ETag = ? WHERE RouteID = ?";

inline constexpr const char* kInsertTarget = "INSERT OR IGNORE INTO Targets (URL, Referrer, File) VALUES (?, ?, ?)";
inline constexpr const char* kPendingTargets =
    "SELECT TargetID, URL, Referrer, File, Completed, Result, ETag FROM Targets"
    " WHERE Completed = 0 ORDER BY TargetID";
inline constexpr const char* kPendingTarget =
    "SELECT TargetID, URL, Referrer, File, Completed, Result, ETag FROM Targets"
    " WHERE Completed = 0 AND TargetID = ?";
inline constexpr const char* kMarkTargetCompleted =
    "UPDATE Targets SET Completed = 1, Result = ?, ETag = ? WHERE TargetID = ?";

inline constexpr const char* kInsertBlockedSite = "INSERT OR IGNORE INTO BlockedSites (Domain) VALUES (?)";
inline constexpr const char* kIsBlocked = "SELECT 1 FROM BlockedSites WHERE Domain = ? LIMIT 1";

inline constexpr const char* kHolds =
    "SELECT 1 FROM Routes WHERE URL = ?1 UNION ALL SELECT 1 FROM Targets WHERE URL = ?1 LIMIT 1";

inline constexpr const char* kCountRoutes = "SELECT count(*) FROM Routes";
inline constexpr const char* kCountUnscannedRoutes = "SELECT count(*) FROM Routes WHERE Scanned = 0";
inline constexpr const char* kCountTargets = "SELECT count(*) FROM Targets";
inline constexpr const char* kRouteByURL =
    "SELECT RouteID, URL, Referrer, Scanned, Priority, Result, ETag FROM Routes WHERE URL = ?";
inline constexpr const char* kTargetByURL =
    "SELECT TargetID, URL, Referrer, File, Completed, Result, ETag FROM Targets WHERE URL = ?";
inline constexpr const char* kAllRoutes =
    "SELECT RouteID, URL, Referrer, Scanned, Priority, Result, ETag FROM Routes ORDER BY RouteID";
inline constexpr const char* kAllTargets =
    "SELECT TargetID, URL, Referrer, File, Completed, Result, ETag FROM Targets ORDER BY TargetID";

}  // namespace gleanery::work_store_sql
