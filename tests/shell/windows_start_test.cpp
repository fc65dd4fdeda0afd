// The program started for its windows without a display says how to run a job
// instead, exits with 2 and creates nothing.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "support/scoped_home.h"

namespace gleanery::test {
namespace {

TEST(MainWindowStart, WithoutADisplayTellsHowToRunAJob) {
    testing::ScopedHome home;
    QFile::copy(QStringLiteral(GLEANERY_TEST_DATA_DIR "/BLANK.GLD"), QString::fromStdString(home.path("BLANK.GLD")));
    QTemporaryDir dir;
    // Taken after home, so the program gets the same GLEANERY_HOME.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(GLEANERY_BINARY, {dir.filePath("site.glf")});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_NE(p.readAllStandardError().indexOf("--begin"), -1);
    EXPECT_FALSE(QFile::exists(dir.filePath("site.GLD")));
}

}  // namespace
}  // namespace gleanery::test
