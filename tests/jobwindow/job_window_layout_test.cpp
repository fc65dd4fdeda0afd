// Where the job window puts its frames, panes, hour boxes and buttons, and
// which of its parts stay hidden.
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "jobwindow/job_window_fixture.h"
#include "support/ui/twips.h"

namespace gleanery::testing {
namespace {

class JobWindowLayout : public JobWindowFixture {
protected:
    void SetUp() override { open("site.glf"); }

    QGroupBox* frameTitled(const QString& title) {
        for (QGroupBox* box : window->findChildren<QGroupBox*>())
            if (box->title() == title) return box;
        return nullptr;
    }
    QLabel* labelSaying(const QString& text) {
        for (QLabel* l : window->findChildren<QLabel*>())
            if (l->text() == text) return l;
        return nullptr;
    }
};

TEST_F(JobWindowLayout, FramesSitAtTheirTwipPlaces) {
    const struct {
        const char* title;
        QRect place;
    } frames[] = {
        {"Site Parameters", twipRect(120, 120, 9255, 2535)},
        {"Output Locations", twipRect(120, 2760, 9255, 1335)},
        {"Download Limits / Options", twipRect(120, 4200, 6615, 1335)},
        {"Scan Restrictions", twipRect(6840, 4200, 2535, 2055)},
        {"Time Restrictions", twipRect(120, 5640, 6615, 1335)},
        {"Download Statistics", twipRect(9480, 120, 2295, 3975)},
    };
    for (const auto& f : frames) {
        QGroupBox* frame = frameTitled(f.title);
        ASSERT_TRUE(frame) << f.title;
        EXPECT_EQ(frame->geometry(), f.place) << f.title;
        EXPECT_TRUE(frame->isVisible()) << f.title;
    }
    // Fields live in the frame their settings name.
    EXPECT_EQ(widget<QWidget>("txtLocation").parentWidget(), frameTitled("Site Parameters"));
    EXPECT_EQ(widget<QWidget>("optBrowse(2)").parentWidget(), frameTitled("Scan Restrictions"));
    EXPECT_EQ(widget<QWidget>("chkHour(0)").parentWidget(), frameTitled("Time Restrictions"));
}

TEST_F(JobWindowLayout, PanesFormTwoColumnsOfFive) {
    EXPECT_EQ(window->pane(1).geometry(), twipRect(0, 120, 4710, 1375));
    EXPECT_EQ(window->pane(3).geometry(), twipRect(0, 2870, 4725, 1375));
    EXPECT_EQ(window->pane(5).geometry(), twipRect(0, 5620, 4725, 1375));
    EXPECT_EQ(window->pane(6).geometry(), twipRect(4710, 120, 4725, 1375));
    EXPECT_EQ(window->pane(10).geometry(), twipRect(4710, 5620, 4725, 1375));

    EXPECT_EQ(window->pane(1).title(), "Connection 1");
    EXPECT_EQ(window->pane(7).title(), "Connection7");
    EXPECT_EQ(window->pane(10).title(), "Connection 10");
    for (int k = 1; k <= 10; ++k) {
        ConnectionPane& pane = window->pane(k);
        EXPECT_TRUE(pane.isHidden()) << k;
        EXPECT_EQ(pane.lblConnection().geometry(), twipRect(120, 240, 3135, 975)) << k;
        EXPECT_EQ(pane.lblConnection().text(), "Not Busy") << k;
        EXPECT_EQ(pane.fxDisp().geometry(), twipRect(3360, 120, 1335, 1215)) << k;
        EXPECT_TRUE(pane.fxDisp().isHidden()) << k;
    }
}

TEST_F(JobWindowLayout, HourBoxesRunDownSixColumns) {
    const int lefts[] = {120, 1182, 2244, 3306, 4368, 5430};
    const int tops[] = {240, 480, 720, 960};
    for (int hour = 0; hour < 24; ++hour) {
        auto& box = widget<QCheckBox>(QStringLiteral("chkHour(%1)").arg(hour));
        EXPECT_EQ(box.x(), twips(lefts[hour / 4])) << hour;
        EXPECT_EQ(box.y(), twips(tops[hour % 4])) << hour;
        EXPECT_EQ(box.width(), twips(1062)) << hour;
    }
    EXPECT_EQ(widget<QCheckBox>("chkHour(0)").text(), "12 - 1 am");
    EXPECT_EQ(widget<QCheckBox>("chkHour(23)").text(), "11 - 12 am");
}

TEST_F(JobWindowLayout, ButtonColumnAndStatistics) {
    EXPECT_EQ(widget<QPushButton>("cmdBegin").geometry(), twipRect(9480, 4680, 1215, 375));
    EXPECT_EQ(widget<QPushButton>("cmdStop").geometry(), twipRect(9480, 5640, 1215, 375));
    EXPECT_EQ(widget<QPushButton>("cmdResetTotal").geometry(), twipRect(10680, 4200, 1100, 255));
    EXPECT_TRUE(widget<QPushButton>("cmdBegin").isEnabled());
    EXPECT_TRUE(widget<QPushButton>("cmdResume").isEnabled());
    EXPECT_FALSE(widget<QPushButton>("cmdStop").isEnabled());
    EXPECT_TRUE(widget<QPushButton>("cmdBlock").isHidden());
    EXPECT_TRUE(widget<QPushButton>("cmdResetToday").isVisible());

    // A fresh job shows its counters; the speeds keep their captions (no scanning time yet).
    EXPECT_EQ(widget<QLabel>("lblTodayFiles").text(), "Downloads: 0");
    EXPECT_EQ(widget<QLabel>("lblTotalBytes").text(), "Bytes: 0");
    EXPECT_EQ(widget<QLabel>("lblTodayCPS").text(), "CPS:");
    EXPECT_EQ(widget<QLabel>("lblQueue").text(), "In Queue: 0");
    EXPECT_TRUE(widget<QLabel>("lblLastFile").isHidden());
}

TEST_F(JobWindowLayout, HiddenFieldsStayHidden) {
    for (const char* name : {"txtRequired", "cboLimit", "chkRelative", "lblStatus"})
        EXPECT_TRUE(widget<QWidget>(name).isHidden()) << name;
    ASSERT_TRUE(labelSaying("URL Required:"));
    EXPECT_TRUE(labelSaying("URL Required:")->isHidden());
    ASSERT_TRUE(labelSaying("Ignore Files < (K):"));
    EXPECT_TRUE(labelSaying("Ignore Files < (K):")->isHidden());
    // Counters travel with the settings but have no widget at all.
    EXPECT_FALSE(window->findChild<QWidget*>("txtDLFiles"));

    for (const char* caption : {"Password:", "Space Required (mb)", "* 1000k = 1 Megabyte"}) {
        ASSERT_TRUE(labelSaying(caption)) << caption;
        EXPECT_TRUE(labelSaying(caption)->isVisible()) << caption;
    }
}

TEST_F(JobWindowLayout, CaptionNamesTheSetupFile) {
    EXPECT_EQ(window->objectName(), "frmGeneralRobot");
    EXPECT_EQ(window->windowTitle(), "Gleanery Configuration (site.glf)");

    QDir(dir.path()).mkpath("deep/er");
    frmGeneralRobot other(messages, clock, [this](int) { return std::make_unique<ScriptedFetch>(site); });
    other.Display(path("deep/er/site.glf"));
    EXPECT_EQ(other.windowTitle(), "Gleanery Configuration (site.glf)");
}

}  // namespace
}  // namespace gleanery::testing
