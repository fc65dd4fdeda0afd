#pragma once
// What link admission needs from the scan: the work store's queues, the
// blocked domains, the page being scanned and the download queue. The
// robot provides it; tests provide a simple one.

#include <cstdint>
#include <string>

namespace gleanery {

class LinkQueue {
public:
    virtual ~LinkQueue() = default;
    // A new unscanned page; false when the store already holds the URL.
    virtual bool insertRoute(const std::string& url, const std::string& referrer, int priority) = 0;
    // A new download; its TargetID, or 0 when the store already holds the URL.
    virtual std::int64_t insertTarget(const std::string& url, const std::string& referrer, const std::string& file) = 0;
    // True when the URL is a route or a target of the store.
    virtual bool holds(const std::string& url) = 0;
    virtual bool isBlocked(const std::string& domain) = 0;
    virtual void insertBlockedSite(const std::string& domain) = 0;
    // Appends the pending target with that identifier to the download queue
    // (nothing for an identifier that names no pending target).
    virtual void queueDownload(std::int64_t targetId) = 0;
    // The priority and domain of the page most recently handed out.
    virtual int currentPriority() const = 0;
    virtual const std::string& currentDomain() const = 0;
};

}  // namespace gleanery
