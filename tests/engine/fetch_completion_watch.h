#pragma once
// Runs the Qt event loop for fetch-object tests and counts Complete signals.

#include "engine/fetch_object.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <functional>

namespace gleanery::test {

// Runs the event loop until done() holds or the limit passes; returns done().
inline bool spinUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(15)) {
    const QDeadlineTimer deadline(limit);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QEventLoop loop;
        QTimer::singleShot(std::chrono::milliseconds(5), &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Runs the event loop for a while, so that late or extra signals show up.
inline void spinFor(std::chrono::milliseconds time) {
    spinUntil([] { return false; }, time);
}

class CompletionWatch {
public:
    explicit CompletionWatch(FetchObject& fetch) {
        QObject::connect(&fetch, &FetchObject::Complete, &context_, [this, &fetch] {
            ++count_;
            busyAtComplete_ = fetch.IsBusy();
        });
    }

    // True once Complete has arrived (waiting for it up to the limit).
    bool wait(std::chrono::milliseconds limit = std::chrono::seconds(15)) {
        return spinUntil([this] { return count_ > 0; }, limit);
    }
    int count() const { return count_; }
    bool busyAtComplete() const { return busyAtComplete_; }

private:
    QObject context_;
    int count_ = 0;
    bool busyAtComplete_ = false;
};

}  // namespace gleanery::test
