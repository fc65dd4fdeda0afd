#pragma once
// The page scheduler: hands the next unscanned page of the work store to a
// connection and records each page that arrives. Several pages may be on
// their way at once, each on its own connection. It knows nothing of the
// scan's state; the scan controller decides when it runs. Failures of the
// work store reach the caller as exceptions.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "engine/connection_set.h"

namespace gleanery {

class FetchObject;
class HostGate;
class JobSettings;
class WorkStore;

// Searches a fetched page: its URL (with "index.html" after a trailing "/"),
// the address its links are resolved against, its body, result code and
// Last-Modified (seconds since 1970, -1 without one).
using PageParser = std::function<void(const std::string& url, const std::string& base, const std::string& body,
                                      int resultCode, std::int64_t modified)>;

class PageScheduler {
public:
    // storedCopy gives the copy of a page an earlier scan stored ("" for none).
    PageScheduler(ConnectionSet& connections, WorkStore& store, const JobSettings& settings, HostGate& gate,
                  std::function<std::string(const std::string& url)> storedCopy);

    // Starts the next page not yet on its way on the slot, closing the pages
    // of blocked domains (result 0) and those the host gate refuses (with
    // the result it names).
    // The URL started, or nothing when no page is left or the next one must
    // wait for its host (waiting()). With chkRefresh ticked, a page that the
    // last scan fetched and stored is asked for only if it changed: a page
    // that did not (304) keeps its copy, and its links are in the store
    // already.
    std::optional<std::string> startNext(int slot);
    bool waiting() const { return waiting_; }
    // The page that arrived on the slot: its new routes and targets land
    // together with the mark of its own route, so a crash loses at most this
    // page, which Resume fetches again. The slot is free again afterwards.
    void record(int slot, const PageParser& parse);

    // The page most recently handed out, and while a page is recorded, that page.
    int currentPriority() const { return current_.priority; }
    const std::string& currentDomain() const { return current_.domain; }

private:
    struct Page {
        int priority = 0;
        std::string domain;
    };

    ConnectionSet& connections_;
    WorkStore& store_;
    const JobSettings& settings_;
    HostGate& gate_;
    std::function<std::string(const std::string& url)> storedCopy_;
    Page current_;
    bool waiting_ = false;
    std::array<Page, kSlotCount> onTheirWay_;  // by slot
};

}  // namespace gleanery
