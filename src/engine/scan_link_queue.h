#pragma once
// What link admission needs from a running scan: the work store's queues,
// the page being scanned and the download queue.

#include "links/link_queue.h"

namespace gleanery {

class DownloadRunner;
class PageScheduler;
class WorkStore;

class ScanLinkQueue final : public LinkQueue {
public:
    ScanLinkQueue(WorkStore& store, const PageScheduler& pages, DownloadRunner& downloads);

    bool insertRoute(const std::string& url, const std::string& referrer, int priority) override;
    std::int64_t insertTarget(const std::string& url, const std::string& referrer, const std::string& file) override;
    bool holds(const std::string& url) override;
    bool isBlocked(const std::string& domain) override;
    void insertBlockedSite(const std::string& domain) override;
    void queueDownload(std::int64_t targetId) override;
    int currentPriority() const override;
    const std::string& currentDomain() const override;

private:
    WorkStore& store_;
    const PageScheduler& pages_;
    DownloadRunner& downloads_;
};

}  // namespace gleanery
