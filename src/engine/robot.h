#pragma once
// The robot of one job: starts, resumes, pauses and stops a scan, chooses the
// next page, completes transfers and runs the queued downloads. It owns the
// run flags, counters, queues, timers and connections; the windows and the
// headless runner only listen to its signals and press its buttons.

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "engine/fetch_object.h"
#include "links/link_queue.h"
#include "links/output_drives.h"

namespace gleanery {

class Clock;
class JobSettings;
class Messages;
class WorkStore;

// One queued download.
struct Target {
    std::int64_t TargetID = 0;
    std::string URL;
    std::string Referrer;
    std::string File;
};

// The job's connections; slot 1 fetches pages, slots 2..10 download files.
inline constexpr int kConnectionCount = 10;
// The download runner's pace while work remains.
inline constexpr int kForceCallMs = 50;
// The scheduler starts no page while this many targets wait for download.
inline constexpr std::size_t kQueueBackOff = 250;

using FetchFactory = std::function<std::unique_ptr<FetchObject>(int slot)>;

class Robot : public QObject, public LinkQueue {
    Q_OBJECT
public:
    Robot(JobSettings& settings, WorkStore& store, Messages& messages, const Clock& clock,
          const FetchFactory& makeConnection, QObject* parent = nullptr);
    ~Robot() override;

    // Buttons and toolbar.
    void cmdBegin_Click();
    void cmdResume_Click();
    void cmdStop_Click();
    // The job window's close request: false (and a message) while a transfer runs.
    bool Form_QueryUnload();

    // Scan steps, public so the windows, the timers and the tests can drive them.
    void CheckFinished();
    void DoScan();
    void ExecuteRobotLoop();
    void LoadTargets();
    void ExecuteRobot(std::int64_t targetId) override;
    void tmrForceCall_Timer();
    void tmrStop_Timer();

    // Button states, mirrored on the main window's toolbar.
    bool beginEnabled() const { return cmdBegin_; }
    bool resumeEnabled() const { return cmdResume_; }
    bool stopEnabled() const { return cmdStop_; }

    // Run state.
    bool isIdle() const { return idle_; }
    bool stopRequested() const { return stop_; }
    bool routesExhausted() const { return routesExhausted_; }
    bool downloadsIdle() const { return downloadsIdle_; }
    bool queueFull() const { return queueFull_; }
    bool finishedShown() const { return finishedShown_; }
    bool outOfSpace() const { return drives_->outOfSpace(); }
    bool runningView() const { return runningView_; }
    const std::string& status() const { return lblStatus_; }
    const std::string& connectionText(int slot) const { return lblConnection_.at(slot - 1); }
    std::size_t queuedTargets() const { return downloadQueue_.size(); }
    const QTimer& forceCallTimer() const { return tmrForceCall_; }
    const QTimer& stopTimer() const { return tmrStop_; }
    const QTimer& restartTimer() const { return timerRestart_; }
    FetchObject& connection(int slot) { return *connections_.at(slot - 1); }
    int busyConnections() const;

    // A store that could not be opened keeps Begin and Resume from running;
    // the reason is told to the user when they are pressed.
    void setStoreProblem(std::string reason) { storeProblem_ = std::move(reason); }

    // The parser of fetched pages: page URL (with "index.html" after a
    // trailing "/"), body and result code. Set by the job; without one a page
    // is only marked.
    using PageParser = std::function<void(const std::string& url, const std::string& body, int resultCode)>;
    void setPageParser(PageParser parser) { parsePage_ = std::move(parser); }
    // The reader of downloaded files that name further files (stylesheets):
    // URL, local file and Content-Type of a download that arrived whole.
    using FileParser = std::function<void(const std::string& url, const std::string& file, const std::string& type)>;
    void setFileParser(FileParser parser) { parseFile_ = std::move(parser); }

    // Saves the job's settings to its setup file (Begin and Resume do).
    void setSettingsSaver(std::function<void()> save) { saveSettings_ = std::move(save); }

    // Daily limits and hours. Acting mode pauses the scan and always answers
    // false; checking mode answers whether the scan may run.
    bool CheckServerLimits(bool act);
    void timerRestart_Timer();

