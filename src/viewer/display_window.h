#pragma once
// Shows one downloaded file: a picture at its natural size, with scroll bars
// when it is larger than the window, or the entries of a ".zip" archive with
// their sizes.
//
// The viewer lives as the widget of a QMdiSubWindow of the main window's MDI
// area, or inside any parent widget, or on its own. Put it in its place before
// calling Display: a picture window is sized from its frame and kept within
// that place.

#include <QWidget>
#include <string>

class QLabel;
class QPlainTextEdit;
class QScrollBar;

namespace gleanery {

class frmDisplay : public QWidget {
    Q_OBJECT
public:
    explicit frmDisplay(QWidget* parent = nullptr);

    // Stores the file and the number shown in the caption (none when
    // negative), loads the file and shows the window without waiting.
    void Display(const std::string& lsFile, int liIndex = 0);

    const std::string& file() const { return lsFile_; }
    int index() const { return liIndex_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showArchive();
    void showPicture();
    void arrange();
    void arrangePicture();
    void arrangeBar(QScrollBar* bar, int hidden);
    // The window as the user sees it: the MDI subwindow holding the viewer, or the viewer itself.
    QWidget* outerWindow();
    // Where the window may lie: the MDI area's viewport, the parent's inner area or the screen.
    QRect hostArea();

    std::string lsFile_;
    int liIndex_ = 0;
    // The controls carry these names as object names too.
    QPlainTextEdit* txtList_;
    QWidget* picFrame_;
    QLabel* picDisplay_;
    QScrollBar* HScroll1_;
    QScrollBar* VScroll1_;
};

}  // namespace gleanery
