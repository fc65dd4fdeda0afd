// The program without windows: usage, exit codes, settings given on the
// command line, a real scan of a local site, a stop by signal (SIGINT and
// SIGTERM share one handler), and a kill outright that --resume finishes with
// every file complete and no partial file left.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <memory>

#include "common/live_site.h"
#include "engine/work_store.h"
#include "job/job_settings.h"
#include "job/setup_file.h"

namespace gleanery::test {
namespace {

struct ProcessResult {
    int exitCode = -1;
    std::string out, err;
};

class HeadlessScan : public ::testing::Test {
protected:
    // Starts the program; with an error file its stderr goes there, not to a pipe.
    QProcess* start(const QStringList& args, const QString& errorFile = {}) {
        auto* p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("GLEANERY_HOME", GLEANERY_TEST_DATA_DIR);
        p->setProcessEnvironment(env);
        if (!errorFile.isEmpty()) p->setStandardErrorFile(errorFile);
        p->start(GLEANERY_BINARY, args);
        EXPECT_TRUE(p->waitForStarted(10000));
        return p;
    }
    ProcessResult finish(QProcess* p) {
        EXPECT_TRUE(p->waitForFinished(60000));
        ProcessResult r{p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1,
                        p->readAllStandardOutput().toStdString(), p->readAllStandardError().toStdString()};
        delete p;
        return r;
    }
    ProcessResult run(const QStringList& args) { return finish(start(args)); }
    QString file(const char* name) const { return dir.filePath(name); }
    // An action on the job of a setup file that scans the location into "out".
    QStringList scan(const char* action, const char* setup, const std::string& location,
                     const QStringList& more = {}) const {
        return QStringList{action, file(setup), "--set", QString::fromStdString("txtLocation=" + location)} + more +
               QStringList{"--set", "txtSaveLocation=" + file("out"),
                           "--set", "txtSaveLocation2=" + file("out"),
                           "--set", "txtSpacePrimary=0",
                           "--set", "txtSpaceSecondary=0"};
    }
    std::unique_ptr<WorkStore> storeOf(const char* setup) const {
        auto store = std::make_unique<WorkStore>();
        store->open(WorkStore::storePathFor(file(setup).toStdString()), "");
        return store;
    }

