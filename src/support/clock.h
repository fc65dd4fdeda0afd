#pragma once
// The one source of the current date and time, so tests can cross midnight or
// stand in a forbidden hour without waiting.

#include <QDateTime>

namespace gleanery {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

}  // namespace gleanery
