// A scan whose process is killed outright in the middle is finished by
// --resume in a new process: every file complete with its bytes, every
// target completed, and no partial file left anywhere in the mirror.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

#include "common/test_server.h"
#include "engine/live_site.h"
#include "engine/work_store.h"

namespace gleanery::test {
namespace {

class ScanKillResume : public ::testing::Test {
protected:
    // Runs the program on the job with its output in files of the test folder.
    void start(QProcess& p, const char* action, const QStringList& more = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("GLEANERY_HOME", GLEANERY_TEST_DATA_DIR);
        p.setProcessEnvironment(env);
        p.setStandardOutputFile(dir.filePath(QString(action) + ".out"));
        p.setStandardErrorFile(dir.filePath(QString(action) + ".err"));
        p.start(GLEANERY_BINARY, QStringList{action, job()} + more);
        ASSERT_TRUE(p.waitForStarted(10000));
    }
    std::string log(const char* action) const { return readFile(dir.filePath(QString(action) + ".err").toStdString()); }
    QString job() const { return dir.filePath("job.glf"); }
    QString out() const { return dir.filePath("out"); }
    std::string siteFile(const std::string& path) const {
        return out().toStdString() + "/127.0.0.1:" + std::to_string(server.port()) + path;
    }

    QTemporaryDir dir;
    TestServer server;
    LiveSite site{server};
};

TEST_F(ScanKillResume, ResumeAfterSigkillCompletesEveryFileWithoutPartialFiles) {
    const auto delay = std::chrono::milliseconds(100);
    const std::vector<std::string> first = site.numberedFiles("a", 20, delay);
    site.page("/", {"more.html"}, first);
    site.page("/more.html", site.numberedFiles("b", 20, delay));

    QProcess begun;
    start(begun, "--begin",
          {"--set", QString::fromStdString("txtLocation=" + server.url("/")), "--set", "txtSaveLocation=" + out(),
           "--set", "txtSaveLocation2=" + out(), "--set", "txtSpacePrimary=0", "--set", "txtSpaceSecondary=0"});
    for (int waited = 0; site.filesServed() < 5 && waited < 20000; waited += 5) QThread::msleep(5);
    ASSERT_GE(site.filesServed(), 5) << log("--begin");
    ::kill(pid_t(begun.processId()), SIGKILL);
    ASSERT_TRUE(begun.waitForFinished(10000));
    ASSERT_EQ(begun.exitStatus(), QProcess::CrashExit);
    {
        WorkStore store;
        store.open(WorkStore::storePathFor(job().toStdString()), "");
        ASSERT_FALSE(store.pendingTargets().empty()) << "the scan ended before the kill; nothing left to resume";
    }

    QProcess resumed;
    start(resumed, "--resume");
    ASSERT_TRUE(resumed.waitForFinished(30000));
    EXPECT_EQ(resumed.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(resumed.exitCode(), 0) << log("--resume");

    WorkStore store;
    store.open(WorkStore::storePathFor(job().toStdString()), "");
    for (const RouteRow& r : store.allRoutes()) {
        EXPECT_TRUE(r.Scanned) << r.URL;
        EXPECT_EQ(r.Result, 200) << r.URL;
    }
    EXPECT_EQ(store.allRoutes().size(), 2u);
    EXPECT_EQ(store.allTargets().size(), site.files().size());
    EXPECT_TRUE(store.pendingTargets().empty());
    for (const std::string& path : site.files()) {
        SCOPED_TRACE(path);
        EXPECT_EQ(store.target(server.url(path)) ? store.target(server.url(path))->Result : 0, 200);
        EXPECT_EQ(readFile(siteFile(path)), LiveSite::fileBytes(path));
    }
    const std::vector<std::string> leftovers = temporaryFilesUnder(out().toStdString());
    EXPECT_TRUE(leftovers.empty())
        << "temporary files of the transfers the kill interrupted stay in the mirror after the "
           "resumed scan has finished; the first is "
        << leftovers.front() << " (" << leftovers.size() << " in all)";
}

}  // namespace
}  // namespace gleanery::test