    QTemporaryDir dir;
    TestServer server;
};

// Usage, start addresses and a scan to the end, each with its exit code and what it tells.
TEST_F(HeadlessScan, ExitCodesTellHowTheRunEnded) {
    server.page("/", "<html>hello <img src=\"gone.gif\"></html>");
    const struct {
        QStringList args;
        int exitCode;
        std::vector<std::string> told;  // on stderr, on stdout for --help
    } cases[] = {
        {{"--help"}, 0, {"--begin SETUP.glf"}},
        {{"--begin", file("a.glf"), "--set", "noSuchField=1"}, 2, {"no setting named noSuchField"}},
        {{"--begin", file("new.glf")}, 2, {"start address"}},
        {scan("--begin", "bad.glf", "ftp://x"), 2, {"http:// or https://"}},
        {scan("--begin", "a.glf", "http://x/", {"--depth", "22"}), 2, {"--depth takes one of 0 1 2"}},
        {scan("--begin", "bad.glf", "http://127.0.0.1:1/"), 4, {"Pages 1, 1 failed"}},  // nothing listens on port 1
        {scan("--begin", "bad.glf", server.url("/missing.html")), 8, {"Pages 1, 1 failed"}},
        // A missing file of a page does not fail the scan, but is counted.
        {scan("--begin", "site.glf", server.url("/")),
         0,
         {"Site Scanned", "Pages 1, 0 failed | Files 1, 1 failed", "Status: Execution Stopped"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ProcessResult r = run(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        for (const std::string& told : c.told) EXPECT_NE((r.err + r.out).find(told), std::string::npos) << r.err;
    }
    // A job without address still gets its setup file.
    EXPECT_TRUE(QFile::exists(file("new.glf")));
    // The settings given are saved; the scan is in the store.
    JobSettings saved;
    restoreSettings(saved, file("site.glf").toStdString());
    EXPECT_EQ(saved.text(Field::txtLocation), server.url("/"));
    EXPECT_EQ(storeOf("site.glf")->route(server.url("/"))->Result, 200);
}

// A grab makes its job in its folder the first time and resumes it after:
// the second run fetches nothing the first one stored.
TEST_F(HeadlessScan, AGrabMakesItsJobOnceAndResumesItAfter) {
    server.page("/", "<html><img src=\"a.gif\"></html>");
    server.page("/a.gif", "GIF89a", "image/gif");
    for (int run = 0; run < 2; ++run) {
        const ProcessResult r = this->run({"grab", QString::fromStdString(server.url("/")), file("mirror")});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.err.find("Site Scanned"), std::string::npos) << r.err;
    }
    EXPECT_EQ(server.hits("/a.gif"), 1);
    EXPECT_TRUE(QFile::exists(file("mirror/127.0.0.1_" + QByteArray::number(server.port()) + ".glf")));
    EXPECT_TRUE(QFile::exists(file("mirror/127.0.0.1:" + QByteArray::number(server.port()) + "/a.gif")));
}

TEST_F(HeadlessScan, SignalEndsAScanPausedForItsHours) {
    server.page("/", "<html>never fetched</html>");
    QProcess* p = start(scan("--begin", "paused.glf", server.url("/"), {"--set", "chkHour=0"}));
    p->setReadChannel(QProcess::StandardError);
    while (!p->peek(1 << 16).contains("Pausing scan due to time restrictions")) ASSERT_TRUE(p->waitForReadyRead(10000));
    ::kill(pid_t(p->processId()), SIGINT);
    const ProcessResult stopped = finish(p);
    EXPECT_EQ(stopped.exitCode, 3) << stopped.err;
    EXPECT_EQ(server.hits("/"), 0);
    EXPECT_NE(readFile(file("paused.glf").toStdString()).find("txtDLDate="), std::string::npos);
}

using ScanKillResume = HeadlessScan;

TEST_F(ScanKillResume, ResumeAfterSigkillCompletesEveryFileWithoutPartialFiles) {
    LiveSite site(server);
    const auto delay = std::chrono::milliseconds(100);
    site.page("/", {"more.html"}, site.numberedFiles("a", 20, delay));
    site.page("/more.html", site.numberedFiles("b", 20, delay));

    QProcess* begun = start(scan("--begin", "job.glf", server.url("/")), file("begin.err"));
    for (int waited = 0; site.filesRequested() < 5 && waited < 20000; waited += 5) QThread::msleep(5);
    ASSERT_GE(site.filesRequested(), 5) << readFile(file("begin.err").toStdString());
    ::kill(pid_t(begun->processId()), SIGKILL);
    EXPECT_EQ(finish(begun).exitCode, -1);  // a crash exit
    ASSERT_FALSE(storeOf("job.glf")->pendingTargets().empty()) << "the scan ended before the kill";

    const ProcessResult resumed = finish(start({"--resume", file("job.glf")}, file("resume.err")));
    EXPECT_EQ(resumed.exitCode, 0) << readFile(file("resume.err").toStdString());

    const std::unique_ptr<WorkStore> store = storeOf("job.glf");
    for (const RouteRow& r : store->allRoutes()) EXPECT_EQ(r.Scanned ? r.Result : 0, 200) << r.URL;
    EXPECT_EQ(store->allRoutes().size(), 2u);
    EXPECT_EQ(store->allTargets().size(), site.files().size());
    EXPECT_TRUE(store->pendingTargets().empty());
    const std::string mirror = file("out").toStdString() + "/127.0.0.1:" + std::to_string(server.port());
    for (const std::string& path : site.files()) {
        SCOPED_TRACE(path);
        EXPECT_EQ(store->target(server.url(path)) ? store->target(server.url(path))->Result : 0, 200);
        EXPECT_EQ(readFile(mirror + path), LiveSite::fileBytes(path));
    }
    EXPECT_EQ(temporaryFilesUnder(file("out").toStdString()), std::vector<std::string>{});
}

}  // namespace
}  // namespace gleanery::test
