#include "engine/scan_controller.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QPointer>

#include <algorithm>

#include "archive/warc_writer.h"
#include "engine/archive_description.h"
#include "engine/fetch_result_codes.h"
#include "engine/work_store.h"
#include "job/job_settings.h"
#include "job/location_rule.h"
#include "links/local_path.h"
#include "links/url_utils.h"
#include "politeness/cookie_jar.h"
#include "support/clock.h"
#include "support/failure.h"
#include "support/messages.h"
#include "support/text.h"
#include "support/user_agent.h"

namespace gleanery {

// "Log Output" writes each fetched page's address and response headers here.
Q_LOGGING_CATEGORY(lcPages, "gleanery.pages")

namespace {
constexpr int kStopPollMs = 1000;
constexpr int kRestartMs = 30000;
constexpr const char* kModule = "frmGeneralRobot";
constexpr const char* kNotBusy = "Not Busy";
constexpr const char* kBeginWarning =
    "Warning... This action will delete all the data in the database and rescan the entire site.  "
    "If you wish to resume a previous scan, please select the 'Resume' command.";
constexpr const char* kNoOutputFolder = "Please choose the Primary and the Secondary output folders before scanning.";
constexpr const char* kNotWebAddress =
    "The start address cannot be scanned: it must be a web address beginning with http:// or https:// "
    "(or a site's name such as www.example.org).";

constexpr const char* kArchiveProblem = "The WARC archive of this job cannot be written: ";

QString qs(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

ScanController::ScanController(JobSettings& settings, WorkStore& store, Messages& messages, const Clock& clock,
                               const FetchFactory& makeConnection, QObject* parent)
    : QObject(parent),
      settings_(settings),
      store_(store),
      messages_(messages),
      clock_(clock),
      connections_(makeConnection, [this](int slot, FetchObject& connection) { follow(slot, connection); }),
      // Slot 0: a connection of no slot, for robots.txt files.
      gate_([makeConnection] { return makeConnection(0); }, policy_),
      pages_(connections_, store, settings, gate_,
             [this](const std::string& url) { return StoredCopyOf(url, *drives_); }),
      downloads_(connections_, store, gate_),
      linkQueue_(store, pages_, downloads_),
      counters_(settings, clock),
      drives_(std::make_unique<OutputDrives>(settings)) {
    passTimer_.setInterval(kRunnerPassMs);
    passTimer_.setSingleShot(true);
    stopTimer_.setInterval(kStopPollMs);
    restartTimer_.setInterval(kRestartMs);
    connect(&passTimer_, &QTimer::timeout, this, &ScanController::runPass);
    connect(&stopTimer_, &QTimer::timeout, this, &ScanController::pollStop);
    connect(&restartTimer_, &QTimer::timeout, this, &ScanController::checkRestart);
    connect(&gate_, &HostGate::ready, this, &ScanController::passSoon);
    connect(&gate_, &HostGate::hostClosed, this, [this](const QString& robotsUrl, int code) {
        messages_.inform("The robots.txt at " + robotsUrl.toStdString() + " could not be read (result " +
                         std::to_string(code) + "): nothing more of that server is fetched in this run.");
    });
    connections_.setPolicy(policy_);
    connectionTexts_.fill(kNotBusy);
}

void ScanController::follow(int slot, FetchObject& connection) {
    // Queued, so that a completion never runs inside the call that started
    // the transfer, whatever the connection does.
    connect(
        &connection, &FetchObject::Complete, this,
        [this, slot, &connection] {
            // A server that multiplexes takes more transfers than connections from now on.
            if (!multiplexing_ && connection.Multiplexed()) {
                multiplexing_ = true;
                shareRateLimit();
            }
            noteCookies(connection);
            checkArchive(connection);
            connections_.load(slot) == Load::Page ? onPageArrived(slot) : onDownloadArrived(slot);
            // The last transfer of a stop ends it now, not at the next poll.
            if (state_ == ScanState::Stopping) pollStop();
        },
        Qt::QueuedConnection);
}

ScanController::~ScanController() = default;

void ScanController::begin() {
    if (!canStart(state_) || !mayStart()) return;
    // The answer may come later; by then another start may have run.
    messages_.ask(kBeginWarning, [self = QPointer<ScanController>(this)](bool ok) {
        if (ok && self && canStart(self->state_)) self->start(true);
    });
}

void ScanController::resume() {
    if (canStart(state_) && mayStart()) start(false);
}

bool ScanController::mayStart() {
    if (const std::optional<std::string> problem = startProblem()) {
        if (!problem->empty()) emit refused(qs(*problem));
        return false;
    }
    // Every press looks at the drives afresh, and says so when both are full.
    drives_->clearOutOfSpace();
    return drivesHaveRoom();
}

std::optional<std::string> ScanController::startProblem() {
    // An address the location rule refuses is emptied, and told by the rule;
    // an empty one is plain to see.
    refuseOwnSite(settings_, messages_);
    if (settings_.text(Field::txtLocation).empty()) return std::string();
    // Anything else would scan one failing page and call the site scanned.
    if (!IsWebAddress(settings_.text(Field::txtLocation))) return kNotWebAddress;
    if (!storeProblem_.empty()) return storeProblem_;
    // Without a folder, the mirror would land at the root of the file system.
    const std::string& primary = settings_.text(Field::txtSaveLocation);
    const std::string& secondary = settings_.text(Field::txtSaveLocation2);
    if (primary.empty() || secondary.empty()) return kNoOutputFolder;
    return folderProblem();
}

std::optional<std::string> ScanController::folderProblem() const {
    for (TextKey folder : {Field::txtSaveLocation, Field::txtSaveLocation2}) {
        if (std::string problem = outputFolderProblem(settings_.text(folder)); !problem.empty()) return problem;
    }
    return std::nullopt;
}

bool ScanController::drivesHaveRoom() {
    const bool wasFull = drives_->outOfSpace();
    if (drives_->CheckDriveSpace()) return true;
    if (!wasFull) emit drivesFull();
    return false;
}

void ScanController::start(bool fresh) {
    if (saveSettings_) saveSettings_();
    // Before the store is emptied: an archive that cannot be written keeps the queue as it was.
    if (!openArchive() || (fresh && !emptyStore())) return;
    const bool fromRest = state_ == ScanState::Idle;
    if (fromRest) {
        progress_ = {};
        siteScanned_ = false;
    }
    routesExhausted_ = false;
    multiplexing_ = false;
    pauseReason_ = PauseReason::None;
    restartTimer_.stop();
    storeStep("LoadTargets", [&] {
        downloads_.reload(*drives_, settings_.text(Field::txtSaveLocation), settings_.checked(Field::chkRefresh));
    });
    applyPolicy();
    runTime_.start();
    runBytes_ = 0;
    counters_.startStretch();
    setStatus("Scanning...");
    setState(ScanState::Scanning);
    passTimer_.start(kRunnerPassMs);
    startPages();
}

bool ScanController::emptyStore() {
    try {
        WorkStore::Batch batch(store_);
        // A refresh keeps what the last scan found and asks for all of it
        // again, each page and file only if it changed.
        if (settings_.checked(Field::chkRefresh)) {
            store_.requeueAll();
        } else {
            store_.deleteAllRoutes();
            store_.deleteAllTargets();
        }
        store_.insertRoute(MakeURL(settings_.text(Field::txtLocation), settings_), "", 1);
        batch.commit();
        return true;
    } catch (const std::exception& e) {
        frmDebug::Display(kModule, "cmdBegin_Click", e.what());
        // Running on with the old queue would scan something the user did not ask for.
        emit refused(qs(std::string("The work store of this job could not be emptied: ") + e.what()));
        return false;
    }
}

void ScanController::stop() {
    if (!canStop(state_)) return;
    counters_.endStretch();
    passTimer_.stop();
    restartTimer_.stop();
    setStatus("Stopping Execution");
    setState(ScanState::Stopping);
    gate_.cancel();
    stopTimer_.start();
    // With nothing running the stop ends at once, yet never inside the step that asked for it.
    QTimer::singleShot(0, this, &ScanController::pollStop);
}

void ScanController::pollStop() {
    if (state_ != ScanState::Stopping) return stopTimer_.stop();
    if (transfersRunning()) return;
    stopTimer_.stop();
    // Downloads that ended after the last pass are recorded now, or the next
    // Resume would fetch them again.
    recordDownloads();
    saveCookies();
    closeArchive();
    setStatus(drives_->outOfSpace() ? "Execution Stopped... Low Disk Space" : "Execution Stopped");
    setState(ScanState::Idle);
    publishStatistics();
    emit stopped();
}

void ScanController::pause(PauseReason reason) {
    counters_.endStretch();
    pauseReason_ = reason;
    setStatus(reason == PauseReason::Hours ? "Pausing scan due to time restrictions"
                                           : "Download limit(s) exceeded... Pausing scan");
    setState(ScanState::Paused);
    restartTimer_.start();
    emit paused(reason);
}

void ScanController::checkRestart() {
    if (state_ != ScanState::Paused) return restartTimer_.stop();
    const bool allowed = counters_.verdict() == LimitVerdict::Allowed;
    // A restart that cannot start (both drives still full, say) waits on; Stop
    // ends the wait. It asks nothing: no message box opens from a timer.
    if (allowed && !folderProblem() && drivesHaveRoom()) return start(false);
    const std::string waiting = pauseReason_ == PauseReason::DailyLimit
                                    ? "Daily limit exceeded... Waiting: "
                                    : "Paused due to time restrictions... Waiting: ";
    setStatus(waiting + clock_.now().toString("hh:mm:ss").toStdString());
}

void ScanController::setState(ScanState state) {
    if (state == state_) return;
    state_ = state;
    emit stateChanged(state);
}

bool ScanController::withinLimits() {
    if (state_ != ScanState::Scanning) return false;
    switch (counters_.verdict()) {
    case LimitVerdict::Allowed: return true;
    case LimitVerdict::DailyLimit: pause(PauseReason::DailyLimit); return false;
    case LimitVerdict::Hours: pause(PauseReason::Hours); return false;
    }
    return false;
}

int ScanController::connectionCount() const {
    return std::clamp(int(numericValue(settings_.listText(Field::cboConnections))), 1, kConnectionCount);
}

int ScanController::lastSlot() const {
    return multiplexing_ ? connectionCount() * kStreamsPerConnection : connectionCount();
}

bool ScanController::pagesEverywhere() const { return settings_.checked(Field::chkParallelPages); }

void ScanController::startPages() {
    if (!withinLimits() || !withinRateLimit()) return;
    // The pages wait while many files do; a pass starts them again.
    if (downloads_.queued() >= kQueueBackOff) return;
    // One page at a time on the page connection, or one on every free one.
    const int last = pagesEverywhere() ? lastSlot() : kPageSlot;
    for (int slot = kPageSlot; slot <= last; ++slot) {
        if (!connections_.free(slot)) continue;
        std::optional<std::string> started;
        if (!storeStep("DoScan", [&] { started = pages_.startNext(slot); })) return;
        if (!started) {
            if (pages_.waiting()) return;
            // A page still on its way may bring new ones.
            routesExhausted_ = connections_.carrying(Load::Page) == 0;
            checkFinished();
            return;
        }
        setStatus("Scanning: " + HidePassword(*started));
        setConnectionText(slot, wrapText(*started));
    }
}

void ScanController::onPageArrived(int slot) {
    const FetchObject& page = connections_.arrived(slot);
    setConnectionText(slot, "Parsing File");
    countArrival(page, progress_.pagesScanned, progress_.pagesFailed);
    logPage(page);
    storeStep("liInet1_Complete", [&] { pages_.record(slot, parsePage_); });
    setConnectionText(slot, kNotBusy);
    if (downloads_.queued() > 0 || pagesEverywhere()) passSoon();
    startPages();
}

void ScanController::onDownloadArrived(int slot) {
    downloads_.arrived(slot);
    passSoon();
}

void ScanController::runPass() {
    recordDownloads();
    // A site with nothing left to fetch is done, whatever today's limits say.
    checkFinished();
    if (state_ == ScanState::Scanning && !drivesHaveRoom()) stop();
    if (withinLimits()) {
        // Pages first, then files on the connections left free.
        startPages();
        std::vector<int> started;
        if (withinRateLimit())
            storeStep("ExecuteRobotLoop", [&] {
                started = downloads_.startDownloads(pagesEverywhere() ? kPageSlot : kPageSlot + 1, lastSlot());
            });
        for (int slot : started) setConnectionText(slot, wrapText(connection(slot).RequestURL));
    }
    saveCookies();
    publishStatistics();
    // A paused scan still records the downloads that were running when it paused.
    if (state_ == ScanState::Scanning || (state_ == ScanState::Paused && !downloads_.idle()))
        passTimer_.start(kRunnerPassMs);
}

void ScanController::applyPolicy() {
    policy_.userAgent = userAgentOr(settings_.text(Field::txtUserAgent));
    policy_.cookies = settings_.checked(Field::chkCookies) ? cookieJar() : nullptr;
    shareRateLimit();
    gate_.startRun({settings_.checked(Field::chkObeyRobots),
                    std::chrono::milliseconds(std::int64_t(numericValue(settings_.text(Field::txtWaitMs)))),
                    policy_.userAgent});
}

void ScanController::shareRateLimit() {
    const auto total = std::int64_t(numericValue(settings_.text(Field::txtRateLimitK)) * 1024);
    policy_.maxBytesPerSecond = total > 0 ? std::max<std::int64_t>(1, total / lastSlot()) : 0;
}

bool ScanController::withinRateLimit() const {
    const double bytesPerSecond = numericValue(settings_.text(Field::txtRateLimitK)) * 1024;
    return bytesPerSecond <= 0 || double(runBytes_) <= bytesPerSecond * double(runTime_.elapsed()) / 1000;
}

CookieJar* ScanController::cookieJar() {
    if (cookieFile_.empty()) return nullptr;
    if (cookies_ && cookies_->file() == cookieFile_)
        cookies_->reload();
    else
        cookies_ = std::make_unique<CookieJar>(cookieFile_);
    return cookies_.get();
}

bool ScanController::openArchive() {
    if (!archive_ && settings_.checked(Field::chkWarc) && !archiveBase_.empty()) {
        // Bounded: a setup file may hold any number, and a petabyte is no limit anyway.
        const auto megabytes = std::uint64_t(std::clamp(numericValue(settings_.text(Field::txtWarcMaxMB)), 1.0, 1e9));
        auto archive = std::make_unique<WarcWriter>(
            archiveBase_, megabytes * 1024 * 1024,
            archiveDescription(settings_, QFileInfo(qs(archiveBase_)).fileName().toStdString()));
        if (!archive->open()) {
            emit refused(qs(kArchiveProblem + archive->problem()));
            return false;
        }
        archive_ = std::move(archive);
    }
    policy_.archive = archive_.get();
    return true;
}

void ScanController::closeArchive() {
    if (!archive_) return;
    policy_.archive = nullptr;
    if (!archive_->close()) messages_.inform(kArchiveProblem + archive_->problem());
    archive_.reset();
}

void ScanController::checkArchive(const FetchObject& transfer) {
    if (transfer.ResultCode() != kFetchArchiveNotWritable || !canStop(state_)) return;
    const std::string problem = archive_ ? archive_->problem() : std::string();
    messages_.inform(kArchiveProblem + (problem.empty() ? std::string("a record was not written") : problem) +
                     ". The scan stops; Resume goes on in a new file.");
    stop();
}

void ScanController::noteCookies(const FetchObject& transfer) {
    if (policy_.cookies && !transfer.GetHeader("Set-Cookie").empty()) cookiesChanged_ = true;
}

void ScanController::saveCookies() {
    if (!cookiesChanged_ || !policy_.cookies) return;
    cookiesChanged_ = false;
    if (!policy_.cookies->save())
        frmDebug::Display(kModule, "SaveCookies", "The cookies could not be written to " + policy_.cookies->file());
}

void ScanController::recordDownloads() {
    auto done = [this](const FetchObject& c) {
        countArrival(c, progress_.filesDownloaded, progress_.filesFailed);
        setConnectionText(c.SlotNumber, kNotBusy);
        emit downloadFinished(paneOf(c.SlotNumber), qs(c.TargetFile), settings_.checked(Field::chkDisplayDownloads));
    };
    // The downloads of a pass are recorded in one transaction: a crash loses
    // at most their marks, and Resume fetches those files again.
    if (!downloads_.hasFinished()) return;
    WorkStore::Batch batch(store_);
    // A download the store fails to record is dropped (it stays pending in the
    // store) and the next one is tried.
    bool more = true;
    while (more) storeStep("ExecuteRobotLoop", [&] { more = downloads_.recordNext(parseFile_, done); });
    storeStep("ExecuteRobotLoop", [&] { batch.commit(); });
}

void ScanController::countArrival(const FetchObject& transfer, std::int64_t& arrived, std::int64_t& failed) {
    ++arrived;
    const int code = transfer.ResultCode();
    if (fetchFailed(code)) ++failed;
    if (code == 304) ++progress_.unchanged;
    if (code >= 200 && code < 300) ++(transfer.Conditional() ? progress_.changed : progress_.added);
    progress_.bytesReceived += transfer.BytesReceived();
    runBytes_ += transfer.BytesReceived();
    counters_.countArrival(transfer.BytesReceived());
}

void ScanController::checkFinished() {
    if (state_ != ScanState::Scanning || !routesExhausted_ || !downloads_.idle()) return;
    siteScanned_ = true;
    setStatus("Site Scanned");
    emit finished();
    stop();
}

void ScanController::passSoon() {
    // A connection just became free or files just got queued: the next pass
    // need not wait out the rest of its 50 ms. Passes still never overlap:
    // they run from the timer, one at a time.
    if (passTimer_.isActive() && passTimer_.remainingTime() > 0) passTimer_.start(0);
}

bool ScanController::storeStep(const char* routine, const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        frmDebug::Display(kModule, routine, e.what());
        if (canStop(state_)) {
            stop();
            emit storeFailed(qs(e.what()));
        }
        return false;
    }
}

void ScanController::setStatus(const std::string& text) {
    if (text == status_) return;
    status_ = text;
    emit statusChanged(qs(text));
}

void ScanController::setConnectionText(int slot, const std::string& text) {
    const int pane = paneOf(slot);
    connectionTexts_[std::size_t(pane - 1)] = text;
    emit connectionTextChanged(pane, qs(text));
}

ScanStatistics ScanController::statistics() const {
    ScanStatistics s = counters_.statistics();
    s.queued = std::int64_t(downloads_.queued());
    // Transfers that share a connection count as that connection.
    s.activeConnections = std::min(connections_.busyCount(), connectionCount());
    return s;
}

void ScanController::publishStatistics() { emit statisticsChanged(); }

void ScanController::resetToday() {
    counters_.resetToday();
    publishStatistics();
}

void ScanController::resetTotal() {
    counters_.resetTotal();
    publishStatistics();
}

void ScanController::useFreeSpaceSource(const FreeSpaceSource& source) {
    drives_ = std::make_unique<OutputDrives>(settings_, source);
}

void ScanController::logPage(const FetchObject& page) {
    if (!page.Content().empty() && settings_.checked(Field::chkLogOutput))
        qCInfo(lcPages, "%s\n%s", HidePassword(page.RequestURL).c_str(), page.GetHeader("").c_str());
}

std::string ScanController::wrapText(const std::string& url) {
    const std::string s = HidePassword(url);
    std::string result;
    result.reserve(s.size() + s.size() / 18 + 1);
    for (std::size_t i = 0; i < s.size(); i += 18) {
        result.append(s, i, 18);
        result += ' ';
    }
    return result;
}

}  // namespace gleanery
