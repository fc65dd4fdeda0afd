// The daily limits, the day roll and the sharing of scanning time, as the
// plain rules the scan controller applies; and counters that saturate.
#include <gtest/gtest.h>

#include "engine/limits_policy.h"
#include "support/counters.h"

namespace gleanery {
namespace {

TEST(LimitsPolicy, AForbiddenHourWinsAndALimitPausesOnlyWhenExceeded) {
    DailyLimits limits;
    limits.hours.fill(true);
    limits.hours[3] = false;
    limits.bytes = 1000;
    limits.files = 5;
    struct Case {
        double bytes, files;
        int hour;
        LimitVerdict verdict;
    } cases[] = {
        {1000, 5, 10, LimitVerdict::Allowed},  // at the limit, not beyond it
        {1001, 0, 10, LimitVerdict::DailyLimit}, {0, 6, 10, LimitVerdict::DailyLimit},
        {0, 0, 3, LimitVerdict::Hours},          {5000, 50, 3, LimitVerdict::Hours},  // the longer wait is told
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bytes << " bytes, " << c.files << " files, hour " << c.hour);
        EXPECT_EQ(limitVerdict(limits, {c.bytes, c.files}, QTime(c.hour, 30)), c.verdict);
    }
    EXPECT_EQ(limitVerdict({std::nullopt, std::nullopt, limits.hours}, {1e18, 1e18}, QTime(10, 0)),
              LimitVerdict::Allowed);
}

TEST(LimitsPolicy, AnUnreadableDayIsANewDay) {
    const QDate today(2026, 3, 10);
    EXPECT_FALSE(isNewDay(dayText(today), today));
    EXPECT_TRUE(isNewDay("03/09/2026", today));
    for (const char* garbled : {"", "yesterday", "13/45/2026"}) EXPECT_TRUE(isNewDay(garbled, today)) << garbled;
}

TEST(LimitsPolicy, ScanningTimeBeforeMidnightCountsOnlyForTheTotal) {
    const QDateTime evening(QDate(2026, 3, 10), QTime(23, 30));
    const RunShares sameDay = runShares(evening.addSecs(-3600), evening);
    EXPECT_DOUBLE_EQ(sameDay.today, 1.0 / 24);
    EXPECT_DOUBLE_EQ(sameDay.total, 1.0 / 24);
    const RunShares acrossMidnight = runShares(evening, evening.addSecs(3600));
    EXPECT_DOUBLE_EQ(acrossMidnight.today, 0.5 / 24);
    EXPECT_DOUBLE_EQ(acrossMidnight.total, 1.0 / 24);
    EXPECT_DOUBLE_EQ(runShares(evening, evening.addSecs(-5)).total, 0);  // a clock set back adds nothing
}

TEST(Counters, SaturateInsteadOfWrapping) {
    EXPECT_EQ(counterValue("123"), 123);
    EXPECT_EQ(counterValue("-5"), 0);
    EXPECT_EQ(counterValue("99999999999999999999999"), kCounterMax);
    EXPECT_EQ(addSaturated(kCounterMax - 1, 10), kCounterMax);
    EXPECT_EQ(addSaturated(40, 2), 42);
}

}  // namespace
}  // namespace gleanery
