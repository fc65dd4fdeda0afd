// The download runner: records finished downloads and hands queued targets
// to the free download connections, one pass per force-call tick.
#include "engine/robot.h"

#include "engine/fetch_result_codes.h"
#include "engine/work_store.h"
#include "job/job_settings.h"
#include "links/output_drives.h"
#include "links/local_path.h"
#include "support/failure.h"
#include "support/text.h"

namespace gleanery {

namespace {
// Byte counters are written without separators, and 0 as the empty text.
std::string byteCount(std::int64_t n) { return n == 0 ? std::string() : decimal(n); }
}  // namespace

void Robot::ExecuteRobotLoop() {
    finishDownloads();

    if (!drives_->CheckDriveSpace(true)) cmdStop_Click();

    if (!stop_) startDownloads();

    if (downloadQueue_.size() < kQueueBackOff && queueFull_) {
        queueFull_ = false;
        DoScan();
    }
    downloadsIdle_ = busyConnections() == 0 && downloadQueue_.empty();
    UpdateStatus();
    CheckFinished();
    if (!downloadsIdle_ || !(routesExhausted_ || idle_)) tmrForceCall_.start(kForceCallMs);
}

void Robot::finishDownloads() {
    const Routine step{"frmGeneralRobot", "ExecuteRobotLoop"};
    while (!completionQueue_.empty()) {
        FetchObject* done = completionQueue_.front();
        completionQueue_.pop_front();
        if (!done) continue;
        // What a file names is queued together with the mark of its own target.
        storeStep("ExecuteRobotLoop", [&] {
            WorkStore::Batch batch(store_);
            if (parseFile_ && done->ResultCode() >= 200 && done->ResultCode() < 300)
                skipSilently([&] { parseFile_(done->RequestURL, done->TargetFile, done->GetHeader("Content-Type")); });
            store_.markTargetCompleted(done->RequestTag, done->ResultCode());
            batch.commit();
        });
        CheckServerLimits(true);
        step([&] {
            const std::int64_t files = 1 + pagesDispatched_;
            const std::int64_t bytes = done->BytesReceived() + bytesCounter_;
            for (const char* field : {"txtDLFiles", "txtTotalFiles"})
                settings_.setText(field, decimal(std::int64_t(numericValue(settings_.text(field))) + files));
            for (const char* field : {"txtDLK", "txtTotalK"})
                settings_.setText(field, byteCount(std::int64_t(numericValue(settings_.text(field))) + bytes));
            pagesDispatched_ = 0;
            bytesCounter_ = 0;
        });
        ++progress_.filesDownloaded;
        if (fetchFailed(done->ResultCode())) ++progress_.filesFailed;
        progress_.bytesReceived += done->BytesReceived();
        setConnectionText(done->SlotNumber, "Not Busy");
        emit downloadFinished(done->SlotNumber, QString::fromStdString(done->TargetFile),
                              settings_.checked("chkDisplayDownloads"));
        done->RequestURL.clear();
    }
}

void Robot::startDownloads() {
    const int allowed = int(numericValue(settings_.listText("cboConnections")));
    for (int slot = 2; slot <= kConnectionCount && !downloadQueue_.empty(); ++slot) {
        if (allowed < slot) continue;
        FetchObject& c = connection(slot);
        if (connectionBusy(slot) || !c.RequestURL.empty()) continue;
        Target next = std::move(downloadQueue_.front());
        downloadQueue_.pop_front();
        c.RequestTag = next.TargetID;
        c.RequestURL = next.URL;
        c.TargetFile = next.File;
        c.RequestReferrer = next.Referrer;
        setConnectionText(slot, GetWrapText(next.URL));
        inFlight_[slot - 1] = true;
        c.StartTransfer(next.URL, next.File);
    }
}

void Robot::LoadTargets() {
    downloadQueue_.clear();
    std::vector<TargetRow> rows;
    storeStep("LoadTargets", [&] { rows = store_.pendingTargets(); });
    const std::string& primary = settings_.text("txtSaveLocation");
    for (TargetRow& row : rows) {
        // A target still on a connection, or waiting to be recorded, is not queued twice.
        if (targetIsActive(row.TargetID)) continue;
        const int mode = row.File.compare(0, primary.size(), primary) == 0 ? kPrimaryFolder : kSecondaryFolder;
        skipSilently([&] { MakePath(row.URL, mode, true, *drives_); });
        downloadQueue_.push_back(Target{row.TargetID, std::move(row.URL), std::move(row.Referrer), std::move(row.File)});
    }
}

void Robot::ExecuteRobot(std::int64_t targetId) {
    std::optional<TargetRow> row;
    storeStep("ExecuteRobot", [&] { row = store_.pendingTarget(targetId); });
    if (!row || targetIsActive(row->TargetID)) return;
    downloadQueue_.push_back(Target{row->TargetID, std::move(row->URL), std::move(row->Referrer), std::move(row->File)});
}

bool Robot::targetIsActive(std::int64_t targetId) const {
    for (int slot = 2; slot <= kConnectionCount; ++slot) {
        const FetchObject& c = *connections_[slot - 1];
        if (!c.RequestURL.empty() && c.RequestTag == targetId) return true;
    }
    return false;
}

}  // namespace gleanery
