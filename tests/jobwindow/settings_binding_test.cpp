// The widgets and the job's settings follow each other both ways: clicks
// reach the settings at once, restored setup files reach the widgets.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "jobwindow/job_window_fixture.h"

namespace gleanery::testing {
namespace {

class JobWindowBinding : public JobWindowFixture {
protected:
    QStringList items(const char* list) {
        QStringList texts;
        auto& box = widget<QComboBox>(list);
        for (int i = 0; i < box.count(); ++i) texts << box.itemText(i);
        return texts;
    }
};

TEST_F(JobWindowBinding, RestoredSetupFileReachesTheWidgetsAndClicksReachTheSettings) {
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
    EXPECT_TRUE(settings().checked(Field::chkTranslate));
    EXPECT_TRUE(relative.isEnabled());
    settings().setChecked(Field::chkTranslate, false);
    EXPECT_FALSE(translate.isChecked());
    EXPECT_FALSE(relative.isEnabled());
}

TEST_F(JobWindowBinding, ConnectionListFollowsTheSystemLimit) {
    const struct {
        int limit;
        const char* setup;
        int count;
        const char* chosen;
    } cases[] = {
        {10, "", 9, "10"},
        {10, "cboConnections=3\n", 9, "5"},
        {10, "cboConnections=9\n", 9, "10"},  // beyond the list: ignored
        {12, "", 11, "12"},
        {2, "", 1, "2"},
    };
    int n = 0;
    for (const auto& c : cases) {
        allowConnections(c.limit);
        const std::string name = "job" + std::to_string(n++) + ".glf";
        writeSetup(name, c.setup);
        window = std::make_unique<frmGeneralRobot>(
            messages, clock, [this](int) { return std::make_unique<ScriptedFetch>(site); });
        open(name);
        EXPECT_EQ(window->maxConnections(), c.limit);
        const QStringList list = items("cboConnections");
        EXPECT_EQ(list.size(), c.count) << c.limit;
        EXPECT_EQ(list.value(0), "2");
        EXPECT_EQ(list.value(list.size() - 1), QString::number(c.limit));
        EXPECT_EQ(widget<QComboBox>("cboConnections").currentText(), c.chosen) << c.limit << c.setup;
        EXPECT_EQ(settings().listText(Field::cboConnections), c.chosen);
    }
    widget<QComboBox>("cboConnections").setCurrentIndex(0);
    EXPECT_EQ(settings().listText(Field::cboConnections), "2");
}

TEST_F(JobWindowBinding, OptionGroupKeepsOneChoice) {
    open();
    auto& server = widget<QRadioButton>("optBrowse(0)");
    auto& domain = widget<QRadioButton>("optBrowse(1)");
    ASSERT_TRUE(domain.isChecked());
    server.click();
    EXPECT_EQ(settings().selectedOption(Field::optBrowse), 0);
    EXPECT_FALSE(domain.isChecked());
    // Clicking the chosen button keeps it chosen.
    server.click();
    EXPECT_TRUE(server.isChecked());
    EXPECT_EQ(settings().selectedOption(Field::optBrowse), 0);
}

}  // namespace
}  // namespace gleanery::testing
