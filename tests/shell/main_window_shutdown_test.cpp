// Closing the main window: refused without a word while a scan runs,
// accepted once Stop has completed (the job saved), and a leftover fetch
// component "Fetchbox.exe" ended - only the first one found.
#include <QDir>
#include <QProcess>
#include <unistd.h>

#include "shell/main_window_fixture.h"
#include "compat/ini_profile.h"

namespace gleanery::test {
namespace {

TEST_F(MainWindowTest, CloseIsRefusedSilentlyWhileAScanRunsAndAcceptedAfterStop) {
    server.stall("/", std::chrono::milliseconds(1500), "<html>late</html>");
    frmGeneralRobot* job = loadSetup(inDir("run.glf"));
    pointAtSite(*job);
    job->robot().cmdBegin_Click();
    ASSERT_FALSE(job->isIdle());
    const std::size_t shownBefore = messages.shown.size();

    EXPECT_FALSE(window->close());
    window->menus().mnuExit->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->jobWindow(), job);
    EXPECT_EQ(messages.shown.size(), shownBefore);

    job->robot().cmdStop_Click();
    EXPECT_FALSE(window->close()) << "still stopping";
    ASSERT_TRUE(spinUntil([&] { return job->isIdle(); }, std::chrono::seconds(20)));
    window->menus().mnuExit->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->jobWindow(), nullptr);
    spinFor(std::chrono::milliseconds(50));
    EXPECT_TRUE(window->mdiArea().subWindowList().empty());
    EXPECT_EQ(GetPrivateProfileString("SETTINGS", "txtLocation", "<none>", inDir("run.glf")), server.url("/"));
    EXPECT_EQ(messages.shown.size(), shownBefore);
}

// A process table of its own: entries that name Fetchbox.exe as their
// executable but are harmless programs under another name, so that no other
// program's Fetchbox.exe is touched and no other test finds these.
class FetchboxAtShutDown : public MainWindowTest {
protected:
    FetchboxAtShutDown() { window->useProcessTable(table.path().toStdString()); }
    ~FetchboxAtShutDown() override {
        for (auto& p : processes) {
            p->kill();
            p->waitForFinished(5000);
        }
    }

    QProcess& start(const char* exeName) {
        processes.push_back(std::make_unique<QProcess>());
        QProcess& p = *processes.back();
        p.start("/bin/sleep", {"60"});
        EXPECT_TRUE(p.waitForStarted());
        const QString entry = table.filePath(QString::number(p.processId()));
        QDir().mkpath(entry);
        const std::string exe = std::string("/opt/fetchbox/") + exeName;
        EXPECT_EQ(::symlink(exe.c_str(), (entry + "/exe").toLocal8Bit().constData()), 0);
        return p;
    }

    QTemporaryDir table;
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(FetchboxAtShutDown, EndsOnlyTheFirstLeftoverComponent) {
    QProcess& a = start("Fetchbox.exe");
    QProcess& b = start("FETCHBOX.EXE");
    QProcess& other = start("Fetchbox.exe.old");
    QProcess& first = a.processId() < b.processId() ? a : b;
    QProcess& second = a.processId() < b.processId() ? b : a;

    EXPECT_TRUE(window->close());
    EXPECT_TRUE(first.waitForFinished(5000));
    EXPECT_FALSE(second.waitForFinished(300));
    EXPECT_EQ(second.state(), QProcess::Running);
    EXPECT_EQ(other.state(), QProcess::Running);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FetchboxAtShutDown, WithoutAComponentOrAProcessTableShutDownStillEnds) {
    QProcess& other = start("sleep");
    EXPECT_TRUE(window->close());
    EXPECT_EQ(other.state(), QProcess::Running);
    EXPECT_TRUE(messages.shown.empty());

    MainMenu second(clock, [](int) { return makeNetworkFetch(); });
    second.useMessages(messages);
    second.useProcessTable(table.filePath("missing").toStdString());
    second.show();
    EXPECT_TRUE(second.close());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "No libraries to enumerate processes could be found");
}

}  // namespace
}  // namespace gleanery::test
