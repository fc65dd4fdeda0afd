#include "engine/download_runner.h"

#include "engine/connection_set.h"
#include "engine/fetch_result_codes.h"
#include "engine/host_gate.h"
#include "engine/work_store.h"
#include "links/local_path.h"
#include "links/output_drives.h"
#include "support/failure.h"

namespace gleanery {

DownloadRunner::DownloadRunner(ConnectionSet& connections, WorkStore& store, HostGate& gate)
    : connections_(connections), store_(store), gate_(gate) {}

void DownloadRunner::reload(const OutputDrives& drives, const std::string& primaryFolder, bool refresh) {
    queue_.clear();
    refresh_ = refresh;
    for (TargetRow& row : store_.pendingTargets()) {
        if (isActive(row.TargetID)) continue;
        const bool primary = row.File.compare(0, primaryFolder.size(), primaryFolder) == 0;
        // The folders of a queued file may be gone since it was queued.
        skipSilently([&] { MakePath(row.URL, primary ? kPrimaryFolder : kSecondaryFolder, true, drives); });
        queue_.push_back(
            {row.TargetID, std::move(row.URL), std::move(row.Referrer), std::move(row.File), std::move(row.ETag)});
    }
}

void DownloadRunner::enqueue(std::int64_t targetId) {
    std::optional<TargetRow> row = store_.pendingTarget(targetId);
    if (!row || isActive(row->TargetID)) return;
    queue_.push_back(
        {row->TargetID, std::move(row->URL), std::move(row->Referrer), std::move(row->File), std::move(row->ETag)});
}

std::vector<int> DownloadRunner::startDownloads(int firstSlot, int lastSlot) {
    std::vector<int> started;
    for (int slot = firstSlot; slot <= std::min(lastSlot, kSlotCount) && !queue_.empty();) {
        // A connection whose download waits to be recorded is not free yet.
        if (!connections_.free(slot)) {
            ++slot;
            continue;
        }
        const HostVerdict verdict = gate_.admit(queue_.front().url);
        if (verdict == HostVerdict::Wait) break;
        Target next = std::move(queue_.front());
        queue_.pop_front();
        if (verdict == HostVerdict::Refuse) {
            store_.markTargetCompleted(next.id, gate_.refusalCode(next.url));
            continue;
        }
        FetchObject& c = connections_.at(slot);
        c.RequestTag = next.id;
        c.RequestURL = std::move(next.url);
        c.TargetFile = std::move(next.file);
        c.RequestReferrer = std::move(next.referrer);
        c.AskIfChangedSince(refresh_ ? c.TargetFile : std::string(), std::move(next.etag));
        connections_.start(slot, Load::File, c.RequestURL, c.TargetFile);
        started.push_back(slot++);
    }
    return started;
}

void DownloadRunner::arrived(int slot) {
    connections_.arrived(slot);
    finished_.push_back(slot);
}

bool DownloadRunner::recordNext(const FileParser& parse, const std::function<void(const FetchObject&)>& done) {
    if (finished_.empty()) return false;
    const int slot = finished_.front();
    finished_.pop_front();
    FetchObject& c = connections_.at(slot);
    // The connection is free again even when the store fails: the target
    // stays pending there, and Resume fetches it again.
    const ReleaseOnExit release(connections_, slot);
    if (fetchLeftToDo(c.ResultCode())) {
        done(c);
        return true;
    }
    WorkStore::Batch batch(store_);
    // What a file names is queued together with the mark of its own target.
    if (parse && c.ResultCode() >= 200 && c.ResultCode() < 300)
        skipSilently([&] { parse(c.RequestURL, c.TargetFile, c.GetHeader("Content-Type")); });
    store_.markTargetCompleted(c.RequestTag, c.ResultCode(), c.KeptETag());
    batch.commit();
    done(c);
    return true;
}

bool DownloadRunner::idle() const { return queue_.empty() && connections_.carrying(Load::File) == 0; }

bool DownloadRunner::isActive(std::int64_t targetId) const {
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (connections_.load(slot) == Load::File && connections_.at(slot).RequestTag == targetId) return true;
    }
    return false;
}

}  // namespace gleanery
