#pragma once
// A job window over scripted connections, messages and clock, in a home folder
// whose registry allows ten connections per server.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "common/manual_clock.h"
#include "common/scripted_fetch.h"
#include "common/scripted_messages.h"
#include "compat/registry.h"
#include "job/job_settings.h"
#include "jobwindow/job_window.h"
#include "support/scoped_home.h"

namespace gleanery::testing {

class JobWindowFixture : public ::testing::Test {
protected:
    JobWindowFixture() {
        QFile::copy(GLEANERY_TEST_DATA_DIR "/BLANK.GLD", QString::fromStdString(home.path("BLANK.GLD")));
        importRegFile(GLEANERY_TEST_DATA_DIR "/inet.reg");
        window = std::make_unique<frmGeneralRobot>(messages, clock,
                                                   [this](int) { return std::make_unique<ScriptedFetch>(site); });
    }

    std::string path(const std::string& name) const { return dir.filePath(QString::fromStdString(name)).toStdString(); }
    JobSettings& settings() { return window->session().settings(); }
    ScanController& scan() { return window->scan(); }
    template <class W>
    W& widget(const QString& name) {
        return *window->findChild<W*>(name);
    }

    ScopedHome home;  // declared first: outlives the window that reads it
    QTemporaryDir dir;
    ScriptedSite site;
    ScriptedMessages messages;
    ManualClock clock;
    std::unique_ptr<frmGeneralRobot> window;
};

}  // namespace gleanery::testing
