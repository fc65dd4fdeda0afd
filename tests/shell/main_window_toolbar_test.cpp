// The toolbar and the status bar follow a live scan of the test site: the
// toolbar's buttons run the robot and always show the job window's enabled
// states; the status bar shows the status, speed and busy connections.
#include <QMdiSubWindow>
#include <algorithm>

#include "shell/main_window_fixture.h"
#include "viewer/display_window.h"

namespace gleanery::test {
namespace {

// Names the enabled ones of Stop, Resume and Begin.
std::string enabled(bool stop, bool resume, bool begin) {
    std::string names = std::string(stop ? " Stop" : "") + (resume ? " Resume" : "") + (begin ? " Begin" : "");
    return names.empty() ? names : names.substr(1);
}

class MainWindowScan : public MainWindowTest {
protected:
    MainWindowScan() {
        const std::vector<std::string> files = site.numberedFiles("pics", 6, std::chrono::milliseconds(150));
        site.page("/", {"a.htm", "b.htm"}, {files[0], files[1]});
        site.page("/a.htm", {files[2], files[3]});
        site.page("/b.htm", {files[4], files[5]});
        job = loadSetup(inDir("site.glf"));
        pointAtSite(*job);
        // Seen after the toolbar and the status bar have taken each change.
        QObject::connect(&job->robot(), &Robot::buttonsChanged, &listener,
                         [this] { mismatches += toolbarButtons() != robotButtons(); });
        QObject::connect(&job->robot(), &Robot::statusChanged, &listener,
                         [this] { panelStatuses.push_back(window->status().panelText(1).toStdString()); });
    }

    void press(const char* key) { window->toolBar().button(key)->trigger(); }
    std::string toolbarButtons() const {
        ScanToolBar& bar = window->toolBar();
        return enabled(bar.button("Stop")->isEnabled(), bar.button("Resume")->isEnabled(),
                       bar.button("Begin")->isEnabled());
    }
    std::string robotButtons() {
        const Robot& r = job->robot();
        return enabled(r.stopEnabled(), r.resumeEnabled(), r.beginEnabled());
    }

    frmGeneralRobot* job = nullptr;
    int mismatches = 0;
    std::vector<std::string> panelStatuses;
    // Gone before the members its connections write to; the scan may still run.
    QObject listener;
};

TEST_F(MainWindowScan, ToolbarAndStatusBarFollowBeginStopResumeAndTheEndOfTheScan) {
    int mostActive = 0;
    QObject::connect(&job->robot(), &Robot::statisticsChanged, &listener, [&] {
        const QString text = window->status().panelText(3);
        EXPECT_TRUE(text.startsWith("Active: ")) << text.toStdString();
        mostActive = std::max(mostActive, text.mid(8).toInt());
    });
    EXPECT_EQ(toolbarButtons(), "Resume Begin");

    press("Begin");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(toolbarButtons(), "Stop");
    EXPECT_EQ(panelStatuses.front(), "Scanning...");

    ASSERT_TRUE(spinUntil([&] { return site.filesServed() >= 1; }));
    press("Stop");
    EXPECT_EQ(window->status().panelText(1), "Stopping Execution");
    EXPECT_EQ(toolbarButtons(), "Stop") << "unchanged until the stop completes";
    ASSERT_TRUE(spinUntil([&] { return job->isIdle(); }, std::chrono::seconds(20)));
    EXPECT_EQ(toolbarButtons(), "Resume Begin");
    EXPECT_EQ(window->status().panelText(1), "Execution Stopped");
    EXPECT_EQ(messages.count("Site Scanned"), 0);

    press("Resume");
    EXPECT_EQ(toolbarButtons(), "Stop");
    ASSERT_TRUE(spinUntil([&] { return messages.count("Site Scanned") == 1 && job->isIdle(); },
                          std::chrono::seconds(30)));
    EXPECT_EQ(toolbarButtons(), "Resume Begin");
    EXPECT_EQ(mismatches, 0);

    EXPECT_NE(std::find(panelStatuses.begin(), panelStatuses.end(), "Site Scanned"), panelStatuses.end());
    EXPECT_NE(std::find(panelStatuses.begin(), panelStatuses.end(), "Scanning: " + server.url("/a.htm")),
              panelStatuses.end());
    EXPECT_EQ(window->status().panelText(3), "Active: 0");
    EXPECT_GE(mostActive, 2) << "files download beside the page";
    EXPECT_EQ(window->status().panelText(2).toStdString(), job->robot().statistics().todayCps);
}

// A finished download is shown in a viewer of its slot only while the job
// window is not maximized and no thumbnails are asked for.
TEST_F(MainWindowScan, FinishedDownloadsOpenAViewerPerSlotBesideARestoredJobWindow) {
    job->session().settings().setListIndex(Field::cboConnections, 0);  // one download connection: slot 2
    auto* frame = qobject_cast<QMdiSubWindow*>(job->parentWidget());
    ASSERT_NE(frame, nullptr);
    frame->showNormal();

    std::vector<std::string> shown;
    QObject listener;
    QObject::connect(&job->robot(), &Robot::downloadFinished, &listener, [&](int slot, const QString&, bool) {
        frmDisplay* v = window->viewer(slot);
        shown.push_back(v ? v->file() : "<none>");
        if (v) {
            EXPECT_EQ(v->index(), slot);
        }
    });
    press("Begin");
    ASSERT_TRUE(spinUntil([&] { return shown.size() >= 2; }, std::chrono::seconds(20)));
    ASSERT_NE(window->viewer(2), nullptr);
    EXPECT_EQ(window->viewer(2)->file(), shown.back());
    EXPECT_NE(shown[0], shown[1]) << "each download replaces the slot's viewer";
    spinFor(std::chrono::milliseconds(50));
    EXPECT_EQ(window->mdiArea().subWindowList().size(), 2) << "job window and one viewer";

    job->session().settings().setChecked(Field::chkThumbnail, true);
    ASSERT_TRUE(spinUntil([&] { return shown.size() >= 3; }, std::chrono::seconds(20)));
    EXPECT_EQ(shown.back(), "<none>");
    job->session().settings().setChecked(Field::chkThumbnail, false);
    frame->showMaximized();
    ASSERT_TRUE(spinUntil([&] { return shown.size() >= 4; }, std::chrono::seconds(20)));
    EXPECT_EQ(shown.back(), "<none>");
    EXPECT_EQ(window->viewer(2), nullptr);
}

}  // namespace
}  // namespace gleanery::test
