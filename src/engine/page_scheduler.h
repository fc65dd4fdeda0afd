#pragma once
// The page scheduler: hands the next unscanned page of the work store to the
// page connection and records each page that arrives. It knows nothing of
// the scan's state; the scan controller decides when it runs. Failures of
// the work store reach the caller as exceptions.

#include <functional>
#include <optional>
#include <string>

namespace gleanery {

class ConnectionSet;
class FetchObject;
class JobSettings;
class WorkStore;

// Searches a fetched page: its URL (with "index.html" after a trailing "/"),
// the address its links are resolved against, its body and result code.
using PageParser =
    std::function<void(const std::string& url, const std::string& base, const std::string& body, int resultCode)>;

class PageScheduler {
public:
    PageScheduler(ConnectionSet& connections, WorkStore& store, const JobSettings& settings);

    // Starts the next page, skipping (and closing) the pages of blocked
    // domains. The URL started, or nothing when no page is left.
    std::optional<std::string> startNext();
    // The page that arrived: its new routes and targets land together with
    // the mark of its own route, so a crash loses at most this page, which
    // Resume fetches again.
    void record(const FetchObject& page, const PageParser& parse);

    // The page most recently handed out.
    int currentPriority() const { return currentPriority_; }
    const std::string& currentDomain() const { return currentDomain_; }

private:
    ConnectionSet& connections_;
    WorkStore& store_;
    const JobSettings& settings_;
    int currentPriority_ = 0;
    std::string currentDomain_;
};

}  // namespace gleanery
