#pragma once
// The one source of the current date and time, so tests can cross midnight or
// stand in a forbidden hour without waiting.

#include <QDateTime>

#include <chrono>

namespace gleanery {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

// The local time, read at most every 50 ms: reading it converts to the local
// time zone, which looks at the zone file each time, and a fast scan asks
// thousands of times a second. Limits and statistics need no finer time.
class SystemClock final : public Clock {
public:
    QDateTime now() const override {
        const auto at = std::chrono::steady_clock::now();
        if (!cached_.isValid() || at - readAt_ >= std::chrono::milliseconds(50)) {
            cached_ = QDateTime::currentDateTime();
            readAt_ = at;
        }
        return cached_;
    }

private:
    mutable QDateTime cached_;
    mutable std::chrono::steady_clock::time_point readAt_;
};

}  // namespace gleanery
