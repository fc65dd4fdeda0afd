#pragma once
// The daily limits and the allowed hours as plain rules of (now, settings,
// counters), and how a stretch of scanning time is shared between today and
// the total.

#include <QDateTime>
#include <array>
#include <optional>
#include <string>

namespace gleanery {

class SettingsView;

struct DailyLimits {
    std::optional<double> bytes;   // most bytes a day; none when the field is empty
    std::optional<double> files;   // most downloads a day
    std::array<bool, 24> hours{};  // hours in which the scan may run
};

struct DailyCounters {
    double bytes = 0;
    double files = 0;
};

enum class LimitVerdict { Allowed, DailyLimit, Hours };

DailyLimits readDailyLimits(const SettingsView& settings);
DailyCounters readDailyCounters(const SettingsView& settings);

// A forbidden hour wins over an exceeded limit: it tells the longer wait.
// A limit pauses only once the counter has gone beyond it.
LimitVerdict limitVerdict(const DailyLimits& limits, const DailyCounters& today, const QTime& now);

// True when the stored day (MM/dd/yyyy) is not today. A day that cannot be
// read counts as another day, so the daily counters start afresh rather than
// pausing the scan for ever.
bool isNewDay(const std::string& storedDay, const QDate& today);
std::string dayText(const QDate& day);

// Scanning time in days: all of it counts for the total, only the part after
// the last midnight for today.
struct RunShares {
    double today = 0;
    double total = 0;
};
RunShares runShares(const QDateTime& start, const QDateTime& end);

}  // namespace gleanery
