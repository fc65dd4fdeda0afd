#include "engine/download_runner.h"

#include <memory>

#include "engine/connection_set.h"
#include "engine/work_store.h"
#include "links/local_path.h"
#include "links/output_drives.h"
#include "support/failure.h"

namespace gleanery {

DownloadRunner::DownloadRunner(ConnectionSet& connections, WorkStore& store)
    : connections_(connections), store_(store) {}

void DownloadRunner::reload(const OutputDrives& drives, const std::string& primaryFolder) {
    queue_.clear();
    for (TargetRow& row : store_.pendingTargets()) {
        if (isActive(row.TargetID)) continue;
        const bool primary = row.File.compare(0, primaryFolder.size(), primaryFolder) == 0;
        // The folders of a queued file may be gone since it was queued.
        skipSilently([&] { MakePath(row.URL, primary ? kPrimaryFolder : kSecondaryFolder, true, drives); });
        queue_.push_back({row.TargetID, std::move(row.URL), std::move(row.Referrer), std::move(row.File)});
    }
}

void DownloadRunner::enqueue(std::int64_t targetId) {
    std::optional<TargetRow> row = store_.pendingTarget(targetId);
    if (!row || isActive(row->TargetID)) return;
    queue_.push_back({row->TargetID, std::move(row->URL), std::move(row->Referrer), std::move(row->File)});
}

std::vector<int> DownloadRunner::startDownloads(int allowed) {
    std::vector<int> started;
    for (int slot = kPageSlot + 1; slot <= std::min(allowed, kConnectionCount) && !queue_.empty(); ++slot) {
        FetchObject& c = connections_.at(slot);
        // A connection whose download waits to be recorded is not free yet.
        if (connections_.busy(slot) || !c.RequestURL.empty()) continue;
        Target next = std::move(queue_.front());
        queue_.pop_front();
        c.RequestTag = next.id;
        c.RequestURL = std::move(next.url);
        c.TargetFile = std::move(next.file);
        c.RequestReferrer = std::move(next.referrer);
        connections_.start(slot, c.RequestURL, c.TargetFile);
        started.push_back(slot);
    }
    return started;
}

void DownloadRunner::arrived(int slot) {
    connections_.arrived(slot);
    finished_.push_back(slot);
}

bool DownloadRunner::recordNext(const FileParser& parse, const std::function<void(const FetchObject&)>& done) {
    if (finished_.empty()) return false;
    FetchObject& c = connections_.at(finished_.front());
    finished_.pop_front();
    // The connection is free again even when the store fails: the target
    // stays pending there, and Resume fetches it again.
    const std::unique_ptr<FetchObject, void (*)(FetchObject*)> release(&c,
                                                                       [](FetchObject* f) { f->RequestURL.clear(); });
    WorkStore::Batch batch(store_);
    // What a file names is queued together with the mark of its own target.
    if (parse && c.ResultCode() >= 200 && c.ResultCode() < 300)
        skipSilently([&] { parse(c.RequestURL, c.TargetFile, c.GetHeader("Content-Type")); });
    store_.markTargetCompleted(c.RequestTag, c.ResultCode());
    batch.commit();
    done(c);
    return true;
}

bool DownloadRunner::idle() const { return queue_.empty() && finished_.empty() && connections_.busyDownloads() == 0; }

bool DownloadRunner::isActive(std::int64_t targetId) const {
    for (int slot = kPageSlot + 1; slot <= kConnectionCount; ++slot) {
        const FetchObject& c = connections_.at(slot);
        if (!c.RequestURL.empty() && c.RequestTag == targetId) return true;
    }
    return false;
}

}  // namespace gleanery
