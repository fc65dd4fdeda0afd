// A connection pane shows an address whole, never broken inside a name.
#include <gtest/gtest.h>

#include <QLabel>

#include "engine/scan_controller.h"
#include "jobwindow/connection_pane.h"

namespace gleanery {
namespace {

TEST(ConnectionPaneText, AnAddressIsWholeOrElidedInTheMiddleAndOtherTextsStay) {
    ConnectionPane pane(1, nullptr);
    const QLabel& label = pane.lblConnection();
    const std::string urls[] = {"http://localhost:18781/sec2/d0/", "http://www.example.org/" + std::string(200, 'x')};
    for (const std::string& url : urls) {
        pane.showActivity(QString::fromStdString(ScanController::wrapText(url)));
        const QString shown = label.text();
        EXPECT_EQ(label.toolTip().toStdString(), url);
        EXPECT_LE(label.fontMetrics().horizontalAdvance(shown), label.width());
        EXPECT_TRUE(shown.startsWith("http://")) << shown.toStdString();
        EXPECT_FALSE(shown.contains(u' '));
        if (url.size() < 40) {
            EXPECT_EQ(shown.toStdString(), url);
        }
    }
    pane.showActivity("Not Busy");
    EXPECT_EQ(label.text(), "Not Busy");
    EXPECT_TRUE(label.toolTip().isEmpty());
}

}  // namespace
}  // namespace gleanery
