// A finished download shows as a thumbnail in its connection's pane when
// Display Thumbnail is ticked or the window is maximized (it then covers the
// viewers that would show it otherwise).
#include <QImage>
#include <QLabel>
#include <fstream>

#include "jobwindow/job_window_fixture.h"

namespace gleanery::testing {
namespace {

class JobWindowThumbnail : public JobWindowFixture {
protected:
    void SetUp() override {
        open();
        window->showNormal();
        settings().setChecked(Field::chkThumbnail, true);
        QImage picture(400, 100, QImage::Format_RGB32);
        picture.fill(Qt::red);
        ASSERT_TRUE(picture.save(QString::fromStdString(path("wide.png"))));
        std::ofstream(path("notes.zip")) << "PK not really";
    }
    void finish(int slot, const std::string& file, bool display = true) {
        emit robot().downloadFinished(slot, QString::fromStdString(path(file)), display);
    }
};

TEST_F(JobWindowThumbnail, PictureIsShrunkIntoItsPaneAndANonPictureShowsNothing) {
    finish(3, "wide.png");
    QLabel& picture = window->pane(3).fxDisp();
    EXPECT_FALSE(picture.isHidden());
    const QPixmap shown = picture.pixmap();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.width(), picture.width());
    EXPECT_EQ(shown.height(), picture.width() / 4);  // proportions kept
    EXPECT_TRUE(window->pane(4).fxDisp().isHidden());
    // A file that is no picture shows nothing.
    finish(3, "notes.zip");
    EXPECT_TRUE(window->pane(3).fxDisp().pixmap().isNull());
}

TEST_F(JobWindowThumbnail, HiddenWithoutThumbnailsOrDisplayUnlessMaximized) {
    finish(2, "wide.png");
    finish(2, "wide.png", false);
    EXPECT_TRUE(window->pane(2).fxDisp().isHidden());
    finish(2, "wide.png");
    settings().setChecked(Field::chkThumbnail, false);
    finish(2, "wide.png");
    EXPECT_TRUE(window->pane(2).fxDisp().isHidden());

    window->showMaximized();
    finish(2, "wide.png");
    EXPECT_FALSE(window->pane(2).fxDisp().isHidden());
    EXPECT_FALSE(window->pane(2).fxDisp().pixmap().isNull());
}

}  // namespace
}  // namespace gleanery::testing
