// The job model: its lists and the signals a window binds to.
#include <gtest/gtest.h>

#include "job/job_settings.h"

namespace gleanery {
namespace {

TEST(JobSettingsLists, ConnectionsRunFromTwoToTheLimitAndBadIndexesAreRefused) {
    JobSettings s(10);
    EXPECT_EQ(s.listItems(Field::cboConnections),
              (std::vector<std::string>{"2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(s.listIndex(Field::cboConnections), 8);
    s.fillConnections(16);
    EXPECT_EQ(s.listText(Field::cboConnections), "16");
    EXPECT_TRUE(JobSettings(1).listItems(Field::cboConnections).empty());

    EXPECT_FALSE(s.setListIndex(Field::cboMaxDepth, 37));
    EXPECT_FALSE(s.setListIndex(Field::cboMaxDepth, -2));
    EXPECT_EQ(s.listIndex(Field::cboMaxDepth), 12);
}

TEST(JobSettingsSignals, ChangedOnlyWhenAValueReallyChanges) {
    JobSettings s;
    std::vector<std::string> heard;
    QObject::connect(&s, &JobSettings::changed, [&](const QString& field, int index) {
        heard.push_back(field.toStdString() + ":" + std::to_string(index));
    });
    s.setText(Field::txtName, "");
    s.setChecked(Field::chkHour, true, 4);
    s.selectOption(Field::optBrowse, 1);
    s.setListIndex(Field::cboMaxDepth, 12);
    s.fillConnections(10);
    EXPECT_TRUE(heard.empty());

    s.setText(Field::txtName, "bob");
    s.setChecked(Field::chkHour, false, 4);
    s.setListIndex(Field::cboMaxDepth, 3);
    s.selectOption(Field::optBrowse, 2);
    s.fillConnections(12);
    EXPECT_EQ(heard, (std::vector<std::string>{"txtName:-1", "chkHour:4", "cboMaxDepth:-1", "optBrowse:1",
                                               "optBrowse:2", "cboConnections:-1"}));
}

TEST(JobSettingsSignals, RelativePathFollowsConvertToLocal) {
    JobSettings s;
    std::vector<std::string> heard;
    QObject::connect(&s, &JobSettings::enabledChanged, [&](const QString& field, bool enabled) {
        heard.push_back(field.toStdString() + "=" + (enabled ? "on" : "off"));
    });
    s.setChecked(Field::chkTranslate, false);
    s.setChecked(Field::chkTranslate, false);
    s.setChecked(Field::chkTranslate, true);
    EXPECT_EQ(heard, (std::vector<std::string>{"chkRelative=off", "chkRelative=on"}));
}

}  // namespace
}  // namespace gleanery
