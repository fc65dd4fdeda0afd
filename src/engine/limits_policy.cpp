#include "engine/limits_policy.h"

#include <algorithm>

#include "support/settings_view.h"
#include "support/text.h"

namespace gleanery {

namespace {
constexpr const char* kDayFormat = "MM/dd/yyyy";
constexpr double kMsPerDay = 86'400'000.0;

std::optional<double> limit(const SettingsView& settings, TextKey field, double unit) {
    const std::string& text = settings.text(field);
    if (text.empty()) return std::nullopt;
    return numericValue(text) * unit;
}
}  // namespace

DailyLimits readDailyLimits(const SettingsView& settings) {
    DailyLimits limits;
    limits.bytes = limit(settings, Field::txtDailyLimitK, 1000);
    limits.files = limit(settings, Field::txtDailyLimitFiles, 1);
    for (int hour = 0; hour < 24; ++hour) limits.hours[std::size_t(hour)] = settings.checked(Field::chkHour, hour);
    return limits;
}

DailyCounters readDailyCounters(const SettingsView& settings) {
    return {numericValue(settings.text(Field::txtDLK)), numericValue(settings.text(Field::txtDLFiles))};
}

LimitVerdict limitVerdict(const DailyLimits& limits, const DailyCounters& today, const QTime& now) {
    if (!limits.hours[std::size_t(now.hour())]) return LimitVerdict::Hours;
    if (limits.bytes && *limits.bytes < today.bytes) return LimitVerdict::DailyLimit;
    if (limits.files && *limits.files < today.files) return LimitVerdict::DailyLimit;
    return LimitVerdict::Allowed;
}

bool isNewDay(const std::string& storedDay, const QDate& today) {
    return QDate::fromString(QString::fromStdString(storedDay), kDayFormat) != today;
}

std::string dayText(const QDate& day) { return day.toString(kDayFormat).toStdString(); }

RunShares runShares(const QDateTime& start, const QDateTime& end) {
    if (!start.isValid() || !end.isValid() || end <= start) return {};
    const QDateTime midnight(end.date(), QTime(0, 0));
    return {double(std::max(start, midnight).msecsTo(end)) / kMsPerDay, double(start.msecsTo(end)) / kMsPerDay};
}

}  // namespace gleanery
