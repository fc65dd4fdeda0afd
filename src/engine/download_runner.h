#pragma once
// The download runner: the queue of targets waiting for a connection, and
// the finished downloads waiting to be recorded. The scan controller runs it
// in passes; failures of the work store reach the caller as exceptions.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace gleanery {

class ConnectionSet;
class FetchObject;
class HostGate;
class OutputDrives;
class WorkStore;

// Reads a downloaded file that names further files (a stylesheet): URL,
// local file and Content-Type of a download that arrived whole.
using FileParser = std::function<void(const std::string& url, const std::string& file, const std::string& type)>;

// The scheduler starts no page while this many targets wait for download.
inline constexpr std::size_t kQueueBackOff = 250;

class DownloadRunner {
public:
    DownloadRunner(ConnectionSet& connections, WorkStore& store, HostGate& gate);

    // Queues every pending target of the store afresh; a target still on a
    // connection, or waiting to be recorded, is not queued twice. With
    // refresh, a file already stored is asked for only if it changed: one
    // that did not (304) is left as it is.
    void reload(const OutputDrives& drives, const std::string& primaryFolder, bool refresh);
    // Appends the pending target with that identifier.
    void enqueue(std::int64_t targetId);
    // Hands queued targets to the free connections among these slots, in
    // queue order: a target whose host must wait holds up the ones behind it,
    // and one that the host gate refuses is closed with the result it names.
    // The slots it started.
    std::vector<int> startDownloads(int firstSlot, int lastSlot);

    // A download connection reported the end of its transfer.
    void arrived(int slot);
    // Records the oldest finished download (with what a stylesheet names),
    // passes it to `done` and frees its connection; false when none waits.
    bool recordNext(const FileParser& parse, const std::function<void(const FetchObject&)>& done);

    std::size_t queued() const { return queue_.size(); }
    bool hasFinished() const { return !finished_.empty(); }
    bool idle() const;

private:
    struct Target {
        std::int64_t id = 0;
        std::string url, referrer, file, etag;
    };
    bool isActive(std::int64_t targetId) const;

    ConnectionSet& connections_;
    WorkStore& store_;
    HostGate& gate_;
    std::deque<Target> queue_;
    bool refresh_ = false;
    std::deque<int> finished_;  // slots, in arrival order
};

}  // namespace gleanery
