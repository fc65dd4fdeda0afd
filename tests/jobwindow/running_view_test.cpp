// Begin lays the connection panes over the settings; the window refuses to
// close while a transfer runs and saves the job when it closes.
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <fstream>
#include <sstream>

#include "jobwindow/job_window_fixture.h"

namespace gleanery::testing {
namespace {

constexpr const char* kStillDownloading = "The system is still downloading... Please press the 'Stop' button.";

class JobWindowRunningView : public JobWindowFixture {
protected:
    void SetUp() override {
        open();
        prepareScan();
        site.autoComplete = false;
    }
    void expectRunningView(bool running) {
        for (int k = 1; k <= 10; ++k) EXPECT_EQ(window->pane(k).isVisible(), running) << k;
        EXPECT_EQ(widget<QPushButton>("cmdResetToday").isVisible(), !running);
        EXPECT_EQ(widget<QPushButton>("cmdResetTotal").isVisible(), !running);
        EXPECT_EQ(widget<QPushButton>("cmdBegin").isEnabled(), !running);
        EXPECT_EQ(widget<QPushButton>("cmdResume").isEnabled(), !running);
        EXPECT_EQ(widget<QPushButton>("cmdStop").isEnabled(), running);
    }
    std::string setupText() {
        std::ifstream in(path("job.glf"));
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(JobWindowRunningView, BeginShowsPanesAndStopHidesThem) {
    expectRunningView(false);
    widget<QPushButton>("cmdBegin").click();
    ASSERT_FALSE(window->isIdle());
    expectRunningView(true);
    // The first pane shows the page on its way.
    EXPECT_EQ(window->pane(1).lblConnection().text().toStdString(), robot().connectionText(1));
    EXPECT_NE(window->pane(1).lblConnection().text(), "Not Busy");
    EXPECT_EQ(widget<QLabel>("lblStatus").text().toStdString(), robot().status());

    widget<QPushButton>("cmdStop").click();
    fetch(1).complete(200, "");
    completeStop();
    ASSERT_TRUE(window->isIdle());
    expectRunningView(false);
    EXPECT_EQ(widget<QLabel>("lblStatus").text(), "Execution Stopped");
}

TEST_F(JobWindowRunningView, CloseIsRefusedWhileATransferRuns) {
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

TEST_F(JobWindowRunningView, ClosingAPausedScanEndsIt) {
    settings().setChecked(Field::chkHour, false, clock.now().time().hour());
    widget<QPushButton>("cmdBegin").click();
    ASSERT_FALSE(window->isIdle());
    ASSERT_TRUE(robot().restartTimer().isActive());
    clock.advanceSeconds(3600);

    EXPECT_TRUE(window->close());
    EXPECT_TRUE(window->isIdle());
    EXPECT_FALSE(robot().restartTimer().isActive());
    EXPECT_EQ(messages.count(kStillDownloading), 0);
    // The hour it waited counts as scanning time of the day, saved with the job.
    EXPECT_NE(setupText().find("txtDLTime=0.04166"), std::string::npos) << setupText();
}

TEST_F(JobWindowRunningView, ResetButtonsUpdateTheStatistics) {
    settings().setText(Field::txtDLFiles, "12");
    settings().setText(Field::txtTotalFiles, "56");
    robot().UpdateStatus();
    EXPECT_EQ(widget<QLabel>("lblTodayFiles").text(), "Downloads: 12");
    widget<QPushButton>("cmdResetToday").click();
    EXPECT_EQ(widget<QLabel>("lblTodayFiles").text(), "Downloads: 0");
    EXPECT_EQ(widget<QLabel>("lblTotalFiles").text(), "Downloads: 56");
    widget<QPushButton>("cmdResetTotal").click();
    EXPECT_EQ(widget<QLabel>("lblTotalFiles").text(), "Downloads: 0");
}

}  // namespace
}  // namespace gleanery::testing
