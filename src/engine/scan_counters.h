#pragma once
// The job's statistics, kept in its settings and so in its setup file:
// today's and the total downloads, bytes and scanning time. Today's counters
// start afresh on the first look of a new day.

#include <QDateTime>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/limits_policy.h"
#include "engine/scan_statistics.h"

namespace gleanery {

class Clock;
class JobSettings;

class ScanCounters {
public:
    ScanCounters(JobSettings& settings, const Clock& clock);

    // A stretch of scanning begins now.
    void startStretch();
    // Adds the stretch that ends now: all of it to the total, the part since
    // midnight to today. Nothing when no stretch runs.
    void endStretch();
    // A page or file arrived, whatever its outcome.
    void countArrival(std::int64_t bytes);
    // Whether today's limits and the present hour let the scan run.
    LimitVerdict verdict();
    void resetToday();
    void resetTotal();

    // The counters, with the running stretch's time; queue and connections
    // are the scan's to fill in.
    ScanStatistics statistics() const;

private:
    void rollDay();

    JobSettings& settings_;
    const Clock& clock_;
    std::optional<QDateTime> stretchStart_;
    // The date and stored day text that rollDay last found to be the same day.
    QDate checkedDay_;
    std::string checkedText_;
};

}  // namespace gleanery
