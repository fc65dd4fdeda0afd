// The About window: name, version and platform; Done only after its timer;
// closed by Done, by any key and by a click on its frame.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSysInfo>
#include <QTest>
#include <functional>

#include "shell/about_window.h"

namespace gleanery {
namespace {

TEST(AboutWindow, ShowsNameVersionAndPlatformAndDoneOnlyAfterItsTimer) {
    frmSplash about;
    about.show();
    EXPECT_TRUE(about.isModal());
    EXPECT_EQ(about.findChild<QLabel*>("lblProductName")->text(), "Gleanery");
    EXPECT_EQ(about.findChild<QLabel*>("lblVersion")->text(),
              QStringLiteral("Version %1.%2.%3")
                  .arg(GLEANERY_VERSION_MAJOR)
                  .arg(GLEANERY_VERSION_MINOR)
                  .arg(GLEANERY_VERSION_PATCH));
    EXPECT_EQ(about.findChild<QLabel*>("lblPlatform")->text(), QSysInfo::prettyProductName());

    auto* done = about.findChild<QPushButton*>("cmdDone");
    ASSERT_NE(done, nullptr);
    EXPECT_FALSE(done->isVisible());
    EXPECT_EQ(about.timer().interval(), 15000);
    about.Timer1_Timer();
    EXPECT_TRUE(done->isVisible());
}

TEST(AboutWindow, ClosesOnDoneAnyKeyOrAClickOnItsFrame) {
    const std::vector<std::pair<const char*, std::function<void(frmSplash&)>>> ways = {
        {"Done", [](frmSplash& w) {
             w.Timer1_Timer();
             QTest::mouseClick(w.findChild<QPushButton*>("cmdDone"), Qt::LeftButton);
         }},
        {"a letter", [](frmSplash& w) { QTest::keyClick(&w, Qt::Key_A); }},
        {"the frame", [](frmSplash& w) { QTest::mouseClick(w.findChild<QWidget*>("Frame1"), Qt::LeftButton); }},
        {"a label on the frame",
         [](frmSplash& w) { QTest::mouseClick(w.findChild<QLabel*>("lblVersion"), Qt::LeftButton); }},
    };
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        frmSplash about;
        about.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
        close(about);
        EXPECT_FALSE(about.isVisible());
    }
}

}  // namespace
}  // namespace gleanery
