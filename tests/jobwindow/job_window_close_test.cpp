// The job window refuses to close while a transfer runs, ends a paused scan
// when it closes, and saves the job when it closes.
#include <QPushButton>
#include <QSignalSpy>
#include <fstream>
#include <sstream>

#include "jobwindow/job_window_fixture.h"

namespace gleanery::testing {
namespace {

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
    settings().setText("txtName", "closing");
    EXPECT_TRUE(window->close());
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_NE(setupText().find("txtName=closing"), std::string::npos);
}

TEST_F(JobWindowClose, ClosingAPausedScanEndsIt) {
    settings().setChecked("chkHour", false, clock.now().time().hour());
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

}  // namespace
}  // namespace gleanery::testing
