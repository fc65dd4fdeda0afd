#include "jobwindow/statistics_frame.h"

#include <QLabel>

#include "jobwindow/twip_box.h"

namespace gleanery {

namespace {

constexpr int kLabelWidth = 1935;
constexpr int kLabelHeight = 255;

QLabel* label(const char* name, const char* caption, int left, int top, QWidget* frame) {
    auto* l = new QLabel(QString::fromUtf8(caption), frame);
    if (*name) l->setObjectName(QString::fromUtf8(name));
    l->setGeometry(TwipBox{left, top, kLabelWidth, kLabelHeight}.pixels());
    return l;
}

}  // namespace

StatisticsFrame::StatisticsFrame(QWidget* parent) : QGroupBox(QStringLiteral("Download Statistics"), parent) {
    setGeometry(TwipBox{9480, 120, 2295, 3975}.pixels());
    label("", "Today:", 120, 240, this);
    lblTodayFiles_ = label("lblTodayFiles", "Downloads:", 240, 540, this);
    lblTodayBytes_ = label("lblTodayBytes", "Bytes:", 240, 840, this);
    lblTodayCPS_ = label("lblTodayCPS", "CPS:", 240, 1140, this);
    label("", "Site Total:", 120, 1560, this);
    lblTotalFiles_ = label("lblTotalFiles", "Downloads:", 240, 1860, this);
    lblTotalBytes_ = label("lblTotalBytes", "Bytes:", 240, 2160, this);
    lblTotalCps_ = label("lblTotalCps", "CPS:", 240, 2460, this);
    lblQueue_ = label("lblQueue", "In Queue:", 120, 2880, this);
    lblLastFile_ = label("lblLastFile", "Last File CPS:", 120, 3240, this);
    lblLastFile_->hide();
}

void StatisticsFrame::showStatistics(const StatisticsText& s) {
    const auto show = [](QLabel* l, const std::string& text) { l->setText(QString::fromStdString(text)); };
    show(lblTodayFiles_, s.todayFiles);
    show(lblTodayBytes_, s.todayBytes);
    if (s.todayCps) show(lblTodayCPS_, *s.todayCps);
    show(lblTotalFiles_, s.totalFiles);
    show(lblTotalBytes_, s.totalBytes);
    if (s.totalCps) show(lblTotalCps_, *s.totalCps);
    show(lblQueue_, s.queue);
    show(lblLastFile_, s.lastFile);
}

}  // namespace gleanery
