// The job window over the job's settings: restored setup files reach the
// widgets and clicks reach the settings; each "..." button changes only its
// own output folder, and nothing when cancelled; the window refuses to close
// while a transfer runs, ends a paused scan when it closes, and saves the job.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <deque>
#include <fstream>
#include <sstream>

#include "jobwindow/job_window_fixture.h"

namespace gleanery::testing {
namespace {

TEST_F(JobWindowFixture, RestoredSetupFileReachesTheWidgetsAndClicksReachTheSettings) {
    writeSetup("job.glf",
               "chkTranslate=0\nchkRelative=1\ntxtName=anna\ncboMaxDepth=36\n"
               "optBrowse:0=True\noptBrowse:1=False\noptBrowse:2=False\nchkHour=0\nchkHour:5=1\n");
    open();
    auto& translate = widget<QCheckBox>("chkTranslate");
    auto& relative = widget<QCheckBox>("chkRelative");
    EXPECT_FALSE(translate.isChecked());
    EXPECT_FALSE(relative.isEnabled());
    EXPECT_TRUE(relative.isChecked());
    EXPECT_EQ(widget<QLineEdit>("txtName").text(), "anna");
    EXPECT_EQ(widget<QComboBox>("cboMaxDepth").currentText(), "1000");
    EXPECT_TRUE(widget<QRadioButton>("optBrowse(0)").isChecked());
    EXPECT_FALSE(widget<QRadioButton>("optBrowse(1)").isChecked());
    for (int h = 0; h < 24; ++h)
        EXPECT_EQ(widget<QCheckBox>(QStringLiteral("chkHour(%1)").arg(h)).isChecked(), h == 5) << h;
    translate.click();
    EXPECT_TRUE(settings().checked(Field::chkTranslate));
}

TEST_F(JobWindowFixture, EachFolderButtonServesItsOwnFolderAndCancelKeepsIt) {
    open();
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
    const auto press = [&](int index) { widget<QPushButton>(QStringLiteral("cmdSetLocation(%1)").arg(index)).click(); };
    press(1);
    EXPECT_EQ(settings().text(Field::txtSaveLocation), "/old/primary");
    EXPECT_EQ(settings().text(Field::txtSaveLocation2), "/chosen/one");
    EXPECT_EQ(widget<QLineEdit>("txtSaveLocation2").text(), "/chosen/one");
    press(0);
    EXPECT_EQ(settings().text(Field::txtSaveLocation), "/chosen/two");
    press(0);  // cancelled
    EXPECT_EQ(settings().text(Field::txtSaveLocation), "/chosen/two");
    EXPECT_EQ(widget<QLineEdit>("txtSaveLocation").text(), "/chosen/two");
    EXPECT_EQ(settings().text(Field::txtSaveLocation2), "/chosen/one");
    EXPECT_EQ(offered, (std::vector<std::string>{"/old/secondary", "/old/primary", "/chosen/two"}));
}

constexpr const char* kStillDownloading = "The system is still downloading... Please press the 'Stop' button.";

class JobWindowClose : public JobWindowFixture {
protected:
    void SetUp() override {
        open();
        prepareScan();
        site.autoComplete = false;
    }
    std::string setupText() {
        std::ifstream in(path("job.glf"));
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(JobWindowClose, CloseIsRefusedWhileATransferRuns) {
    QSignalSpy unloaded(window.get(), &frmGeneralRobot::unloaded);
    widget<QPushButton>("cmdBegin").click();
    EXPECT_FALSE(window->close());
    EXPECT_EQ(messages.count(kStillDownloading), 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(unloaded.count(), 0);

    widget<QPushButton>("cmdStop").click();
    fetch(1).complete(200, "");
    completeStop();
    settings().setText(Field::txtName, "closing");
    EXPECT_TRUE(window->close());
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_NE(setupText().find("txtName=closing"), std::string::npos);
}

TEST_F(JobWindowClose, ClosingAPausedScanEndsIt) {
    widget<QPushButton>("cmdBegin").click();
    clock.advanceSeconds(3600);
    settings().setChecked(Field::chkHour, false, clock.now().time().hour());
    fetch(1).complete(404);
    QApplication::processEvents();
    ASSERT_EQ(scan().state(), ScanState::Paused);
    clock.advanceSeconds(3600);

    EXPECT_TRUE(window->close());
    EXPECT_TRUE(window->isIdle());
    EXPECT_FALSE(scan().restartTimer().isActive());
    EXPECT_EQ(messages.count(kStillDownloading), 0);
    // The hour it scanned counts as scanning time of the day, the hour it waited does not.
    EXPECT_NE(setupText().find("txtDLTime=0.04166"), std::string::npos) << setupText();
}

}  // namespace
}  // namespace gleanery::testing
