#pragma once
// The one scenario helper of the live scans: a job in a temporary folder that
// scans a site of the test's own server (LiveSite: pages, files; the server:
// statuses, redirects, stalls) over real connections, with messages answered
// by the test and a clock that stands still. A test builds the site, sets the
// settings, runs the scan to rest and compares routes, targets and files.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <climits>
#include <map>
#include <optional>

#include "common/live_site.h"
#include "common/manual_clock.h"
#include "common/scripted_messages.h"
#include "engine/fetch_completion_watch.h"
#include "engine/job_session.h"
#include "engine/network_fetch.h"
#include "engine/scan_notices.h"

namespace gleanery::test {

// Result of a route or target that has not been closed yet.
inline constexpr int kOpen = INT_MIN;
// Routes or targets by path (other sites' by URL) with their results.
using Results = std::map<std::string, int>;

class LiveScan : public ::testing::Test {
protected:
    // The job as a window opens it, pointed at the server.
    LiveScan() {
        qputenv("GLEANERY_HOME", GLEANERY_TEST_DATA_DIR);
        session = std::make_unique<JobSession>(
            messages, clock, [](int) { return makeNetworkFetch(); }, kConnectionCount);
        session->open(inDir("job.glf"));
        showScanNotices(scan(), messages, Qt::DirectConnection);
        settings().setText(Field::txtLocation, server.url("/"));
        setOutputs(out(), out(), "0");
    }

    // Begins (or resumes) and runs the event loop until the scan has come to
    // rest; fails when it does not, or when "Site Scanned" was not told
    // `siteScanned` times in all by then.
    ::testing::AssertionResult scanToRest(bool fresh = true, int siteScanned = 1,
                                          std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        fresh ? scan().begin() : scan().resume();
        if (!runToRest(limit)) return ::testing::AssertionFailure() << "no rest; status: " << scan().status();
        if (messages.count("Site Scanned") != siteScanned)
            return ::testing::AssertionFailure() << "Site Scanned told " << messages.count("Site Scanned") << " times";
        return ::testing::AssertionSuccess();
    }
    void setOutputs(const std::string& primary, const std::string& secondary, const std::string& floorMb) {
        settings().setText(Field::txtSaveLocation, primary);
        settings().setText(Field::txtSaveLocation2, secondary);
        settings().setText(Field::txtSpacePrimary, floorMb);
        settings().setText(Field::txtSpaceSecondary, floorMb);
    }
    bool runToRest(std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        return spinUntil([this] { return scan().state() == ScanState::Idle; }, limit);
    }

    // The rest of a scan: its routes and targets (unless the test leaves them
    // open), every file of the site fetched once and stored with its bytes,
    // and no temporary file left in the mirror.
    void expectOutcome(const std::optional<Results>& routeResults, const std::optional<Results>& targetResults) {
        EXPECT_EQ(routes(), routeResults.value_or(routes()));
        EXPECT_EQ(targets(), targetResults.value_or(targets()));
        expectFetchedOnce(site.files());
        EXPECT_TRUE(temporaryFilesUnder(inDir("")).empty());
    }
    void expectFetchedOnce(const std::vector<std::string>& paths, const std::string& folder = {}) {
        const Results done = targets();
        for (const std::string& p : paths) {
            SCOPED_TRACE(p);
            EXPECT_EQ(server.hits(p), 1);
            EXPECT_EQ(done.count(p) ? done.at(p) : 0, 200);
            EXPECT_EQ(readFile(siteFile(p, folder)), LiveSite::fileBytes(p));
        }
    }

    std::string inDir(const std::string& name) const {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
    std::string out() const { return inDir("out"); }
    // Where the mirror in folder (the output folder by default) keeps a path of the server.
    std::string siteFile(const std::string& path, const std::string& folder = {}) const {
        return (folder.empty() ? out() : folder) + "/127.0.0.1:" + std::to_string(server.port()) + path;
    }
    bool stored(const std::string& path) const { return QFile::exists(QString::fromStdString(siteFile(path))); }
    // A URL of the server by its path; other URLs as they are.
    std::string pathOf(const std::string& url) const {
        return url.rfind(server.baseUrl(), 0) == 0 ? url.substr(server.baseUrl().size()) : url;
    }
    Results routes() {
        Results m;
        for (const RouteRow& r : store().allRoutes()) m[pathOf(r.URL)] = r.Scanned ? r.Result : kOpen;
        return m;
    }
    Results targets() {
        Results m;
        for (const TargetRow& t : store().allTargets()) m[pathOf(t.URL)] = t.Completed ? t.Result : kOpen;
        return m;
    }
    // Long enough that a busy machine does not turn a slow answer into a timeout.
    void setIdleTimeouts(std::chrono::seconds limit = std::chrono::seconds(1)) {
        for (int slot = 1; slot <= kConnectionCount; ++slot) fetch(slot).setIdleTimeout(limit);
    }

    JobSettings& settings() { return session->settings(); }
    ScanController& scan() { return session->scan(); }
    WorkStore& store() { return session->store(); }
    NetworkFetch& fetch(int slot) { return static_cast<NetworkFetch&>(scan().connection(slot)); }

    QTemporaryDir dir;
    TestServer server;
    LiveSite site{server};
    testing::ScriptedMessages messages;
    testing::ManualClock clock;
    std::unique_ptr<JobSession> session;
};

}  // namespace gleanery::test
