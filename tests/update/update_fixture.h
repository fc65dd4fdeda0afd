#pragma once
// A per-user folder of its own, a local update server and scripted messages
// for the update tests; GLSETUP.INI points the descriptor address at the server.
// UpgradeWindowDriver drives the modal update window from inside its own event
// loop, so that no test blocks: polls for the window and runs the test's steps
// on it. A window still open after 15 s is closed by force and reported.

#include "common/scripted_messages.h"
#include "common/test_server.h"
#include "engine/fetch_completion_watch.h"
#include "engine/network_fetch.h"
#include "compat/ini_profile.h"
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

class UpgradeWindowDriver {
public:
    // onOpen runs once when the window first shows; onTick on every poll while it shows.
    explicit UpgradeWindowDriver(std::function<void(frmUpgrade&)> onOpen, std::function<void(frmUpgrade&)> onTick = {})
        : onOpen_(std::move(onOpen)), onTick_(std::move(onTick)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] { tick(); });
        poll_.start(10);
        clock_.start();
    }

    bool timedOut() const { return timedOut_; }

    static void press(frmUpgrade& window, const char* button) { window.findChild<QPushButton*>(button)->click(); }

private:
    void tick() {
        frmUpgrade* window = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* shown = qobject_cast<frmUpgrade*>(widget); shown && shown->isVisible()) window = shown;
        if (!window) return;
        if (clock_.elapsed() > 15'000) {
            timedOut_ = true;
            window->QDialog::done(QDialog::Rejected);
            return;
        }
        if (!opened_ && onOpen_) onOpen_(*window);
        opened_ = true;
        if (onTick_ && window->isVisible()) onTick_(*window);
    }

    std::function<void(frmUpgrade&)> onOpen_;
    std::function<void(frmUpgrade&)> onTick_;
    QTimer poll_;
    QElapsedTimer clock_;
    bool opened_ = false;
    bool timedOut_ = false;
};

}  // namespace gleanery::test
