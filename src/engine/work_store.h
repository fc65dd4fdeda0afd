#pragma once
// The job's work queue on disk: pages still to scan (Routes), files still to
// download (Targets) and the domains the user blocked (BlockedSites). One
// SQLite file beside the job's setup file, so a stopped scan resumes later.

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace SQLite {
class Database;
}

namespace gleanery {

struct RouteRow {
    std::int64_t RouteID = 0;
    std::string URL;
    std::string Referrer;
    bool Scanned = false;
    int Priority = 0;
    int Result = 0;
    std::string ETag;  // of the last answer that named one
};

struct TargetRow {
    std::int64_t TargetID = 0;
    std::string URL;
    std::string Referrer;
    std::string File;
    bool Completed = false;
    int Result = 0;
    std::string ETag;
};

// A store that cannot be opened or created; what() is a sentence for the user.
class WorkStoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class WorkStore {
public:
    WorkStore();
    ~WorkStore();
    WorkStore(const WorkStore&) = delete;
    WorkStore& operator=(const WorkStore&) = delete;

    // The store of a setup file: its name with a ".glf" extension, in any
    // case, replaced by ".GLD" (site.glf -> site.GLD); any other name gets
    // ".GLD" appended (jobs/site -> jobs/site.GLD, a.b -> a.b.GLD).
    static std::string storePathFor(const std::string& setupFile);
    // Writes an empty store with the schema (the template BLANK.GLD).
    static void createTemplate(const std::string& path);

    // Opens an existing store (checking that it is one), or creates it from
    // the template, or, when the template is missing, directly with the
    // schema. Holds the store exclusively until close, so another process
    // (or connection) cannot open it meanwhile. Throws WorkStoreError when
    // the store cannot be opened, is not a work store or is in use.
    void open(const std::string& path, const std::string& templatePath);
    void close();
    bool isOpen() const;
    const std::string& path() const;

    // Begin: empty the two queue tables (BlockedSites stays).
    void deleteAllRoutes();
    void deleteAllTargets();
    // A refresh: every route and target is to be done again, keeping what
    // the last scan learnt of it (result, ETag).
    void requeueAll();

    // A new unscanned route. False when the store refuses it (URL already held).
    bool insertRoute(const std::string& url, const std::string& referrer, int priority);
    // The unscanned route of highest priority; among equals the newest
    // (newestFirst) or the oldest. Routes in skip (on their way already) are
    // passed over. nullopt when none is left.
    std::optional<RouteRow> nextRoute(bool newestFirst, const std::vector<std::int64_t>& skip = {});
    void markRouteScanned(std::int64_t routeId, int result, const std::string& etag = {});

    // A new pending target; its TargetID, or 0 when refused (URL already held).
    // Identifiers increase and are never reused, but may skip numbers.
    std::int64_t insertTarget(const std::string& url, const std::string& referrer, const std::string& file);
    // Every target not yet completed, in TargetID order.
    std::vector<TargetRow> pendingTargets();
    // The target with that identifier when it is still pending.
    std::optional<TargetRow> pendingTarget(std::int64_t targetId);
    void markTargetCompleted(std::int64_t targetId, int result, const std::string& etag = {});

    // True when the URL is a route or a target.
    bool holds(const std::string& url);

    void insertBlockedSite(const std::string& domain);
    bool isBlocked(const std::string& domain);

    // All writes between construction and commit() land together or not at
    // all: one page's new routes and targets and the mark of its own route.
    // Batches do not nest; a second one while one is open joins it. On a
    // closed store a batch does nothing and each write fails on its own.
    class Batch {
    public:
        explicit Batch(WorkStore& store);
        ~Batch();  // rolls back unless committed
        void commit();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        WorkStore* store_;
        // The open store whose transaction this batch began; 0 when it began
        // none. A store closed and opened again is another session.
        std::uint64_t session_ = 0;
        bool done_ = false;
    };

    // Row counts and whole rows, for statistics, tests and diagnostics.
    std::int64_t countRoutes();
    std::int64_t countUnscannedRoutes();
    std::int64_t countTargets();
    std::optional<RouteRow> route(const std::string& url);
    std::optional<TargetRow> target(const std::string& url);
    std::vector<RouteRow> allRoutes();
    std::vector<TargetRow> allTargets();

private:
    struct Impl;
    // The open store's state; throws when no store is open.
    Impl& live();
    std::unique_ptr<Impl> d_;
};

}  // namespace gleanery
