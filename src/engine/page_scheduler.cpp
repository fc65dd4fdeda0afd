#include "engine/page_scheduler.h"

#include "engine/fetch_result_codes.h"
#include "engine/host_gate.h"
#include "engine/work_store.h"
#include "job/job_settings.h"
#include "links/url_utils.h"
#include "support/failure.h"

namespace gleanery {

namespace {
// A page that arrived whole or unchanged: its copy is stored and its links are known.
bool storedLastTime(int result) { return (result >= 200 && result < 300) || result == 304; }
}  // namespace

PageScheduler::PageScheduler(ConnectionSet& connections, WorkStore& store, const JobSettings& settings, HostGate& gate,
                             std::function<std::string(const std::string& url)> storedCopy)
    : connections_(connections), store_(store), settings_(settings), gate_(gate), storedCopy_(std::move(storedCopy)) {}

std::optional<std::string> PageScheduler::startNext(int slot) {
    waiting_ = false;
    std::vector<std::int64_t> started;
    for (int other = 1; other <= kSlotCount; ++other)
        if (connections_.load(other) == Load::Page) started.push_back(connections_.at(other).RequestTag);
    for (;;) {
        const std::optional<RouteRow> route = store_.nextRoute(settings_.checked(Field::chkTunnel), started);
        if (!route) return std::nullopt;
        const std::string full = MakeURL(route->URL, settings_);
        current_ = {route->Priority, GetDomain(full)};
        if (store_.isBlocked(current_.domain)) {
            store_.markRouteScanned(route->RouteID, 0);
            continue;
        }
        std::string url = URLEncode(full);
        const HostVerdict verdict = gate_.admit(url);
        if (verdict == HostVerdict::Refuse) {
            store_.markRouteScanned(route->RouteID, gate_.refusalCode(url));
            continue;
        }
        if (verdict == HostVerdict::Wait) {
            waiting_ = true;
            return std::nullopt;
        }
        onTheirWay_[std::size_t(slot - 1)] = current_;
        FetchObject& page = connections_.at(slot);
        page.RequestURL = std::move(url);
        page.RequestTag = route->RouteID;
        page.TargetFile.clear();
        const bool refresh = settings_.checked(Field::chkRefresh) && storedLastTime(route->Result);
        page.AskIfChangedSince(refresh ? storedCopy_(page.RequestURL) : std::string(), route->ETag);
        connections_.start(slot, Load::Page, page.RequestURL, "");
        return full;
    }
}

void PageScheduler::record(int slot, const PageParser& parse) {
    // Free again even when the store fails: the route stays unscanned there.
    const ReleaseOnExit release(connections_, slot);
    const FetchObject& page = connections_.at(slot);
    current_ = onTheirWay_[std::size_t(slot - 1)];
    std::string url = page.RequestURL;
    if (!url.empty() && url.back() == '/') url += "index.html";
    const std::string finalUrl = page.FinalURL();
    const int code = page.ResultCode();
    if (fetchLeftToDo(code)) return;
    WorkStore::Batch batch(store_);
    // An unchanged page keeps its copy, and its links are in the store already.
    if (parse && code != 304)
        skipSilently([&] { parse(url, finalUrl.empty() ? url : finalUrl, page.Content(), code, page.LastModified()); });
    store_.markRouteScanned(page.RequestTag, code, page.KeptETag());
    batch.commit();
}

}  // namespace gleanery