    // Statistics texts, recomputed by UpdateStatus.
    struct Statistics {
        std::string todayFiles = "Downloads:", todayBytes = "Bytes:", todayCps = "CPS:";
        std::string totalFiles = "Downloads:", totalBytes = "Bytes:", totalCps = "CPS:";
        std::string queue = "In Queue:", lastFile = "Last File CPS:";
        std::string activeConnections = "Active Connections";
    };
    void UpdateStatus();
    void cmdResetToday_Click();
    void cmdResetTotal_Click();
    const Statistics& statistics() const { return statistics_; }

    // What this run has done since Begin or Resume, for progress displays.
    struct RunProgress {
        std::int64_t pagesScanned = 0;  // failed ones included
        std::int64_t pagesFailed = 0;
        std::int64_t filesDownloaded = 0;  // failed ones included
        std::int64_t filesFailed = 0;
        std::int64_t bytesReceived = 0;  // pages and files
    };
    const RunProgress& progress() const { return progress_; }

    // The page being scanned.
    int currentPriority() const override { return currentPriority_; }
    const std::string& currentDomain() const override { return currentDomain_; }

    // The work store's queues for link admission; failures reach the caller.
    bool insertRoute(const std::string& url, const std::string& referrer, int priority) override;
    std::int64_t insertTarget(const std::string& url, const std::string& referrer, const std::string& file) override;
    bool holds(const std::string& url) override;
    bool isBlocked(const std::string& domain) override;
    void insertBlockedSite(const std::string& domain) override;
    bool BlockedSite(const std::string& domain);
    OutputDrives& drives() { return *drives_; }
    // Free space is read from this source from now on (tests simulate full drives).
    void useFreeSpaceSource(const FreeSpaceSource& source);

    // The pane text of a URL: without its password, broken every 18 characters.
    static std::string GetWrapText(const std::string& url);

signals:
    void statusChanged(const QString& text);
    void connectionTextChanged(int slot, const QString& text);
    void buttonsChanged();
    void runningViewChanged(bool running);
    // A stop has completed: the job is idle again.
    void stopped();
    // A download finished on a slot; display tells whether the job shows finished files.
    void downloadFinished(int slot, const QString& file, bool display);
    void statisticsChanged();

private:
    bool startScan(bool fresh);
    bool connectionBusy(int slot) const;
    bool targetIsActive(std::int64_t targetId) const;
    void liInet1_Complete();
    void liInetDownload_Complete(int slot);
    void passSoon();
    void finishDownloads();
    void startDownloads();
    void setStatus(const std::string& text);
    void setConnectionText(int slot, const std::string& text);
    void setButtons(bool begin, bool resume, bool stop);
    void SetRunningView(bool running);
    void addRunTime();
    void saveSettings();
    void logResult(const std::string& url, const std::string& headers);
    // Runs a work-store statement; a failure stops the scan with a message.
    bool storeStep(const char* routine, const std::function<void()>& statement);

    JobSettings& settings_;
    WorkStore& store_;
    Messages& messages_;
    const Clock& clock_;

    std::array<std::unique_ptr<FetchObject>, kConnectionCount> connections_;
    // A transfer was started on the slot and its completion has not been handled yet.
    std::array<bool, kConnectionCount> inFlight_{};
    std::deque<Target> downloadQueue_;
    std::deque<FetchObject*> completionQueue_;

    QTimer tmrForceCall_;
    QTimer tmrStop_;
    QTimer timerRestart_;

    bool stop_ = false;
    bool idle_ = true;
    bool routesExhausted_ = false;
    bool downloadsIdle_ = false;
    bool queueFull_ = false;
    bool finishedShown_ = false;
    bool runningView_ = false;
    QDateTime scanStart_;
    std::int64_t pagesDispatched_ = 0;
    std::int64_t bytesCounter_ = 0;
    int pauseReason_ = 0;
    int currentPriority_ = 0;
    std::string currentDomain_;

    bool cmdBegin_ = true;
    bool cmdResume_ = true;
    bool cmdStop_ = false;
    std::string lblStatus_;
    std::array<std::string, kConnectionCount> lblConnection_;

    Statistics statistics_;
    RunProgress progress_;
    std::unique_ptr<OutputDrives> drives_;
    std::string storeProblem_;
    PageParser parsePage_;
    FileParser parseFile_;
    std::function<void()> saveSettings_;
};

}  // namespace gleanery
