// Finding processes by executable file name through /proc, and ending one.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <fstream>
#include <string>
#include <unistd.h>

#include "common/scripted_messages.h"
#include "compat/processes.h"

namespace gleanery {
namespace {

using namespace ModProcesses;
using namespace std::string_literals;

class FakeProcessTable : public ::testing::Test {
protected:
    std::string entry(int pid) {
        const std::string dir = root.filePath(QString::number(pid)).toStdString();
        QDir().mkpath(QString::fromStdString(dir));
        std::ofstream(dir + "/stat") << pid << " (x) S 1 1";
        return dir;
    }
    void put(int pid, const char* file, const std::string& content) {
        std::ofstream(entry(pid) + "/" + file, std::ios::binary) << content;
    }
    void link(int pid, const std::string& target) {
        ASSERT_EQ(::symlink(target.c_str(), (entry(pid) + "/exe").c_str()), 0);
    }
    void remove(int pid) { QDir(root.filePath(QString::number(pid))).removeRecursively(); }
    std::uint32_t find() { return FindProcessId("Fetchbox.exe", messages, root.path().toStdString()); }

    QTemporaryDir root;
    testing::ScriptedMessages messages;
};

TEST_F(FakeProcessTable, TakesTheLowestMatchingIdentifierByEveryNameSource) {
    put(3, "comm", "Fetchbox.exe\n");
    put(3, "stat", "3 (Fetchbox.exe) Z 1 1");  // a zombie has ended already
    link(9, "/usr/bin/other");
    put(9, "comm", "Fetchbox.exe\n");                        // the link wins over the short name
    put(40, "cmdline", "/opt/fb/FETCHBOX.EXE\0--quiet\0"s);  // no readable link
    put(7, "comm", "Fetchbox.exe\n");
    // Another user's process: only root can make one here.
    if (::chown(entry(7).c_str(), ::getuid() + 1, gid_t(-1)) != 0) remove(7);
    put(120, "comm", "fetchbox.exe\n");
    link(1000, "/opt/fb/Fetchbox.exe (deleted)");
    put(4000, "comm", "Fetchbox.exe.old\n");

    for (const std::uint32_t lowest : {40u, 120u, 1000u, 0u}) {
        EXPECT_EQ(find(), lowest);
        remove(int(lowest));
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST(Processes, EndsOnlyTheFirstOfTwoRunningComponents) {
    QTemporaryDir dir;
    const QString program = dir.filePath("Fetchbox.exe");
    ASSERT_TRUE(QFile::copy("/bin/sleep", program));
    QProcess first, second;
    first.start(program, {"60"});
    second.start(program, {"60"});
    ASSERT_TRUE(first.waitForStarted() && second.waitForStarted());
    const auto firstPid = static_cast<std::uint32_t>(first.processId());
    const auto secondPid = static_cast<std::uint32_t>(second.processId());

    testing::ScriptedMessages messages;
    const std::uint32_t found = FindProcessId("FETCHBOX.EXE", messages);
    EXPECT_EQ(found, std::min(firstPid, secondPid));
    KillProcess(found);
    QProcess& ended = found == firstPid ? first : second;
    QProcess& other = found == firstPid ? second : first;
    EXPECT_TRUE(ended.waitForFinished(5000));
    EXPECT_EQ(ended.exitStatus(), QProcess::CrashExit);
    EXPECT_FALSE(other.waitForFinished(300));
    EXPECT_EQ(other.state(), QProcess::Running);

    other.kill();
    other.waitForFinished(5000);
    EXPECT_EQ(FindProcessId("FETCHBOX.EXE", messages), 0u);
}

}  // namespace
}  // namespace gleanery
