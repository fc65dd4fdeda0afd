#pragma once
// The work store's queues in memory: refuses URLs it already holds, as the
// store does, and records what admission asked of it.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "links/link_queue.h"

namespace gleanery::testing {

class FakeLinkQueue final : public LinkQueue {
public:
    struct Row {
        std::int64_t id;
        std::string url, referrer, file;
        int priority;
    };
    bool insertRoute(const std::string& url, const std::string& referrer, int priority) override {
        if (!routeUrls_.insert(url).second) return false;
        routes.push_back({0, url, referrer, "", priority});
        return true;
    }
    std::int64_t insertTarget(const std::string& url, const std::string& referrer, const std::string& file) override {
        if (!targetUrls_.insert(url).second) return 0;
        targets.push_back({++lastId_, url, referrer, file, 0});
        return lastId_;
    }
    bool holds(const std::string& url) override { return routeUrls_.count(url) + targetUrls_.count(url) > 0; }
    bool isBlocked(const std::string& domain) override { return blocked.count(domain) > 0; }
    void insertBlockedSite(const std::string& domain) override { blocked.insert(domain); }
    void queueDownload(std::int64_t targetId) override { executed.push_back(targetId); }
    int currentPriority() const override { return 7; }
    const std::string& currentDomain() const override { return domain; }
    void clear() { *this = FakeLinkQueue(); }

    std::vector<Row> routes, targets;
    std::set<std::string> blocked;
    std::vector<std::int64_t> executed;
    std::string domain;

private:
    std::set<std::string> routeUrls_, targetUrls_;
    std::int64_t lastId_ = 0;
};

}  // namespace gleanery::testing
