// The job model: its fields, defaults, groups, lists and the signals a window
// binds to.
#include <gtest/gtest.h>

#include "job/job_settings.h"

namespace gleanery {
namespace {

TEST(JobSettingsControls, GroupMembersAreFoundByIndexOnly) {
    const JobSettings s;
    ASSERT_NE(s.find("chkHour", 23), nullptr);
    EXPECT_EQ(s.find("chkHour", 23)->caption, "11 - 12 am");
    EXPECT_EQ(s.find("chkHour", 24), nullptr);
    EXPECT_EQ(s.find("chkHour"), nullptr);
    EXPECT_EQ(s.find("txtName", 0), nullptr);
    EXPECT_EQ(s.find("txtNope"), nullptr);
}

TEST(JobSettingsLists, ConnectionsRunFromTwoToTheLimitAndChooseTheLast) {
    JobSettings s(10);
    EXPECT_EQ(s.listItems("cboConnections"), (std::vector<std::string>{"2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(s.listIndex("cboConnections"), 8);
    ASSERT_TRUE(s.setListIndex("cboConnections", 3));
    EXPECT_EQ(s.listText("cboConnections"), "5");

    s.fillConnections(16);
    EXPECT_EQ(s.listItems("cboConnections").size(), 15u);
    EXPECT_EQ(s.listText("cboConnections"), "16");

    const JobSettings none(1);
    EXPECT_TRUE(none.listItems("cboConnections").empty());
    EXPECT_EQ(none.listIndex("cboConnections"), -1);
    EXPECT_EQ(none.listText("cboConnections"), "");
}

TEST(JobSettingsLists, RefuseAnIndexOutsideTheList) {
    JobSettings s;
    EXPECT_FALSE(s.setListIndex("cboMaxDepth", 37));
    EXPECT_FALSE(s.setListIndex("cboMaxDepth", -2));
    EXPECT_EQ(s.listIndex("cboMaxDepth"), 12);
    EXPECT_TRUE(s.setListIndex("cboMaxDepth", -1));
    EXPECT_EQ(s.listText("cboMaxDepth"), "");
    EXPECT_FALSE(s.setListIndex("txtName", 0));
}

TEST(JobSettingsOptions, SelectingOneDeselectsTheOthers) {
    JobSettings s;
    s.selectOption("optBrowse", 0);
    EXPECT_EQ(s.selectedOption("optBrowse"), 0);
    s.deselectOption("optBrowse", 1);
    EXPECT_EQ(s.selectedOption("optBrowse"), 0);
    s.deselectOption("optBrowse", 0);
    EXPECT_EQ(s.selectedOption("optBrowse"), -1);
}

TEST(JobSettingsSignals, ChangedOnlyWhenAValueReallyChanges) {
    JobSettings s;
    std::vector<std::string> heard;
    QObject::connect(&s, &JobSettings::changed, [&](const QString& field, int index) {
        heard.push_back(field.toStdString() + ":" + std::to_string(index));
    });
    s.setText("txtName", "");
    s.setChecked("chkHour", true, 4);
    s.selectOption("optBrowse", 1);
    s.setListIndex("cboMaxDepth", 12);
    s.fillConnections(10);
    EXPECT_TRUE(heard.empty());

    s.setText("txtName", "bob");
    s.setChecked("chkHour", false, 4);
    s.setListIndex("cboMaxDepth", 3);
    s.selectOption("optBrowse", 2);
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
    EXPECT_TRUE(s.isEnabled("chkRelative"));
    s.setChecked("chkTranslate", false);
    EXPECT_FALSE(s.isEnabled("chkRelative"));
    s.setChecked("chkTranslate", false);
    s.setChecked("chkTranslate", true);
    EXPECT_TRUE(s.isEnabled("chkRelative"));
    EXPECT_EQ(heard, (std::vector<std::string>{"chkRelative=off", "chkRelative=on"}));
    EXPECT_TRUE(s.isEnabled("chkHour", 2));
    EXPECT_FALSE(s.isEnabled("chkNope"));
}

TEST(JobSettingsAccess, UnknownFieldsAndWrongKindsReadEmpty) {
    JobSettings s;
    EXPECT_EQ(s.text("chkTunnel"), "");
    EXPECT_FALSE(s.checked("txtName"));
    EXPECT_FALSE(s.checked("chkHour"));  // a group needs an index
    EXPECT_EQ(s.selectedOption("chkHour"), -1);
    EXPECT_EQ(s.listIndex("txtName"), -1);
    s.setText("chkTunnel", "0");
    EXPECT_TRUE(s.checked("chkTunnel"));
}

}  // namespace
}  // namespace gleanery
