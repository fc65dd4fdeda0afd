// The job window's frames and which of its parts stay hidden.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "jobwindow/job_window_fixture.h"
#include "support/ui/twips.h"

namespace gleanery::testing {
namespace {

class JobWindowLayout : public JobWindowFixture {
protected:
    void SetUp() override { open(); }

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

TEST_F(JobWindowLayout, FieldsLiveInTheFrameTheirSettingsName) {
    for (const char* title : {"Site Parameters", "Output Locations", "Download Limits / Options", "Scan Restrictions",
                              "Time Restrictions", "Download Statistics"}) {
        ASSERT_TRUE(frameTitled(title)) << title;
        EXPECT_TRUE(frameTitled(title)->isVisible()) << title;
    }
    EXPECT_EQ(frameTitled("Site Parameters")->geometry(), twipRect(120, 120, 9255, 2835));
    EXPECT_EQ(widget<QWidget>("txtLocation").parentWidget(), frameTitled("Site Parameters"));
    EXPECT_EQ(widget<QWidget>("optBrowse(2)").parentWidget(), frameTitled("Scan Restrictions"));
    EXPECT_EQ(widget<QWidget>("chkHour(0)").parentWidget(), frameTitled("Time Restrictions"));
}

TEST_F(JobWindowLayout, HiddenFieldsStayHidden) {
    for (const char* name : {"txtRequired", "cboLimit", "chkRelative", "lblStatus"})
        EXPECT_TRUE(widget<QWidget>(name).isHidden()) << name;
    for (const char* caption : {"URL Required:", "Ignore Files < (K):"}) {
        ASSERT_TRUE(labelSaying(caption)) << caption;
        EXPECT_TRUE(labelSaying(caption)->isHidden()) << caption;
    }
    EXPECT_TRUE(widget<QPushButton>("cmdBlock").isHidden());
    // Counters travel with the settings but have no widget at all.
    EXPECT_FALSE(window->findChild<QWidget*>("txtDLFiles"));
}

}  // namespace
}  // namespace gleanery::testing
