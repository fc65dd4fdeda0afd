#include "jobwindow/connection_pane.h"

#include <QImageReader>
#include <algorithm>
#include <QLabel>
#include <QPixmap>

#include "jobwindow/twip_box.h"

namespace gleanery {

namespace {

constexpr int kFirstPaneWidth = 4710;
constexpr int kPaneWidth = 4725;
constexpr int kPaneHeight = 1375;
constexpr int kPanesPerColumn = 5;

// The picture shrunk to fit the box, keeping its proportions; a null pixmap
// when the file is not a picture that can be read.
QPixmap thumbnail(const QString& file, const QSize& box) {
    QImageReader reader(file);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    const bool fits = size.isValid() && size.width() <= box.width() && size.height() <= box.height();
    if (size.isValid() && !fits) reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull()) return {};
    if (image.width() > box.width() || image.height() > box.height())
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return QPixmap::fromImage(image);
}

// The engine's text with the blanks it put after every 18 characters taken
// out again; other texts ("Not Busy") as they are.
QString unbroken(const QString& text) {
    constexpr qsizetype kPiece = 18;
    if (!text.endsWith(u' ')) return text;
    for (qsizetype at = kPiece; at < text.size(); at += kPiece + 1)
        if (text[at] != u' ') return text;
    QString whole;
    for (qsizetype at = 0; at < text.size(); at += kPiece + 1)
        whole += text.mid(at, std::min(kPiece, text.size() - 1 - at));
    return whole;
}

}  // namespace

ConnectionPane::ConnectionPane(int slot, QWidget* parent)
    // The seventh pane's caption lacks its blank by design.
    : QGroupBox(slot == 7 ? QStringLiteral("Connection7") : QStringLiteral("Connection %1").arg(slot), parent),
      text_(new QLabel(this)),
      picture_(new QLabel(this)) {
    setObjectName(QStringLiteral("frmConnection(%1)").arg(slot));
    // The panes lie over the settings while a scan runs and must hide them.
    setAutoFillBackground(true);
    text_->setObjectName(QStringLiteral("lblConnection(%1)").arg(slot));
    text_->setGeometry(TwipBox{120, 240, 3135, 975}.pixels());
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture_->setObjectName(QStringLiteral("fxDisp(%1)").arg(slot));
    picture_->setGeometry(TwipBox{3360, 120, 1335, 1215}.pixels());
    picture_->setAlignment(Qt::AlignCenter);
    picture_->hide();
}

void ConnectionPane::showActivity(const QString& text) {
    const QString whole = unbroken(text);
    text_->setText(text_->fontMetrics().elidedText(whole, Qt::ElideMiddle, text_->width()));
    text_->setToolTip(whole == text ? QString() : whole);
}

void ConnectionPane::showThumbnail(const QString& file) {
    picture_->setPixmap(thumbnail(file, picture_->size()));
    picture_->show();
}

void placeConnectionPanes(const std::array<ConnectionPane*, kPaneCount>& panes) {
    std::array<TwipBox, kPaneCount> boxes;
    boxes[0] = {0, 120, kFirstPaneWidth, kPaneHeight};
    boxes[kPanesPerColumn] = {boxes[0].left + boxes[0].width, 120, kPaneWidth, kPaneHeight};
    for (std::size_t k = 1; k < kPaneCount; ++k) {
        if (k == kPanesPerColumn) continue;
        const TwipBox& above = boxes[k - 1];
        const int left = k < kPanesPerColumn ? 0 : boxes[0].left + boxes[0].width;
        boxes[k] = {left, above.top + above.height, kPaneWidth, kPaneHeight};
    }
    for (std::size_t k = 0; k < kPaneCount; ++k) panes[k]->setGeometry(boxes[k].pixels());
}

}  // namespace gleanery
