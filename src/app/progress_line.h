#pragma once
// The one-line progress display of a scan without windows: pages scanned and
// files downloaded (with how many of each failed), targets in queue, bytes
// and speed. Redrawn in place on a
// terminal; on a pipe or file a plain line every few seconds.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <string>

namespace gleanery {

class ScanController;
struct RunProgress;

class ProgressLine : public QObject {
    Q_OBJECT
public:
    ProgressLine(const ScanController& scan, bool terminal, QObject* parent = nullptr);
    // Ends the line being redrawn, so the next message starts on a line of its own.
    void breakLine();
    // The text of the line for a run's progress, targets waiting and time so far.
    static std::string format(const RunProgress& progress, std::int64_t queued, double seconds);

private:
    void draw();

    const ScanController& scan_;
    bool terminal_;
    bool drawn_ = false;
    QTimer timer_;
    QElapsedTimer clock_;
};

}  // namespace gleanery
