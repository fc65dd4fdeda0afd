#pragma once
// A clock that stands still until the test moves it.
#include <QDateTime>

#include "support/clock.h"

namespace gleanery::testing {

class ManualClock final : public Clock {
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 3, 10), QTime(10, 0, 0))) : now_(std::move(start)) {}
    QDateTime now() const override { return now_; }
    void set(const QDateTime& t) { now_ = t; }
    void advanceSeconds(qint64 s) { now_ = now_.addSecs(s); }

private:
    QDateTime now_;
};

}  // namespace gleanery::testing
