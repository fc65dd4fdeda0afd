// The statistics of the job: today's and total downloads, bytes and speeds,
// the queue length and the busy connections.
#include "engine/robot.h"

#include <QLocale>
#include <cmath>

#include "job/job_settings.h"
#include "support/clock.h"
#include "support/text.h"

namespace gleanery {

namespace {
// "#,##0": rounded to a whole number, thousands grouped by the locale.
std::string grouped(double value) {
    const QLocale locale;
    QString separator = locale.groupSeparator();
    if (separator.isEmpty()) separator = ",";
    std::string digits = decimal(std::llround(std::fabs(value)));
    std::string out;
    const std::string sep = separator.toStdString();
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += sep;
        out += digits[i];
    }
    return (std::llround(value) < 0 ? "-" : "") + out;
}
}  // namespace

void Robot::UpdateStatus() {
    if (idle_) scanStart_ = clock_.now();
    const double runDays = scanStart_.msecsTo(clock_.now()) / 86'400'000.0;
    auto value = [&](const char* field) { return numericValue(settings_.text(field)); };
    auto speed = [&](const char* bytesField, const char* daysField, std::string& label) {
        const double seconds = (value(daysField) + runDays) * 86400;
        // No scanning time yet: the label keeps what it showed.
        if (seconds > 0) label = "CPS: " + grouped(value(bytesField) / seconds);
    };
    statistics_.todayBytes = "Bytes: " + grouped(value("txtDLK"));
    statistics_.todayFiles = "Downloads: " + grouped(value("txtDLFiles"));
    speed("txtDLK", "txtDLTime", statistics_.todayCps);
    statistics_.totalBytes = "Bytes: " + grouped(value("txtTotalK"));
    statistics_.totalFiles = "Downloads: " + grouped(value("txtTotalFiles"));
    speed("txtTotalK", "txtTotalTime", statistics_.totalCps);
    statistics_.lastFile = "Last File CPS: " + settings_.text("txtLastFileCPS");
    statistics_.queue = "In Queue: " + decimal(std::int64_t(downloadQueue_.size()));
    statistics_.activeConnections = "Active: " + decimal(busyConnections());
    emit statisticsChanged();
}

void Robot::cmdResetToday_Click() {
    for (const char* field : {"txtDLFiles", "txtDLK", "txtDLTime"}) settings_.setText(field, "0");
    UpdateStatus();
}

void Robot::cmdResetTotal_Click() {
    for (const char* field : {"txtTotalFiles", "txtTotalK", "txtTotalTime"}) settings_.setText(field, "0");
    UpdateStatus();
}

}  // namespace gleanery
