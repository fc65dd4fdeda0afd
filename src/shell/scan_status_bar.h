#pragma once
// The main window's status bar: the open job's status, today's speed and the
// busy connections, one panel each.

#include <QLabel>
#include <QStatusBar>
#include <array>

namespace gleanery {

class ScanController;

class ScanStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit ScanStatusBar(QWidget* parent = nullptr);

    // Panel 1 to 3.
    QString panelText(int panel) const;
    // Back to "Status", "Files/Bytes/CPS" and "Active Connections".
    void reset();
    // Panel 1 follows the robot's status, panels 2 and 3 its statistics.
    void follow(const ScanController& scan);
    void stopFollowing(const ScanController& scan);

private:
    std::array<QLabel*, 3> panels_{};
};

}  // namespace gleanery
