#pragma once
// The statistics of a job as the windows show them: "#,##0" numbers with
// the locale's thousands separator, speeds in bytes a second.

#include <optional>
#include <string>

#include "engine/scan_statistics.h"

namespace gleanery {

struct StatisticsText {
    std::string todayFiles, todayBytes, totalFiles, totalBytes;
    // Nothing before any scanning time: the label keeps what it showed.
    std::optional<std::string> todayCps, totalCps;
    std::string queue, lastFile, activeConnections;
};

StatisticsText statisticsText(const ScanStatistics& statistics);

}  // namespace gleanery
