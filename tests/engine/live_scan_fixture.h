#pragma once
// A job in a temporary folder that scans a site of the test's own server over
// real connections, with messages answered by the test and a clock that
// stands still; the event loop runs for real, with bounded waits.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <chrono>
#include <climits>
#include <map>
#include <memory>
#include <string>

#include "common/manual_clock.h"
#include "common/scripted_messages.h"
#include "common/test_server.h"
#include "engine/fetch_completion_watch.h"
#include "engine/job_session.h"
#include "engine/live_site.h"
#include "engine/network_fetch.h"
#include "engine/scan_notices.h"

namespace gleanery::test {

// Result of a route or target that has not been closed yet.
inline constexpr int kOpen = INT_MIN;

class LiveScan : public ::testing::Test {
protected:
    LiveScan() {
        qputenv("GLEANERY_HOME", GLEANERY_TEST_DATA_DIR);
        openSession();
    }

    // Opens the job as a newly opened window would: a new session on the same
    // setup file and work store, pointed at the server.
    void openSession() {
        session.reset();
        session = std::make_unique<JobSession>(
            messages, clock, [](int) { return makeNetworkFetch(); }, kConnectionCount);
        session->open(inDir("job.glf"));
        showScanNotices(scan(), messages, Qt::DirectConnection);
        JobSettings& s = settings();
        s.setText(Field::txtLocation, server.url("/"));
        s.setText(Field::txtSaveLocation, out());
        s.setText(Field::txtSaveLocation2, out());
        s.setText(Field::txtSpacePrimary, "0");
        s.setText(Field::txtSpaceSecondary, "0");
    }

    // Runs the event loop until the robot has come to rest (stop completed).
    bool runToRest(std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        return spinUntil([this] { return (scan().state() == ScanState::Idle); }, limit);
    }

    std::string inDir(const std::string& name) const {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
    std::string out() const { return inDir("out"); }
    // Where the mirror keeps the URL path of the server.
    std::string siteFile(const std::string& path) const {
        return out() + "/127.0.0.1:" + std::to_string(server.port()) + path;
    }
    // A URL of the server by its path; other URLs as they are.
    std::string pathOf(const std::string& url) const {
        return url.rfind(server.baseUrl(), 0) == 0 ? url.substr(server.baseUrl().size()) : url;
    }

    // Routes and targets by path with their Result, kOpen while not closed.
    std::map<std::string, int> routes() {
        std::map<std::string, int> m;
        for (const RouteRow& r : store().allRoutes()) m[pathOf(r.URL)] = r.Scanned ? r.Result : kOpen;
        return m;
    }
    std::map<std::string, int> targets() {
        std::map<std::string, int> m;
        for (const TargetRow& t : store().allTargets()) m[pathOf(t.URL)] = t.Completed ? t.Result : kOpen;
        return m;
    }

    // Every path downloaded once, completed with 200 and stored with its bytes.
    void expectAllDownloadedOnce(const std::vector<std::string>& paths) {
        const std::map<std::string, int> done = targets();
        for (const std::string& p : paths) {
            SCOPED_TRACE(p);
            EXPECT_EQ(server.hits(p), 1);
            EXPECT_EQ(done.count(p) ? done.at(p) : 0, 200);
            EXPECT_EQ(readFile(siteFile(p)), LiveSite::fileBytes(p));
        }
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
