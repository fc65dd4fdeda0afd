#pragma once
// A per-user folder, a local update server and scripted messages for the update tests.
// UpgradeWindowDriver answers the modal update window from inside its event loop;
// a window still open after 15 s is closed by force and reported.

#include "common/live_site.h"
#include "common/scripted_messages.h"
#include "common/test_server.h"
#include "compat/ini_profile.h"
#include "engine/fetch_completion_watch.h"
#include "engine/network_fetch.h"
#include "support/scoped_home.h"
#include "support/text.h"
#include "update/upgrade_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <string>
#include <utility>

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
    void writeFile(const std::string& path, const std::string& content) {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content.data(), qint64(content.size()));
    }

    const FetchFactory networkFetch = [](int) { return makeNetworkFetch(); };
    gleanery::testing::ScopedHome home;
    TestServer server;
    gleanery::testing::ScriptedMessages messages;
};

class UpgradeWindowDriver {
public:
    // answer runs once, when the window first shows.
    explicit UpgradeWindowDriver(std::function<void(frmUpgrade&)> answer) : answer_(std::move(answer)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] { tick(); });
        poll_.start(10);
        clock_.start();
    }

    bool timedOut() const { return timedOut_; }

    static void press(frmUpgrade& window, const char* button) { window.findChild<QPushButton*>(button)->click(); }

private:
    void tick() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* window = qobject_cast<frmUpgrade*>(widget);
            if (!window || !window->isVisible()) continue;
            if (clock_.elapsed() > 15'000) {
                timedOut_ = true;
                window->QDialog::done(QDialog::Rejected);
            } else if (answer_) {
                std::exchange(answer_, nullptr)(*window);
            }
        }
    }

    std::function<void(frmUpgrade&)> answer_;
    QTimer poll_;
    QElapsedTimer clock_;
    bool timedOut_ = false;
};

}  // namespace gleanery::test
