#pragma once
// A per-user folder of its own, a local update server and scripted messages
// for the update tests; GLSETUP.INI points the descriptor address at the server.

#include "common/scripted_messages.h"
#include "common/test_server.h"
#include "engine/fetch_completion_watch.h"
#include "engine/network_fetch.h"
#include "compat/ini_profile.h"
#include "support/scoped_home.h"
#include "support/text.h"

#include <gtest/gtest.h>

#include <QFile>

#include <string>

namespace gleanery::test {

class UpdateFixture : public ::testing::Test {
protected:
    UpdateFixture() { setSetting("UPDATEURL", server.url("/glversion.txt")); }

    void setSetting(const char* key, const std::string& value) {
        WritePrivateProfileString("SETTINGS", key, value, home.path("GLSETUP.INI"));
    }
    std::string setting(const char* key) const {
        return GetPrivateProfileString("SETTINGS", key, "<absent>", home.path("GLSETUP.INI"));
    }
    std::string installerPath() const { return home.path("GLUP.EXE"); }
    std::string readFile(const std::string& path) const {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<absent>";
    }
    void writeFile(const std::string& path, const std::string& content) {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content.data(), qint64(content.size()));
    }

    static FetchFactory networkFetch() {
        return [](int) { return makeNetworkFetch(); };
    }

    gleanery::testing::ScopedHome home;
    TestServer server;
    gleanery::testing::ScriptedMessages messages;
};

}  // namespace gleanery::test
