#pragma once
// Asked before every request of a scan: may this host be asked now? It
// fetches each host's robots.txt once per run, before anything else there,
// refuses what the file disallows, and keeps the job's wait between the
// starts of two requests to one host (longer when the file asks for a
// Crawl-delay).

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/fetch_object.h"
#include "politeness/robots_rules.h"

namespace gleanery {

enum class HostVerdict { Go, Wait, Refuse };

struct HostRules {
    bool obeyRobots = true;
    std::chrono::milliseconds wait{0};
    // A robots.txt addresses the program by its first word, up to a "/".
    std::string userAgent;
};

class HostGate : public QObject {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;
    // makeFetch gives the connection on which a robots.txt is fetched.
    HostGate(std::function<std::unique_ptr<FetchObject>()> makeFetch, const TransferPolicy& policy);
    ~HostGate() override;

    // A new run: every host's robots.txt is read again.
    void startRun(HostRules rules);
    // Drops the robots.txt transfers still on their way.
    void cancel();
    // A request to this absolute, percent-encoded URL; Go counts it as started.
    HostVerdict admit(std::string_view url, Clock::time_point now = Clock::now());
    // The result a refused request is closed with: 0 for one its host's
    // robots.txt disallows, the robots.txt's own failure for a host whose
    // robots.txt could not be read.
    int refusalCode(std::string_view url) const;
    // A robots.txt is on its way.
    bool fetching() const;

signals:
    // A robots.txt has been read: requests waiting for it may go.
    void ready();
    // A host's robots.txt could not be read (a status of 5xx or a transfer
    // failure): nothing more of that host is fetched in this run.
    void hostClosed(const QString& robotsUrl, int resultCode);

private:
    struct Host {
        bool known = false;
        RobotsRules rules = RobotsRules::allowAll();
        Clock::time_point lastStart{};
        bool started = false;
        int closedBy = 0;
        std::unique_ptr<FetchObject> fetch;
    };
    void fetchRobots(Host& host, const std::string& origin, Clock::time_point now);
    void robotsArrived(Host& host);

    std::function<std::unique_ptr<FetchObject>()> makeFetch_;
    const TransferPolicy& policy_;
    HostRules rules_;
    std::unordered_map<std::string, Host> hosts_;
};

}  // namespace gleanery
