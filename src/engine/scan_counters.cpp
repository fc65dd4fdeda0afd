#include "engine/scan_counters.h"

#include "job/job_settings.h"
#include "support/clock.h"
#include "support/counters.h"
#include "support/failure.h"
#include "support/text.h"

namespace gleanery {

namespace {
constexpr const char* kModule = "frmGeneralRobot";
constexpr double kSecondsPerDay = 86400;
}  // namespace

ScanCounters::ScanCounters(JobSettings& settings, const Clock& clock) : settings_(settings), clock_(clock) {}

void ScanCounters::startStretch() { stretchStart_ = clock_.now(); }

void ScanCounters::endStretch() {
    if (!stretchStart_) return;
    rollDay();
    const RunShares shares = runShares(*stretchStart_, clock_.now());
    stretchStart_.reset();
    const Routine step{kModule, "tmrStop_Timer"};
    auto add = [&](TextKey field, double days) {
        step([&] { settings_.setText(field, plainNumber(numericValue(settings_.text(field)) + days)); });
    };
    add(Field::txtDLTime, shares.today);
    add(Field::txtTotalTime, shares.total);
}

void ScanCounters::countArrival(std::int64_t bytes) {
    Routine{kModule, "ExecuteRobotLoop"}([&] {
        rollDay();
        for (TextKey field : {Field::txtDLFiles, Field::txtTotalFiles})
            settings_.setText(field, decimal(addSaturated(counterValue(settings_.text(field)), 1)));
        // Byte counters are written without separators, and 0 as the empty text.
        for (TextKey field : {Field::txtDLK, Field::txtTotalK}) {
            const std::int64_t total = addSaturated(counterValue(settings_.text(field)), bytes);
            settings_.setText(field, total == 0 ? std::string() : decimal(total));
        }
    });
}

LimitVerdict ScanCounters::verdict() {
    rollDay();
    return limitVerdict(readDailyLimits(settings_), readDailyCounters(settings_), clock_.now().time());
}

void ScanCounters::rollDay() {
    const QDate today = clock_.now().date();
    const std::string& stored = settings_.text(Field::txtDLDate);
    // The stored day is read as a date only when it or the date has changed.
    if (today == checkedDay_ && stored == checkedText_) return;
    if (isNewDay(stored, today)) {
        settings_.setText(Field::txtDLDate, dayText(today));
        resetToday();
    }
    checkedDay_ = today;
    checkedText_ = settings_.text(Field::txtDLDate);
}

void ScanCounters::resetToday() {
    for (TextKey field : {Field::txtDLFiles, Field::txtDLK, Field::txtDLTime}) settings_.setText(field, "0");
}

void ScanCounters::resetTotal() {
    for (TextKey field : {Field::txtTotalFiles, Field::txtTotalK, Field::txtTotalTime}) settings_.setText(field, "0");
}

ScanStatistics ScanCounters::statistics() const {
    const RunShares live = stretchStart_ ? runShares(*stretchStart_, clock_.now()) : RunShares{};
    auto count = [&](TextKey field) { return counterValue(settings_.text(field)); };
    auto seconds = [&](TextKey field, double liveDays) {
        return (numericValue(settings_.text(field)) + liveDays) * kSecondsPerDay;
    };
    ScanStatistics s;
    s.todayFiles = count(Field::txtDLFiles);
    s.todayBytes = count(Field::txtDLK);
    s.todaySeconds = seconds(Field::txtDLTime, live.today);
    s.totalFiles = count(Field::txtTotalFiles);
    s.totalBytes = count(Field::txtTotalK);
    s.totalSeconds = seconds(Field::txtTotalTime, live.total);
    s.lastFileCps = settings_.text(Field::txtLastFileCPS);
    return s;
}

}  // namespace gleanery
