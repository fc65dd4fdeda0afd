#pragma once
// The main window's toolbar: Stop, Resume and Begin of the open job, as
// picture buttons whose enabled states follow the job window's buttons.

#include <QAction>
#include <QToolBar>

namespace gleanery {

class ScanController;
enum class ScanState;

class ScanToolBar : public QToolBar {
    Q_OBJECT
public:
    explicit ScanToolBar(QWidget* parent = nullptr);

    // The button with the key "Stop", "Resume" or "Begin"; nullptr for another key.
    QAction* button(const QString& key) const;
    // Copies the enabled states of the robot's three buttons, now and
    // whenever they change.
    void follow(const ScanController& scan);
    void stopFollowing(const ScanController& scan);

signals:
    // A button was pressed: its key.
    void buttonClicked(const QString& key);

private:
    void mirror(ScanState state);
    QAction* add(const char* key, const char* toolTip, int standardIcon);
};

}  // namespace gleanery
