// Leaving the start address refuses Gleanery's own web site.
#include <QLineEdit>
#include <QTest>

#include "job/location_rule.h"
#include "jobwindow/job_window_fixture.h"

namespace gleanery::testing {
namespace {

class JobWindowLocationRule : public JobWindowFixture {
protected:
    void SetUp() override {
        open();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // Types an address and moves on to the user name field.
    void typeAndLeave(const QString& address) {
        auto& location = widget<QLineEdit>("txtLocation");
        location.setFocus();
        location.clear();
        QTest::keyClicks(&location, address);
        widget<QLineEdit>("txtName").setFocus();
        pump();
    }
};

TEST_F(JobWindowLocationRule, OwnSiteIsRefusedInAnyCaseAndPlaceOtherSitesStay) {
    const struct {
        const char* address;
        bool refused;
    } cases[] = {{"http://gleanery.org/", true},
                 {"HTTP://WWW.GLEANERY.ORG/download", true},
                 {"http://mirror.example/?from=GleaNery.Org&x=1", true},
                 {"http://gleanery.example.org/", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        messages.shown.clear();
        typeAndLeave(c.address);
        EXPECT_EQ(widget<QLineEdit>("txtLocation").text(), c.refused ? "" : c.address);
        EXPECT_EQ(settings().text(Field::txtLocation), c.refused ? "" : c.address);
        ASSERT_EQ(messages.shown.size(), c.refused ? 1u : 0u);
        if (c.refused) {
            EXPECT_NE(messages.shown[0].text.find(kProductHost), std::string::npos);
        }
    }
}

TEST_F(JobWindowLocationRule, OnlyLeavingTheFieldChecks) {
    auto& location = widget<QLineEdit>("txtLocation");
    location.setFocus();
    QTest::keyClicks(&location, "http://gleanery.org/");
    pump();
    // Still typing: nothing refused yet.
    EXPECT_EQ(settings().text(Field::txtLocation), "http://gleanery.org/");
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace gleanery::testing
