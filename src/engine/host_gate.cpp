#include "engine/host_gate.h"

#include <algorithm>

#include "engine/fetch_result_codes.h"
#include "links/url_utils.h"
#include "support/text.h"

namespace gleanery {
namespace {

struct Parts {
    std::string_view origin;        // scheme, credentials, host and port
    std::string_view pathAndQuery;  // "/" when the URL has no path
};

Parts partsOf(std::string_view url) {
    url = StripFragment(url);
    const std::size_t schemeEnd = url.find("://");
    const std::size_t hostStart = schemeEnd == std::string_view::npos ? 0 : schemeEnd + 3;
    const std::size_t pathStart = std::min(url.find_first_of("/?", hostStart), url.size());
    const std::string_view rest = url.substr(pathStart);
    return {url.substr(0, pathStart), rest.empty() ? std::string_view("/") : rest};
}

// Hosts are told apart by scheme, host and port; credentials play no part.
std::string hostKey(std::string_view url) {
    return asciiLower(url.substr(0, url.size() - StripScheme(url).size())) + asciiLower(HostOf(url));
}

}  // namespace

HostGate::HostGate(std::function<std::unique_ptr<FetchObject>()> makeFetch, const TransferPolicy& policy)
    : makeFetch_(std::move(makeFetch)), policy_(policy) {}

HostGate::~HostGate() = default;

void HostGate::startRun(HostRules rules) {
    hosts_.clear();
    rules_ = std::move(rules);
}

void HostGate::cancel() {
    // A robots.txt that did not arrive is asked for again at the next run.
    std::erase_if(hosts_, [](const auto& entry) { return !entry.second.known; });
}

HostVerdict HostGate::admit(std::string_view url, Clock::time_point now) {
    const Parts parts = partsOf(url);
    Host& host = hosts_[hostKey(url)];
    if (rules_.obeyRobots && !host.known) {
        if (!host.fetch) fetchRobots(host, std::string(parts.origin), now);
        return HostVerdict::Wait;
    }
    if (rules_.obeyRobots && !host.rules.allowed(parts.pathAndQuery)) return HostVerdict::Refuse;
    const auto wait = std::max<std::chrono::milliseconds>(rules_.wait, host.rules.crawlDelay());
    if (host.started && now - host.lastStart < wait) return HostVerdict::Wait;
    host.started = true;
    host.lastStart = now;
    return HostVerdict::Go;
}

bool HostGate::fetching() const {
    return std::any_of(hosts_.begin(), hosts_.end(), [](const auto& entry) { return entry.second.fetch != nullptr; });
}

int HostGate::refusalCode(std::string_view url) const {
    const auto found = hosts_.find(hostKey(url));
    return found == hosts_.end() ? 0 : found->second.closedBy;
}

void HostGate::fetchRobots(Host& host, const std::string& origin, Clock::time_point now) {
    host.fetch = makeFetch_();
    FetchObject& fetch = *host.fetch;
    fetch.Policy = &policy_;
    fetch.RequestURL = origin + "/robots.txt";
    // The pointer stays valid: a map node never moves, and the host is
    // erased only together with the fetch, whose completions end with it.
    connect(&fetch, &FetchObject::Complete, this, [this, &host] { robotsArrived(host); });
    // The file is the first request to its host, and the wait counts from it.
    host.started = true;
    host.lastStart = now;
    fetch.StartTransfer(fetch.RequestURL, "");
}

void HostGate::robotsArrived(Host& host) {
    host.fetch->Finish();
    const int code = host.fetch->ResultCode();
    // No file means no rules. A host that cannot be reached at all is not
    // closed: its own requests fail and show why. A server that fails to
    // answer may be overloaded or hide its rules, and keeps its site closed
    // for this run.
    if (code >= 200 && code < 300) {
        host.rules = RobotsRules::parse(host.fetch->Content(), rules_.userAgent);
    } else if ((code >= 400 && code < 500) || code == kFetchConnectionRefused || code == kFetchHostNotFound) {
        host.rules = RobotsRules::allowAll();
    } else {
        host.rules = RobotsRules::disallowAll();
        host.closedBy = code;
        emit hostClosed(QString::fromStdString(HidePassword(host.fetch->RequestURL)), code);
    }
    host.known = true;
    // Deleted later: this runs inside the fetch's own signal.
    host.fetch.release()->deleteLater();
    emit ready();
}

}  // namespace gleanery
