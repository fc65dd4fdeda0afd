// The job window over the job's settings: widgets, folder buttons, closing.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <deque>
#include <fstream>

#include "compat/ini_profile.h"
#include "jobwindow/job_window_fixture.h"

namespace gleanery::testing {
namespace {

TEST_F(JobWindowFixture, RestoredSetupFileReachesTheWidgetsAndClicksReachTheSettings) {
    std::ofstream(path("job.glf")) << "[SETTINGS]\nchkTranslate=0\nchkRelative=1\ntxtName=anna\ncboMaxDepth=36\n"
                                      "optBrowse:0=True\noptBrowse:1=False\nchkHour=0\nchkHour:5=1\n";
    window->Display(path("job.glf"));
    auto& translate = widget<QCheckBox>("chkTranslate");
    EXPECT_FALSE(translate.isChecked());
    EXPECT_FALSE(widget<QCheckBox>("chkRelative").isEnabled());
    EXPECT_TRUE(widget<QCheckBox>("chkRelative").isChecked());
    EXPECT_EQ(widget<QLineEdit>("txtName").text(), "anna");
    EXPECT_EQ(widget<QComboBox>("cboMaxDepth").currentText(), "1000");
    EXPECT_TRUE(widget<QRadioButton>("optBrowse(0)").isChecked());
    EXPECT_FALSE(widget<QRadioButton>("optBrowse(1)").isChecked());
    EXPECT_TRUE(widget<QCheckBox>("chkHour(5)").isChecked());
    EXPECT_FALSE(widget<QCheckBox>("chkHour(23)").isChecked());
    translate.click();
    EXPECT_TRUE(settings().checked(Field::chkTranslate));
}

TEST_F(JobWindowFixture, EachFolderButtonServesItsOwnFolderAndCancelKeepsIt) {
    window->Display(path("job.glf"));
    settings().setText(Field::txtSaveLocation, "/old/primary");
    settings().setText(Field::txtSaveLocation2, "/old/secondary");
    std::deque<std::string> answers = {"/chosen/one", "/chosen/two", ""};
    std::vector<std::string> offered;
    window->setFolderChooser([&](const std::string& current, QWidget*) {
        offered.push_back(current);
        const std::string answer = answers.front();
        answers.pop_front();
        return answer;
    });
    for (int index : {1, 0, 0})  // the last one cancelled
        widget<QPushButton>(QStringLiteral("cmdSetLocation(%1)").arg(index)).click();
    EXPECT_EQ(offered, (std::vector<std::string>{"/old/secondary", "/old/primary", "/chosen/two"}));
    EXPECT_EQ(settings().text(Field::txtSaveLocation), "/chosen/two");
    EXPECT_EQ(widget<QLineEdit>("txtSaveLocation").text(), "/chosen/two");
    EXPECT_EQ(settings().text(Field::txtSaveLocation2), "/chosen/one");
    EXPECT_EQ(widget<QLineEdit>("txtSaveLocation2").text(), "/chosen/one");
}

constexpr const char* kStillDownloading = "The system is still downloading... Please press the 'Stop' button.";

// A job begun with its first transfer left running, its output folders without a free-space floor.
class JobWindowClose : public JobWindowFixture {
protected:
    void SetUp() override {
        window->Display(path("job.glf"));
        settings().setText(Field::txtLocation, "http://srv.dom.example/");
        settings().setText(Field::txtSaveLocation, path("out1"));
        settings().setText(Field::txtSaveLocation2, path("out2"));
        settings().setText(Field::txtSpacePrimary, "0");
        settings().setText(Field::txtSpaceSecondary, "0");
        settings().setChecked(Field::chkObeyRobots, false);
        site.autoComplete = false;
        widget<QPushButton>("cmdBegin").click();
    }
    ScriptedFetch& firstTransfer() { return static_cast<ScriptedFetch&>(scan().connection(1)); }
    std::string saved(const char* key) const { return GetPrivateProfileString("SETTINGS", key, "", path("job.glf")); }
};

TEST_F(JobWindowClose, CloseIsRefusedWhileATransferRuns) {
    QSignalSpy unloaded(window.get(), &frmGeneralRobot::unloaded);
    EXPECT_FALSE(window->close());
    EXPECT_EQ(messages.count(kStillDownloading), 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(unloaded.count(), 0);

    widget<QPushButton>("cmdStop").click();
    firstTransfer().complete(200, "");
    // Lets the scan finish its stop once no transfer runs.
    for (int i = 0; i < 20 && scan().state() != ScanState::Idle; ++i) {
        for (int round = 0; round < 5; ++round) QApplication::processEvents();
        if (scan().stopTimer().isActive()) scan().pollStop();
    }
    settings().setText(Field::txtName, "closing");
    EXPECT_TRUE(window->close());
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_EQ(saved("txtName"), "closing");
}

TEST_F(JobWindowClose, ClosingAPausedScanEndsIt) {
    clock.advanceSeconds(3600);
    settings().setChecked(Field::chkHour, false, clock.now().time().hour());
    firstTransfer().complete(404);
    QApplication::processEvents();
    ASSERT_EQ(scan().state(), ScanState::Paused);
    clock.advanceSeconds(3600);

    EXPECT_TRUE(window->close());
    EXPECT_TRUE(window->isIdle());
    EXPECT_FALSE(scan().restartTimer().isActive());
    EXPECT_EQ(messages.count(kStillDownloading), 0);
    // The hour it scanned counts as scanning time of the day, the hour it waited does not.
    EXPECT_EQ(saved("txtDLTime").rfind("0.04166", 0), 0u) << saved("txtDLTime");
}

// Every caption fits its box at the default font: none is cut off.
TEST_F(JobWindowFixture, EveryCaptionFitsItsBox) {
    window->Display(path("job.glf"));
    QStringList clipped;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool captioned = qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w);
        if (!captioned || !w->isVisibleTo(window.get()) || w->objectName().startsWith("lblConnection")) continue;
        // A push button's own least width is no text of its.
        const auto* button = qobject_cast<QPushButton*>(w);
        const int needed = button ? button->fontMetrics().horizontalAdvance(button->text()) + 8 : w->sizeHint().width();
        if (needed > w->width())
            clipped << QStringLiteral("%1 '%2' %3>%4")
                           .arg(w->objectName(), w->property("text").toString())
                           .arg(needed)
                           .arg(w->width());
    }
    EXPECT_TRUE(clipped.isEmpty()) << clipped.join("; ").toStdString();
}

}  // namespace
}  // namespace gleanery::testing
