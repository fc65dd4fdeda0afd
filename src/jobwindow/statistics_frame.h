#pragma once
// The frame "Download Statistics": today's and the job's downloads, bytes and
// speeds, and the length of the download queue.

#include <QGroupBox>

#include "engine/robot.h"

class QLabel;

namespace gleanery {

class StatisticsFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit StatisticsFrame(QWidget* parent);
    void showStatistics(const Robot::Statistics& statistics);

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
