#pragma once
// The job window: the settings of one job in six frames, its statistics,
// Begin, Resume and Stop, and while a scan runs the ten connection panes
// laid over the settings. A view over the job's settings and scan; its
// button handlers are where the window's routines meet the engine's verbs.

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "engine/job_session.h"
#include "jobwindow/connection_pane.h"
#include "jobwindow/settings_frames.h"

class QLabel;
class QPushButton;

namespace gleanery {

class Clock;
class Messages;
class StatisticsFrame;

class frmGeneralRobot : public QWidget {
    Q_OBJECT
public:
    frmGeneralRobot(Messages& messages, const Clock& clock, FetchFactory makeConnection, QWidget* parent = nullptr);
    ~frmGeneralRobot() override;

    // Opens the job of a setup file, loads the window and shows it.
    void Display(const std::string& setupFile);

    JobSession& session() { return *session_; }
    ScanController& scan() { return session_->scan(); }
    bool isIdle() const { return session_->scan().state() == ScanState::Idle; }
    // The program-wide connection limit found when the window loaded.
    int maxConnections() const { return giMaxConnections_; }
    ConnectionPane& pane(int slot) { return *panes_.at(std::size_t(slot - 1)); }

    // How the "..." buttons ask for a folder: the folder chooser, unless
    // replaced (tests answer without a dialog). "" means nothing was chosen.
    using FolderChooser = std::function<std::string(const std::string& current, QWidget* parent)>;
    void setFolderChooser(FolderChooser chooser) { chooseFolder_ = std::move(chooser); }

    void cmdBegin_Click() { scan().begin(); }
    void cmdResume_Click() { scan().resume(); }
    void cmdStop_Click() { scan().stop(); }

signals:
    // The window has closed and saved the job's settings.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* button(const char* name, const char* caption, int left, int top, int width, int height);
    void connectScan();
    void showStatistics();
    QWidget* windowFrame();
    void Form_Load(const std::string& setupFile);
    void Form_Unload();
    void SetRunningView(bool running);
    void showButtons(ScanState state);
    void showDownload(int slot, const QString& file, bool display);
    void cmdSetLocation_Click(int index);

    Messages& messages_;
    std::unique_ptr<JobSession> session_;
    SettingsFrames frames_;
    StatisticsFrame* statistics_;
    QPushButton* cmdResetToday_;
    QPushButton* cmdResetTotal_;
    QPushButton* cmdBegin_;
    QPushButton* cmdResume_;
    QPushButton* cmdStop_;
    std::array<ConnectionPane*, kPaneCount> panes_{};
    QLabel* lblStatus_;
    FolderChooser chooseFolder_;
    int giMaxConnections_ = 0;
    bool loaded_ = false;
};

}  // namespace gleanery
