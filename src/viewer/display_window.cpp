#include "viewer/display_window.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>

#include "support/text.h"
#include "support/ui/twips.h"
#include "viewer/archive_listing.h"
#include "viewer/picture_file.h"

namespace gleanery {
namespace {

constexpr int kArchiveWidthTwips = 7500;
constexpr int kArchiveHeightTwips = 5250;
constexpr int kScrollBarTwips = 255;
// Kept free around the picture, beyond the room for the scroll bars.
constexpr int kMarginTwips = 75;
// Between the viewport and the scroll bars.
constexpr int kFrameGapTwips = 15;
constexpr int kScrollStepTwips = 15;

bool isArchiveName(const std::string& name) {
    return name.size() >= 4 && asciiLower(std::string_view(name).substr(name.size() - 4)) == ".zip";
}

QString fromBytes(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

frmDisplay::frmDisplay(QWidget* parent)
    : QWidget(parent),
      txtList_(new QPlainTextEdit(this)),
      picFrame_(new QWidget(this)),
      picDisplay_(new QLabel(picFrame_)),
      HScroll1_(new QScrollBar(Qt::Horizontal, this)),
      VScroll1_(new QScrollBar(Qt::Vertical, this)) {
    setObjectName(QStringLiteral("frmDisplay"));
    txtList_->setObjectName(QStringLiteral("txtList"));
    picFrame_->setObjectName(QStringLiteral("picFrame"));
    picDisplay_->setObjectName(QStringLiteral("picDisplay"));
    HScroll1_->setObjectName(QStringLiteral("HScroll1"));
    VScroll1_->setObjectName(QStringLiteral("VScroll1"));

    txtList_->setReadOnly(true);
    txtList_->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Nothing is shown until Display chooses between the list and the picture.
    for (QWidget* control : {static_cast<QWidget*>(txtList_), picFrame_, static_cast<QWidget*>(HScroll1_),
                             static_cast<QWidget*>(VScroll1_)})
        control->hide();

    // Tracking is on, so a drag moves the picture as the value changes.
    connect(HScroll1_, &QScrollBar::valueChanged, this,
            [this](int value) { picDisplay_->move(-value, picDisplay_->y()); });
    connect(VScroll1_, &QScrollBar::valueChanged, this,
            [this](int value) { picDisplay_->move(picDisplay_->x(), -value); });
}

void frmDisplay::Display(const std::string& lsFile, int liIndex) {
    lsFile_ = lsFile;
    liIndex_ = liIndex;
    setWindowTitle(liIndex < 0 ? fromBytes(lsFile) : QString::number(liIndex) + u'-' + fromBytes(lsFile));
    // Shown first, so that the frame around the viewer has its final measures.
    outerWindow()->show();
    show();
    if (isArchiveName(lsFile))
        showArchive();
    else
        showPicture();
}

void frmDisplay::showArchive() {
    picFrame_->hide();
    HScroll1_->hide();
    VScroll1_->hide();
    txtList_->setPlainText(archiveListing(lsFile_));
    txtList_->show();
    QWidget* window = outerWindow();
    const QSize decoration = window->frameGeometry().size() - window->size();
    window->resize(QSize(twips(kArchiveWidthTwips), twips(kArchiveHeightTwips)) - decoration);
    arrange();
}

void frmDisplay::showPicture() {
    txtList_->hide();
    const QImage picture = loadPicture(lsFile_);
    picDisplay_->setPixmap(QPixmap::fromImage(picture));
    picDisplay_->resize(picture.size());
    picFrame_->show();
    HScroll1_->show();
    VScroll1_->show();

    QWidget* window = outerWindow();
    const QSize decoration = window->frameGeometry().size() - window->size();
    const QSize allowance = window->frameGeometry().size() - size();
    const int room = twips(kScrollBarTwips + kMarginTwips);
    const QRect area = hostArea();
    const QSize outer = (allowance + picture.size() + QSize(room, room)).boundedTo(area.size());
    window->resize(outer - decoration);
    window->move(area.topLeft());
    arrange();
}

void frmDisplay::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange();
}

void frmDisplay::arrange() {
    if (outerWindow()->isMinimized()) return;
    if (!picFrame_->isHidden())
        arrangePicture();
    else if (!txtList_->isHidden())
        txtList_->setGeometry(rect());
}

void frmDisplay::arrangePicture() {
    const int bar = twips(kScrollBarTwips);
    const int gap = twips(kFrameGapTwips);
    const int innerWidth = width();
    const int innerHeight = height();
    HScroll1_->setGeometry(0, innerHeight - bar, std::max(0, innerWidth - bar), bar);
    VScroll1_->setGeometry(innerWidth - bar, 0, bar, std::max(0, innerHeight - bar));
    picFrame_->setGeometry(0, 0, std::max(0, innerWidth - bar - gap), std::max(0, innerHeight - bar - gap));
    arrangeBar(HScroll1_, picDisplay_->width() - picFrame_->width());
    arrangeBar(VScroll1_, picDisplay_->height() - picFrame_->height());
}

void frmDisplay::arrangeBar(QScrollBar* bar, int hidden) {
    // Every resize scrolls back to the origin: the picture follows the value.
    bar->setValue(0);
    if (hidden <= 0) {
        bar->setEnabled(false);
        return;
    }
    bar->setRange(0, hidden);
    bar->setSingleStep(twips(kScrollStepTwips));
    // A step of nothing would make paging do nothing at all.
    bar->setPageStep(std::max(1, hidden / 10));
    bar->setEnabled(true);
}

QWidget* frmDisplay::outerWindow() {
    auto* subWindow = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (subWindow && subWindow->widget() == this) return subWindow;
    return this;
}

QRect frmDisplay::hostArea() {
    QWidget* window = outerWindow();
    // An MDI subwindow's parent is its area's viewport.
    if (QWidget* parent = window->parentWidget()) return parent->contentsRect();
    return window->screen()->availableGeometry();
}

}  // namespace gleanery
