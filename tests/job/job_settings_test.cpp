// The job model: its fields, defaults, groups, lists and the signals a window
// binds to.
#include <gtest/gtest.h>

#include <QDir>

#include "job/job_settings.h"

namespace gleanery {
namespace {

TEST(JobSettingsControls, FollowTheWindowsControlOrder) {
    const JobSettings s;
    std::vector<std::string> order;
    for (const FieldSpec& c : s.controls())
        if (order.empty() || order.back() != c.name) order.push_back(c.name);
    const std::vector<std::string> expected = {
        "txtLocation", "txtName", "txtPassword", "txtPageTypes", "txtFileTypes", "txtFileTypesNon", "txtRequired",
        "chkScanExt", "chkTunnel", "chkStorePages", "chkAllowParameters", "txtSaveLocation", "txtSaveLocation2",
        "txtSpacePrimary", "txtSpaceSecondary", "txtDailyLimitK", "txtDailyLimitFiles", "cboLimit", "chkTranslate",
        "chkRelative", "chkDisplayDownloads", "chkThumbnail", "cboConnections", "cboMaxDepth", "optBrowse",
        "chkHour", "chkImmediate", "chkLogOutput", "chkRequiteAnchor", "txtDLDate", "txtDLFiles", "txtDLK",
        "txtDLTime", "txtTotalFiles", "txtTotalK", "txtTotalTime", "txtLastFileCPS", "txtClean"};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(s.controls().size(), expected.size() - 2 + 3 + 24);

    // Frames in the order the window shows them, hidden fields without one last.
    std::vector<std::string> frames;
    for (const FieldSpec& c : s.controls())
        if (frames.empty() || frames.back() != c.frame) frames.push_back(c.frame);
    EXPECT_EQ(frames, (std::vector<std::string>{"Site Parameters", "Output Locations", "Download Limits / Options",
                                                "Scan Restrictions", "Time Restrictions", ""}));
}

TEST(JobSettingsControls, GroupMembersAreFoundByIndexOnly) {
    const JobSettings s;
    ASSERT_NE(s.find("chkHour", 23), nullptr);
    EXPECT_EQ(s.find("chkHour", 23)->caption, "11 - 12 am");
    EXPECT_EQ(s.find("chkHour", 11)->caption, "11 - 12 pm");
    EXPECT_EQ(s.find("chkHour", 0)->caption, "12 - 1 am");
    EXPECT_EQ(s.find("chkHour", 24), nullptr);
    EXPECT_EQ(s.find("chkHour"), nullptr);
    EXPECT_EQ(s.find("optBrowse", 0)->caption, "Stay Within Server");
    EXPECT_EQ(s.find("txtName", 0), nullptr);
    EXPECT_EQ(s.find("txtNope"), nullptr);
}

TEST(JobSettingsDefaults, PutOutputInTheHomeFolderAndAllowEveryHour) {
    const JobSettings s;
    const std::string ws = (QDir::homePath() + "/WS").toStdString();
    EXPECT_EQ(s.text("txtSaveLocation"), ws);
    EXPECT_EQ(s.text("txtSaveLocation2"), ws);
    for (int h = 0; h < 24; ++h) EXPECT_TRUE(s.checked("chkHour", h)) << h;
    EXPECT_EQ(s.selectedOption("optBrowse"), 1);
    EXPECT_EQ(s.listText("cboMaxDepth"), "12");
    EXPECT_EQ(s.listItems("cboMaxDepth").size(), 37u);
    EXPECT_EQ(s.listText("cboLimit"), "0");
    EXPECT_EQ(s.listItems("cboLimit").size(), 24u);
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

    const JobSettings two(2);
    EXPECT_EQ(two.listItems("cboConnections"), std::vector<std::string>{"2"});
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
    s.selectOption("optBrowse", 5);
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
    EXPECT_EQ(s.text("txtNope"), "");
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
