// The start address refuses Gleanery's own web site, in any case and place.
#include <gtest/gtest.h>

#include "common/scripted_messages.h"
#include "job/job_settings.h"
#include "job/location_rule.h"

namespace gleanery {
namespace {

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
        settings.setText("txtLocation", c.address);
        EXPECT_EQ(txtLocation_LostFocus(settings, messages), c.refused) << c.address;
        EXPECT_EQ(settings.text("txtLocation"), c.refused ? "" : c.address);
        EXPECT_EQ(messages.shown.size(), c.refused ? 1u : 0u) << c.address;
    }
}

}  // namespace
}  // namespace gleanery
