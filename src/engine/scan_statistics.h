#pragma once
// What a job has done, as plain numbers; the fronts format them.

#include <cstdint>
#include <string>

namespace gleanery {

struct ScanStatistics {
    std::int64_t todayFiles = 0;
    std::int64_t todayBytes = 0;
    double todaySeconds = 0;  // scanning time, the running stretch included
    std::int64_t totalFiles = 0;
    std::int64_t totalBytes = 0;
    double totalSeconds = 0;
    std::string lastFileCps;  // as the setup file holds it
    std::int64_t queued = 0;  // targets waiting for a connection
    int activeConnections = 0;
};

// What this run has done since Begin or Resume, for progress displays.
struct RunProgress {
    std::int64_t pagesScanned = 0;  // failed ones included
    std::int64_t pagesFailed = 0;
    std::int64_t filesDownloaded = 0;  // failed ones included
    std::int64_t filesFailed = 0;
    std::int64_t bytesReceived = 0;  // pages and files
    // Pages and files of a refresh: asked for if changed and not (304), asked
    // for if changed and sent, and asked for without a stored copy.
    std::int64_t unchanged = 0;
    std::int64_t changed = 0;
    std::int64_t added = 0;
};

}  // namespace gleanery
