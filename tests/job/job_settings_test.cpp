// The job model: its lists, the signals a window binds to, and the rule that
// refuses Gleanery's own web site as the start address.
#include <gtest/gtest.h>

#include "common/scripted_messages.h"
#include "job/job_settings.h"
#include "job/location_rule.h"

namespace gleanery {
namespace {

TEST(JobSettingsLists, ConnectionsRunFromTwoToTheLimitAndBadIndexesAreRefused) {
    JobSettings s(10);
    EXPECT_EQ(s.listItems(Field::cboConnections).front() + "-" + s.listText(Field::cboConnections), "2-10");
    s.fillConnections(16);
    EXPECT_EQ(s.listText(Field::cboConnections), "16");
    EXPECT_TRUE(JobSettings(1).listItems(Field::cboConnections).empty());

    EXPECT_FALSE(s.setListIndex(Field::cboMaxDepth, 37));
    EXPECT_FALSE(s.setListIndex(Field::cboMaxDepth, -2));
    EXPECT_EQ(s.listIndex(Field::cboMaxDepth), 12);
}

TEST(JobSettingsSignals, ChangedOnlyWhenAValueReallyChangesAndRelativePathFollowsConvertToLocal) {
    JobSettings s;
    std::vector<std::string> heard;
    QObject::connect(&s, &JobSettings::changed, [&](const QString& field, int index) {
        heard.push_back(field.toStdString() + ":" + std::to_string(index));
    });
    QObject::connect(&s, &JobSettings::enabledChanged, [&](const QString& field, bool enabled) {
        heard.push_back(field.toStdString() + (enabled ? "=on" : "=off"));
    });
    s.setText(Field::txtName, "");
    s.setChecked(Field::chkHour, true, 4);
    s.selectOption(Field::optBrowse, 1);
    s.setListIndex(Field::cboMaxDepth, 12);
    s.fillConnections(10);
    s.setChecked(Field::chkTranslate, true);
    EXPECT_TRUE(heard.empty());

    s.setText(Field::txtName, "bob");
    s.setChecked(Field::chkHour, false, 4);
    s.setListIndex(Field::cboMaxDepth, 3);
    s.selectOption(Field::optBrowse, 2);
    s.fillConnections(12);
    s.setChecked(Field::chkTranslate, false);
    s.setChecked(Field::chkTranslate, true);
    EXPECT_EQ(heard, (std::vector<std::string>{"txtName:-1", "chkHour:4", "cboMaxDepth:-1", "optBrowse:1",
                                               "optBrowse:2", "cboConnections:-1", "chkTranslate:-1", "chkRelative=off",
                                               "chkTranslate:-1", "chkRelative=on"}));
}

TEST(LocationRule, OwnSiteIsRefusedAndEmptiedOtherSitesStay) {
    const struct {
        const char* address;
        bool refused;
    } cases[] = {{"http://gleanery.org/", true},
                 {"HTTP://WWW.GLEANERY.ORG/download", true},
                 {"http://mirror.example/?from=GleaNery.Org&x=1", true},
                 {"http://gleanery.example.org/", false}};
    for (const auto& c : cases) {
        JobSettings settings;
        testing::ScriptedMessages messages;
        settings.setText(Field::txtLocation, c.address);
        EXPECT_EQ(refuseOwnSite(settings, messages), c.refused) << c.address;
        EXPECT_EQ(settings.text(Field::txtLocation), c.refused ? "" : c.address);
        EXPECT_EQ(messages.shown.size(), c.refused ? 1u : 0u) << c.address;
    }
}

}  // namespace
}  // namespace gleanery
