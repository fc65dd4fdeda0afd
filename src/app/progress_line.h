#pragma once
// The one-line progress display of a scan without windows: pages scanned and
// files downloaded (with how many of each failed), targets in queue, bytes
// and speed. Redrawn in place on a
// terminal; on a pipe or file a plain line every few seconds.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <string>

namespace gleanery {

class Robot;

class ProgressLine : public QObject {
    Q_OBJECT
public:
    ProgressLine(const Robot& robot, bool terminal, QObject* parent = nullptr);
    // Ends the line being redrawn, so the next message starts on a line of its own.
    void breakLine();
    // The text of the line for the robot's present state.
    static std::string format(const Robot& robot, double seconds);

private:
    void draw();

    const Robot& robot_;
    bool terminal_;
    bool drawn_ = false;
    QTimer timer_;
    QElapsedTimer clock_;
};

}  // namespace gleanery
