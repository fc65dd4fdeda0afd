#pragma once
// A job window over scripted connections, scripted messages and a clock that
// stands still, in a home folder of its own whose registry allows ten
// connections per server.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include "common/manual_clock.h"
#include "common/scripted_fetch.h"
#include "common/scripted_messages.h"
#include "job/job_settings.h"
#include "jobwindow/job_window.h"
#include "compat/connection_limit.h"
#include "compat/registry.h"
#include "support/scoped_home.h"

namespace gleanery::testing {

class JobWindowFixture : public ::testing::Test {
protected:
    JobWindowFixture() {
        QFile::copy(GLEANERY_TEST_DATA_DIR "/BLANK.GLD", QString::fromStdString(home.path("BLANK.GLD")));
        using V = Registry::Variant;
        Registry r;
        r.CreateKey(HKEY_CURRENT_USER, kInternetSettingsKey, KEY_ALL_ACCESS);
        r.Values(V(std::string("MaxConnectionsPerServer")), V(10));
        r.Values(V(std::string("MaxConnectionsPer1_0Server")), V(10));
        r.CloseKey();
        window = std::make_unique<frmGeneralRobot>(messages, clock,
                                                   [this](int) { return std::make_unique<ScriptedFetch>(site); });
    }

    std::string path(const std::string& name) const { return dir.filePath(QString::fromStdString(name)).toStdString(); }
    // A setup file holding these lines of section SETTINGS.
    std::string writeSetup(const std::string& name, const std::string& lines) const {
        std::ofstream(path(name)) << "[SETTINGS]\n" << lines;
        return path(name);
    }
    void open(const std::string& name = "job.glf") { window->Display(path(name)); }

    // A job that can be begun: a start address and output folders without a free-space floor.
    void prepareScan() {
        JobSettings& s = settings();
        s.setText(Field::txtLocation, "http://srv.dom.example/");
        s.setText(Field::txtSaveLocation, path("out1"));
        s.setText(Field::txtSaveLocation2, path("out2"));
        s.setText(Field::txtSpacePrimary, "0");
        s.setText(Field::txtSpaceSecondary, "0");
    }

    JobSettings& settings() { return window->session().settings(); }
    ScanController& scan() { return window->scan(); }
    ScriptedFetch& fetch(int slot) { return static_cast<ScriptedFetch&>(scan().connection(slot)); }

    template <class W>
    W& widget(const QString& name) {
        if (W* w = window->findChild<W*>(name)) return *w;
        throw std::runtime_error("no widget " + name.toStdString());
    }

    // Lets the scan finish its stop once no transfer runs.
    void completeStop() {
        for (int i = 0; i < 20 && scan().state() != ScanState::Idle; ++i) {
            for (int round = 0; round < 5; ++round) QApplication::processEvents();
            if (scan().stopTimer().isActive()) scan().pollStop();
        }
    }

    ScopedHome home;  // declared first: outlives the window that reads it
    QTemporaryDir dir;
    ScriptedSite site;
    ScriptedMessages messages;
    ManualClock clock;
    std::unique_ptr<frmGeneralRobot> window;
};

}  // namespace gleanery::testing
