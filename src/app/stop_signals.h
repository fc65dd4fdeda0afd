#pragma once
// SIGINT and SIGTERM end a scan without windows the way the Stop button
// does: the handler only writes to a pipe; the event loop does the rest.

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace gleanery {

class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

signals:
    void stopRequested();

private:
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace gleanery
