#include "engine/scan_link_queue.h"

#include "engine/download_runner.h"
#include "engine/page_scheduler.h"
#include "engine/work_store.h"

namespace gleanery {

ScanLinkQueue::ScanLinkQueue(WorkStore& store, const PageScheduler& pages, DownloadRunner& downloads)
    : store_(store), pages_(pages), downloads_(downloads) {}

bool ScanLinkQueue::insertRoute(const std::string& url, const std::string& referrer, int priority) {
    return store_.insertRoute(url, referrer, priority);
}

std::int64_t ScanLinkQueue::insertTarget(const std::string& url, const std::string& referrer, const std::string& file) {
    return store_.insertTarget(url, referrer, file);
}

bool ScanLinkQueue::holds(const std::string& url) { return store_.holds(url); }

bool ScanLinkQueue::isBlocked(const std::string& domain) { return store_.isBlocked(domain); }

void ScanLinkQueue::insertBlockedSite(const std::string& domain) { store_.insertBlockedSite(domain); }

void ScanLinkQueue::queueDownload(std::int64_t targetId) { downloads_.enqueue(targetId); }

int ScanLinkQueue::currentPriority() const { return pages_.currentPriority(); }

const std::string& ScanLinkQueue::currentDomain() const { return pages_.currentDomain(); }

}  // namespace gleanery
