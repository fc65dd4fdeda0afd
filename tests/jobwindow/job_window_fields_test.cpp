// The job window's fields and the job's settings follow each other both ways:
// restored setup files reach the widgets, clicks and typing reach the
// settings, number fields take digits only, and each "..." button changes
// only its own output folder.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <deque>

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

    // Convert to Local enables Relative Path, from the window and from the settings.
    translate.click();
    EXPECT_TRUE(settings().checked("chkTranslate"));
    EXPECT_TRUE(relative.isEnabled());
    settings().setChecked("chkTranslate", false);
    EXPECT_FALSE(translate.isChecked());
    EXPECT_FALSE(relative.isEnabled());
}

TEST_F(JobWindowFixture, NumberFieldsDiscardTypedAndPastedNonDigits) {
    open();
    for (const char* name : {"txtDailyLimitFiles", "txtDailyLimitK", "txtSpacePrimary", "txtSpaceSecondary"}) {
        auto& e = widget<QLineEdit>(name);
        e.clear();
        QTest::keyClicks(&e, "12a3-.+ 4");
        EXPECT_EQ(e.text(), "1234") << name;
        EXPECT_EQ(settings().text(name), "1234") << name;
        e.setCursorPosition(1);
        QApplication::clipboard()->setText("2,5-0.x");
        e.paste();
        QTest::keyClicks(&e, "7");  // the cursor stays after what was pasted
        EXPECT_EQ(e.text(), "12507234") << name;
        EXPECT_EQ(settings().text(name), "12507234") << name;
    }
    // A setup file may hold what typing could not produce; the field shows it unchanged.
    settings().setText("txtSpacePrimary", "1,000");
    EXPECT_EQ(widget<QLineEdit>("txtSpacePrimary").text(), "1,000");
}

class JobWindowFolderButtons : public JobWindowFixture {
protected:
    void SetUp() override {
        open();
        settings().setText("txtSaveLocation", "/old/primary");
        settings().setText("txtSaveLocation2", "/old/secondary");
        window->setFolderChooser([this](const std::string& current, QWidget*) {
            offered.push_back(current);
            const std::string answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    void press(int index) { widget<QPushButton>(QStringLiteral("cmdSetLocation(%1)").arg(index)).click(); }

    std::deque<std::string> answers;
    std::vector<std::string> offered;
};

TEST_F(JobWindowFolderButtons, EachButtonServesItsOwnFolderAndCancelKeepsIt) {
    answers = {"/chosen/one", "/chosen/two", ""};
    press(1);
    EXPECT_EQ(settings().text("txtSaveLocation"), "/old/primary");
    EXPECT_EQ(settings().text("txtSaveLocation2"), "/chosen/one");
    EXPECT_EQ(widget<QLineEdit>("txtSaveLocation2").text(), "/chosen/one");
    press(0);
    EXPECT_EQ(settings().text("txtSaveLocation"), "/chosen/two");
    press(0);  // cancelled
    EXPECT_EQ(settings().text("txtSaveLocation"), "/chosen/two");
    EXPECT_EQ(widget<QLineEdit>("txtSaveLocation").text(), "/chosen/two");
    EXPECT_EQ(settings().text("txtSaveLocation2"), "/chosen/one");
    EXPECT_EQ(offered, (std::vector<std::string>{"/old/secondary", "/old/primary", "/chosen/two"}));
}

}  // namespace
}  // namespace gleanery::testing
