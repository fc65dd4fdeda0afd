#pragma once
// The frame "Download Statistics": today's and the job's downloads, bytes and
// speeds, and the length of the download queue.

#include <QGroupBox>

#include "jobwindow/statistics_text.h"

class QLabel;

namespace gleanery {

class StatisticsFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit StatisticsFrame(QWidget* parent);
    void showStatistics(const StatisticsText& statistics);

private:
    QLabel* lblTodayFiles_;
    QLabel* lblTodayBytes_;
    QLabel* lblTodayCPS_;
    QLabel* lblTotalFiles_;
    QLabel* lblTotalBytes_;
    QLabel* lblTotalCps_;
    QLabel* lblQueue_;
    QLabel* lblLastFile_;
};

}  // namespace gleanery
