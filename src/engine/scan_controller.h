#pragma once
// The scan of one job as one machine: Begin, Resume and Stop, the pauses for
// the daily limits and the allowed hours, and the end of the site. It owns
// the job's connections and its three timers; the page scheduler and the
// download runner do the work. Fronts (windows, command line, tests) follow
// its state and events, and answer its one question through Messages.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "engine/connection_set.h"
#include "engine/download_runner.h"
#include "engine/host_gate.h"
#include "engine/page_scheduler.h"
#include "engine/scan_counters.h"
#include "engine/scan_link_queue.h"
#include "engine/scan_state.h"
#include "engine/scan_statistics.h"
#include "links/output_drives.h"

namespace gleanery {

class Clock;
class CookieJar;
class JobSettings;
class Messages;
class WarcWriter;
class WorkStore;

// The download runner's pace while work remains.
inline constexpr int kRunnerPassMs = 50;

class ScanController : public QObject {
    Q_OBJECT
public:
    ScanController(JobSettings& settings, WorkStore& store, Messages& messages, const Clock& clock,
                   const FetchFactory& makeConnection, QObject* parent = nullptr);
    ~ScanController() override;

    // A fresh scan empties the work store, so Begin asks first.
    void begin();
    void resume();
    // Ends a scanning or paused scan; the running transfers finish first.
    void stop();
    void resetToday();
    void resetTotal();

    ScanState state() const { return state_; }
    PauseReason pauseReason() const { return pauseReason_; }
    // The last run ended because the whole site was scanned.
    bool siteScanned() const { return siteScanned_; }
    bool transfersRunning() const { return connections_.busyCount() > 0 || gate_.fetching(); }
    const std::string& status() const { return status_; }
    // The text of a connection pane (1..10).
    const std::string& connectionText(int pane) const { return connectionTexts_.at(std::size_t(pane - 1)); }
    ScanStatistics statistics() const;
    const RunProgress& progress() const { return progress_; }

    FetchObject& connection(int slot) { return connections_.at(slot); }
    OutputDrives& drives() { return *drives_; }
    LinkQueue& linkQueue() { return linkQueue_; }
    // Free space is read from this source from now on (tests simulate full drives).
    void useFreeSpaceSource(const FreeSpaceSource& source);
    // A store that could not be opened keeps Begin and Resume from running.
    void setStoreProblem(std::string reason) { storeProblem_ = std::move(reason); }
    void setPageParser(PageParser parser) { parsePage_ = std::move(parser); }
    void setFileParser(FileParser parser) { parseFile_ = std::move(parser); }
    // The job's cookies are kept in this file.
    void setCookieFile(std::string file) { cookieFile_ = std::move(file); }
    // The job's WARC files are named after this path ("<folder>/<job>").
    void setArchiveBase(std::string base) { archiveBase_ = std::move(base); }
    // Saves the job's settings to its setup file (every start does).
    void setSettingsSaver(std::function<void()> save) { saveSettings_ = std::move(save); }

    // The timers' steps, public so that tests can run them without waiting.
    void runPass();
    void pollStop();
    void checkRestart();
    const QTimer& passTimer() const { return passTimer_; }
    const QTimer& stopTimer() const { return stopTimer_; }
    const QTimer& restartTimer() const { return restartTimer_; }

    // The pane text of a URL: without its password, broken every 18 characters.
    static std::string wrapText(const std::string& url);

signals:
    void stateChanged(ScanState state);
    void statusChanged(const QString& text);
    void connectionTextChanged(int pane, const QString& text);
    void statisticsChanged();
    // A download finished on a slot of this pane; display tells whether the job shows finished files.
    void downloadFinished(int pane, const QString& file, bool display);
    // Begin or Resume did not start, and why.
    void refused(const QString& reason);
    void finished();
    void paused(PauseReason reason);
    void storeFailed(const QString& description);
    void drivesFull();
    // A stop has completed: the scan is idle again.
    void stopped();

private:
    // Whether a scan may start now; a refusal is told through `refused`.
    bool mayStart();
    // Why a scan cannot start now: nothing when it can, "" when the user has
    // been told already.
    std::optional<std::string> startProblem();
    // Why an output folder cannot take files (it is created when missing).
    std::optional<std::string> folderProblem() const;
    bool drivesHaveRoom();
    void start(bool fresh);
    bool emptyStore();
    // What every transfer of this run asks of the servers: the job's user
    // agent, cookies, rate limit, robots.txt and wait.
    void applyPolicy();
    // The job's rate limit: each transfer gets its share of it (a large
    // file cannot take more), and no transfer starts while this run has
    // received more than the limit allows for its time so far (small files
    // end before a transfer's own limit could slow them).
    void shareRateLimit();
    bool withinRateLimit() const;
    CookieJar* cookieJar();
    // Opens the job's archive when it should write one; false (and the user
    // told) when it cannot be written.
    bool openArchive();
    void closeArchive();
    // An archive that failed to take a record stops the scan.
    void checkArchive(const FetchObject& transfer);
    // A response that set a cookie is written to the jar file soon after.
    void noteCookies(const FetchObject& transfer);
    void saveCookies();
    void setState(ScanState state);
    void pause(PauseReason reason);
    bool withinLimits();
    int connectionCount() const;
    // Hears the completions of a connection just made.
    void follow(int slot, FetchObject& connection);
    // The last slot the job's connection count allows, beyond it once the
    // server has shown that it multiplexes.
    int lastSlot() const;
    bool pagesEverywhere() const;
    void startPages();
    void onPageArrived(int slot);
    void onDownloadArrived(int slot);
    void recordDownloads();
    // A page or file arrived: this run's progress (its own kind's counters)
    // and the job's statistics.
    void countArrival(const FetchObject& transfer, std::int64_t& arrived, std::int64_t& failed);
    void checkFinished();
    void passSoon();
    // Runs a work-store step; a failure stops the scan with an event.
    bool storeStep(const char* routine, const std::function<void()>& step);
    void setStatus(const std::string& text);
    void setConnectionText(int slot, const std::string& text);
    void publishStatistics();
    void logPage(const FetchObject& page);

    JobSettings& settings_;
    WorkStore& store_;
    Messages& messages_;
    const Clock& clock_;
    // Declared before the connections, which use them until they go.
    std::string cookieFile_;
    std::unique_ptr<CookieJar> cookies_;
    bool cookiesChanged_ = false;
    std::string archiveBase_;
    std::unique_ptr<WarcWriter> archive_;
    QElapsedTimer runTime_;
    std::int64_t runBytes_ = 0;  // received since this run started
    TransferPolicy policy_;
    ConnectionSet connections_;
    HostGate gate_;
    PageScheduler pages_;
    DownloadRunner downloads_;
    ScanLinkQueue linkQueue_;
    ScanCounters counters_;
    std::unique_ptr<OutputDrives> drives_;

    QTimer passTimer_;
    QTimer stopTimer_;
    QTimer restartTimer_;

    ScanState state_ = ScanState::Idle;
    PauseReason pauseReason_ = PauseReason::None;
    bool routesExhausted_ = false;
    bool multiplexing_ = false;
    bool siteScanned_ = false;
    RunProgress progress_;

    std::string status_;
    std::array<std::string, kConnectionCount> connectionTexts_;
    std::string storeProblem_;
    PageParser parsePage_;
    FileParser parseFile_;
    std::function<void()> saveSettings_;
};

}  // namespace gleanery
