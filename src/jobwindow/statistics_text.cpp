#include "jobwindow/statistics_text.h"

#include <QLocale>
#include <cmath>

#include "support/text.h"

namespace gleanery {

namespace {
// Rounded to a whole number, thousands grouped by the locale.
std::string grouped(double value) {
    QString separator = QLocale().groupSeparator();
    if (separator.isEmpty()) separator = ",";
    const std::string sep = separator.toStdString();
    const std::string digits = decimal(std::llround(std::fabs(value)));
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += sep;
        out += digits[i];
    }
    return (std::llround(value) < 0 ? "-" : "") + out;
}

std::optional<std::string> speed(std::int64_t bytes, double seconds) {
    if (!(seconds > 0)) return std::nullopt;
    return "CPS: " + grouped(double(bytes) / seconds);
}
}  // namespace

StatisticsText statisticsText(const ScanStatistics& s) {
    StatisticsText t;
    t.todayFiles = "Downloads: " + grouped(double(s.todayFiles));
    t.todayBytes = "Bytes: " + grouped(double(s.todayBytes));
    t.todayCps = speed(s.todayBytes, s.todaySeconds);
    t.totalFiles = "Downloads: " + grouped(double(s.totalFiles));
    t.totalBytes = "Bytes: " + grouped(double(s.totalBytes));
    t.totalCps = speed(s.totalBytes, s.totalSeconds);
    t.queue = "In Queue: " + decimal(s.queued);
    t.lastFile = "Last File CPS: " + s.lastFileCps;
    t.activeConnections = "Active: " + decimal(s.activeConnections);
    return t;
}

}  // namespace gleanery
