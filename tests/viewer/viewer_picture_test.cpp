// A downloaded picture is shown at its natural size in a window sized to it,
// kept within the main window's inner area, with scroll bars for the part
// that does not fit.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>

#include "viewer/display_window.h"
#include "viewer_files.h"

namespace gleanery {
namespace {

class ViewerPictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        area.resize(400, 300);
        area.show();
    }

    // Hosted as the main window hosts it.
    void openInArea(const std::string& file) {
        viewer = new frmDisplay;
        subWindow = area.addSubWindow(viewer);
        viewer->Display(file, 2);
    }

    QScrollBar* bar(const char* name) const { return viewer->findChild<QScrollBar*>(name); }
    QLabel* picture() const { return viewer->findChild<QLabel*>("picDisplay"); }
    QWidget* frame() const { return viewer->findChild<QWidget*>("picFrame"); }

    testing::ViewerFiles files;
    QMdiArea area;
    QMdiSubWindow* subWindow = nullptr;
    frmDisplay* viewer = nullptr;
};

TEST_F(ViewerPictureTest, LargePictureClampsTheViewerAndScrollsOverTheHiddenPart) {
    openInArea(files.writePicture("large.png", 1000, 800));
    EXPECT_EQ(subWindow->geometry(), QRect(QPoint(0, 0), area.viewport()->size()));
    QScrollBar* horizontal = bar("HScroll1");
    QScrollBar* vertical = bar("VScroll1");
    ASSERT_TRUE(horizontal->isEnabled());
    ASSERT_TRUE(vertical->isEnabled());
    EXPECT_EQ(horizontal->maximum(), 1000 - frame()->width());
    EXPECT_EQ(vertical->maximum(), 800 - frame()->height());

    horizontal->setValue(30);
    vertical->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(picture()->pos(), QPoint(-30, -vertical->pageStep()));

    subWindow->resize(subWindow->width() - 40, subWindow->height() - 30);
    EXPECT_EQ(picture()->pos(), QPoint(0, 0));
    EXPECT_EQ(horizontal->value(), 0);
    EXPECT_EQ(horizontal->maximum(), 1000 - frame()->width());
}

TEST_F(ViewerPictureTest, UnreadablePicturesLeaveAnEmptyPictureAndGoodOnesAreNotHeldOpen) {
    const std::pair<std::string, QSize> cases[] = {
        {files.writePicture("ok.gif", 30, 20), {30, 20}},     // told by its content, not by its name
        {files.writePicture("caf\xE9.png", 12, 8), {12, 8}},  // a name that is not UTF-8
        {files.writeBytes("broken.png", "\x89PNG\r\n\x1a\n truncated"), {0, 0}},
        {files.path("missing.jpg"), {0, 0}},
    };
    for (const auto& [file, shown] : cases) {
        SCOPED_TRACE(file);
        openInArea(file);
        EXPECT_TRUE(picture()->isVisible());
        EXPECT_EQ(picture()->pixmap().size(), shown);
        if (!shown.isEmpty()) {
            EXPECT_EQ(testing::openHandlesTo(file), 0);
        }
    }
}

}  // namespace
}  // namespace gleanery
