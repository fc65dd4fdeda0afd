// The program without windows: usage, exit codes, settings given on the
// command line, a real scan of a local site, and a graceful stop by signal
// that a later --resume finishes.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QThread>
#include <QTemporaryDir>
#include <csignal>
#include <fstream>

#include "common/test_server.h"
#include "engine/work_store.h"
#include "job/job_settings.h"
#include "job/setup_file.h"

namespace gleanery {
namespace {

struct ProcessResult {
    int exitCode = -1;
    std::string out, err;
};

class HeadlessScan : public ::testing::Test {
protected:
    QProcess* start(const QStringList& args) {
        auto* p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("GLEANERY_HOME", GLEANERY_TEST_DATA_DIR);
        p->setProcessEnvironment(env);
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
    QStringList scanSettings() const {
        return {"--set", "txtSaveLocation=" + file("out"),
                "--set", "txtSaveLocation2=" + file("out"),
                "--set", "txtSpacePrimary=0",
                "--set", "txtSpaceSecondary=0"};
    }

    QTemporaryDir dir;
    test::TestServer server;
};

TEST_F(HeadlessScan, HelpAndBadUsage) {
    const ProcessResult help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--begin SETUP.glf"), std::string::npos);
    EXPECT_EQ(run({"--begin", file("a.glf"), "--set", "noSuchField=1"}).exitCode, 2);
}

TEST_F(HeadlessScan, JobWithoutAddressIsBadUsageButItsSetupFileIsCreated) {
    const ProcessResult r = run({"--begin", file("new.glf")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("start address"), std::string::npos);
    EXPECT_TRUE(QFile::exists(file("new.glf")));
    EXPECT_EQ(QFile::permissions(file("new.glf")) & (QFile::ReadOther | QFile::ReadGroup), 0);
}

TEST_F(HeadlessScan, ScansASiteToTheEndAndSavesTheSettingsGiven) {
    server.page("/", "<html>hello <img src=\"gone.gif\"></html>");
    const ProcessResult r = run(
        QStringList{"--begin", file("site.glf"), "--set", QString::fromStdString("txtLocation=" + server.url("/"))} +
        scanSettings());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("Site Scanned"), std::string::npos);
    // A missing file of a page does not fail the scan, but is counted.
    EXPECT_NE(r.err.find("Pages 1, 0 failed | Files 1, 1 failed"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Status: Execution Stopped"), std::string::npos);

    JobSettings saved;
    restoreSettings(saved, file("site.glf").toStdString());
    EXPECT_EQ(saved.text(Field::txtLocation), server.url("/"));
    WorkStore store;
    store.open(WorkStore::storePathFor(file("site.glf").toStdString()), "");
    EXPECT_EQ(store.route(server.url("/"))->Result, 200);
}

TEST_F(HeadlessScan, StartAddressThatCannotBeScannedSetsTheExitCode) {
    const struct {
        std::string location;
        int exitCode;
        const char* told;
    } cases[] = {
        {"ftp://x", 2, "http:// or https://"},
        {"http://127.0.0.1:1/", 4, "Pages 1, 1 failed"},  // nothing listens on port 1
        {server.url("/missing.html"), 8, "Pages 1, 1 failed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.location);
        const ProcessResult r =
            run(QStringList{"--begin", file("bad.glf"), "--set", QString::fromStdString("txtLocation=" + c.location)} +
                scanSettings());
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        EXPECT_NE(r.err.find(c.told), std::string::npos) << r.err;
    }
}

TEST_F(HeadlessScan, SignalStopsGracefullyAndResumeFinishes) {
    server.stall("/", std::chrono::milliseconds(1500), "<html>slow</html>");
    QProcess* p = start(
        QStringList{"--begin", file("slow.glf"), "--set", QString::fromStdString("txtLocation=" + server.url("/"))} +
        scanSettings());
    while (server.hits("/") == 0) QThread::msleep(20);
    ::kill(pid_t(p->processId()), SIGTERM);
    const ProcessResult stopped = finish(p);
    EXPECT_EQ(stopped.exitCode, 3) << stopped.err;
    EXPECT_NE(stopped.err.find("Status: Stopping Execution"), std::string::npos);
    EXPECT_NE(stopped.err.find("Status: Execution Stopped"), std::string::npos);

    // The page arrived while stopping, so it is done; Resume finds nothing left.
    const ProcessResult resumed = run({"--resume", file("slow.glf")});
    EXPECT_EQ(resumed.exitCode, 0) << resumed.err;
    EXPECT_EQ(server.hits("/"), 1);
}

TEST_F(HeadlessScan, SignalEndsAScanPausedForItsHours) {
    server.page("/", "<html>never fetched</html>");
    QProcess* p = start(QStringList{"--begin", file("paused.glf"), "--set", "chkHour=0", "--set",
                                    QString::fromStdString("txtLocation=" + server.url("/"))} +
                        scanSettings());
    p->setReadChannel(QProcess::StandardError);
    while (!p->peek(1 << 16).contains("Pausing scan due to time restrictions")) ASSERT_TRUE(p->waitForReadyRead(10000));
    ::kill(pid_t(p->processId()), SIGINT);
    const ProcessResult stopped = finish(p);
    EXPECT_EQ(stopped.exitCode, 3) << stopped.err;
    EXPECT_EQ(server.hits("/"), 0);
    std::ifstream saved(file("paused.glf").toStdString());
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(saved), {}).find("txtDLDate="), std::string::npos);
}

}  // namespace
}  // namespace gleanery
