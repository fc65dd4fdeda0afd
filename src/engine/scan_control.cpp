// Begin, Resume and Stop, the end of a scan and the close request.
#include "engine/robot.h"

#include "engine/work_store.h"
#include "job/job_settings.h"
#include "job/location_rule.h"
#include "links/output_drives.h"
#include "links/url_utils.h"
#include "support/clock.h"
#include "support/failure.h"
#include "support/messages.h"
#include "support/text.h"

namespace gleanery {

namespace {
constexpr int kStopPollMs = 1000;
constexpr int kRestartMs = 30000;
constexpr const char* kModule = "frmGeneralRobot";
constexpr const char* kBeginWarning =
    "Warning... This action will delete all the data in the database and rescan the entire site.  "
    "If you wish to resume a previous scan, please select the 'Resume' command.";
constexpr const char* kNoOutputFolder =
    "Please choose the Primary and the Secondary output folders before scanning.";
constexpr const char* kNotWebAddress =
    "The start address cannot be scanned: it must be a web address beginning with http:// or https:// "
    "(or a site's name such as www.example.org).";
}  // namespace

Robot::Robot(JobSettings& settings, WorkStore& store, Messages& messages, const Clock& clock,
             const FetchFactory& makeConnection, QObject* parent)
    : QObject(parent), settings_(settings), store_(store), messages_(messages), clock_(clock),
      drives_(std::make_unique<OutputDrives>(settings, messages)) {
    tmrForceCall_.setInterval(kForceCallMs);
    tmrForceCall_.setSingleShot(true);
    tmrStop_.setInterval(kStopPollMs);
    timerRestart_.setInterval(kRestartMs);
    for (QTimer* t : {&tmrStop_, &timerRestart_}) t->setSingleShot(false);
    connect(&tmrForceCall_, &QTimer::timeout, this, &Robot::tmrForceCall_Timer);
    connect(&tmrStop_, &QTimer::timeout, this, &Robot::tmrStop_Timer);
    connect(&timerRestart_, &QTimer::timeout, this, &Robot::timerRestart_Timer);

    for (int slot = 1; slot <= kConnectionCount; ++slot) {
        auto& c = connections_[slot - 1];
        c = makeConnection(slot);
        c->SlotNumber = slot;
        // Queued, so that a completion never runs inside the call that started
        // the transfer, whatever the connection does.
        if (slot == 1)
            connect(c.get(), &FetchObject::Complete, this, &Robot::liInet1_Complete, Qt::QueuedConnection);
        else
            connect(c.get(), &FetchObject::Complete, this,
                    [this, slot] { liInetDownload_Complete(slot); }, Qt::QueuedConnection);
        lblConnection_[slot - 1] = "Not Busy";
    }
    scanStart_ = clock_.now();
}

Robot::~Robot() = default;

void Robot::cmdBegin_Click() { startScan(true); }

void Robot::cmdResume_Click() { startScan(false); }

bool Robot::startScan(bool fresh) {
    const Routine step{kModule, fresh ? "cmdBegin_Click" : "cmdResume_Click"};
    txtLocation_LostFocus(settings_, messages_);
    if (settings_.text("txtLocation").empty()) return false;
    // Anything else would scan one failing page and call the site scanned.
    if (!IsWebAddress(settings_.text("txtLocation"))) {
        messages_.inform(kNotWebAddress);
        return false;
    }
    if (!storeProblem_.empty()) {
        messages_.inform(storeProblem_);
        return false;
    }
    // Without a folder, the mirror would land at the root of the file system.
    if (settings_.text("txtSaveLocation").empty() || settings_.text("txtSaveLocation2").empty()) {
        messages_.inform(kNoOutputFolder);
        return false;
    }
    drives_->clearOutOfSpace();
    if (!drives_->CheckDriveSpace(true)) return false;

    if (fresh) {
        if (!messages_.confirm(kBeginWarning)) return false;
    }
    saveSettings();
    if (fresh) {
        bool emptied = step([&] {
            WorkStore::Batch batch(store_);
            store_.deleteAllRoutes();
            store_.deleteAllTargets();
            store_.insertRoute(MakeURL(settings_.text("txtLocation"), settings_), "", 1);
            batch.commit();
        });
        // Running on with the old queue would scan something the user did not ask for.
        if (!emptied) {
            messages_.inform("The work store of this job could not be emptied: " +
                             frmDebug::lastReport().description);
            return false;
        }
    }
    stop_ = false;
    pagesDispatched_ = 0;
    bytesCounter_ = 0;
    progress_ = {};
    setStatus("Scanning...");
    step([&] { CreateOutputDir(settings_.text("txtSaveLocation")); });
    step([&] { CreateOutputDir(settings_.text("txtSaveLocation2")); });
    setButtons(false, false, true);
    finishedShown_ = false;
    downloadsIdle_ = false;
    routesExhausted_ = false;
    queueFull_ = false;
    LoadTargets();
    scanStart_ = clock_.now();
    idle_ = false;
    SetRunningView(true);
    tmrForceCall_.start(kForceCallMs);
    DoScan();
    return true;
}

void Robot::cmdStop_Click() {
    stop_ = true;
    tmrForceCall_.stop();
    setStatus("Stopping Execution");
    timerRestart_.stop();
    // Pressed again while stopping (each runner pass does so while both drives
    // are full), the wait must go on: restarting it would put the stop off for ever.
    if (!tmrStop_.isActive()) tmrStop_.start();
}

void Robot::tmrStop_Timer() {
    tmrStop_.stop();
    for (int slot = 1; slot <= kConnectionCount; ++slot) {
        if (connectionBusy(slot)) {
            tmrStop_.start();
            return;
        }
    }
    // Downloads that ended after the last runner pass are recorded now, or
    // the next Resume would fetch them again.
    finishDownloads();
    addRunTime();
    setStatus(drives_->outOfSpace() ? "Execution Stopped... Low Disk Space" : "Execution Stopped");
    timerRestart_.stop();
    tmrForceCall_.stop();
    setButtons(true, true, false);
    SetRunningView(false);
    UpdateStatus();
    idle_ = true;
    emit stopped();
}

void Robot::addRunTime() {
    const Routine step{kModule, "tmrStop_Timer"};
    const double days = scanStart_.msecsTo(clock_.now()) / 86'400'000.0;
    for (const char* field : {"txtDLTime", "txtTotalTime"}) {
        step([&] { settings_.setText(field, plainNumber(numericValue(settings_.text(field)) + days)); });
    }
}

void Robot::CheckFinished() {
    if (!(routesExhausted_ && downloadsIdle_)) return;
    tmrForceCall_.stop();
    setStatus("Site Scanned");
    setButtons(true, true, false);
    cmdStop_Click();
    if (!finishedShown_) {
        // Set first: the message may run a nested event loop that passes here again.
        finishedShown_ = true;
        messages_.inform("Site Scanned");
    }
}

void Robot::tmrForceCall_Timer() {
    tmrForceCall_.stop();
    ExecuteRobotLoop();
}

bool Robot::Form_QueryUnload() {
    if (busyConnections() == 0) return true;
    messages_.inform("The system is still downloading... Please press the 'Stop' button.");
    return false;
}

bool Robot::connectionBusy(int slot) const {
    return inFlight_[slot - 1] || connections_[slot - 1]->IsBusy();
}

int Robot::busyConnections() const {
    int n = 0;
    for (int slot = 1; slot <= kConnectionCount; ++slot) n += connectionBusy(slot) ? 1 : 0;
    return n;
}

void Robot::setStatus(const std::string& text) {
    if (text == lblStatus_) return;
    lblStatus_ = text;
    emit statusChanged(QString::fromStdString(text));
}

void Robot::setConnectionText(int slot, const std::string& text) {
    lblConnection_[slot - 1] = text;
    emit connectionTextChanged(slot, QString::fromStdString(text));
}

void Robot::setButtons(bool begin, bool resume, bool stop) {
    cmdBegin_ = begin;
    cmdResume_ = resume;
    cmdStop_ = stop;
    emit buttonsChanged();
}

void Robot::SetRunningView(bool running) {
    runningView_ = running;
    emit runningViewChanged(running);
}

void Robot::useFreeSpaceSource(const FreeSpaceSource& source) {
    drives_ = std::make_unique<OutputDrives>(settings_, messages_, source);
}

void Robot::saveSettings() {
    if (saveSettings_) saveSettings_();
}

}  // namespace gleanery
