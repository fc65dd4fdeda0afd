// Starting the downloaded installer: it needs no execute bit of its own and
// really runs, detached from the program.
#include "engine/fetch_completion_watch.h"
#include "support/scoped_home.h"
#include "support/text.h"
#include "update/installer_start.h"

#include <gtest/gtest.h>

#include <QFile>

namespace gleanery {
namespace {

TEST(UpdateInstallerStart, RunsADownloadedScriptInItsOwnFolder) {
    gleanery::testing::ScopedHome home;
    const QString installer = QString::fromStdString(home.path("GLUP.EXE"));
    QFile file(installer);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\necho installed > ran.txt\n");
    file.close();
    ASSERT_TRUE(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));

    ASSERT_TRUE(startInstaller(installer));
    EXPECT_TRUE(test::spinUntil([&] { return FileExists(home.path("ran.txt")); }));
}

TEST(UpdateInstallerStart, MissingInstallerIsNotStarted) {
    gleanery::testing::ScopedHome home;
    EXPECT_FALSE(startInstaller(QString::fromStdString(home.path("GLUP.EXE"))));
}

}  // namespace
}  // namespace gleanery
