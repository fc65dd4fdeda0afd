#include "engine/page_scheduler.h"

#include "engine/connection_set.h"
#include "engine/work_store.h"
#include "job/job_settings.h"
#include "links/url_utils.h"
#include "support/failure.h"

namespace gleanery {

PageScheduler::PageScheduler(ConnectionSet& connections, WorkStore& store, const JobSettings& settings)
    : connections_(connections), store_(store), settings_(settings) {}

std::optional<std::string> PageScheduler::startNext() {
    for (;;) {
        const std::optional<RouteRow> route = store_.nextRoute(settings_.checked(Field::chkTunnel));
        if (!route) return std::nullopt;
        currentPriority_ = route->Priority;
        const std::string full = MakeURL(route->URL, settings_);
        currentDomain_ = GetDomain(full);
        if (store_.isBlocked(currentDomain_)) {
            store_.markRouteScanned(route->RouteID, 0);
            continue;
        }
        FetchObject& page = connections_.at(kPageSlot);
        page.RequestURL = URLEncode(full);
        page.RequestTag = route->RouteID;
        connections_.start(kPageSlot, page.RequestURL, "");
        return full;
    }
}

void PageScheduler::record(const FetchObject& page, const PageParser& parse) {
    std::string url = page.RequestURL;
    if (!url.empty() && url.back() == '/') url += "index.html";
    const std::string finalUrl = page.FinalURL();
    WorkStore::Batch batch(store_);
    if (parse) skipSilently([&] { parse(url, finalUrl.empty() ? url : finalUrl, page.Content(), page.ResultCode()); });
    store_.markRouteScanned(page.RequestTag, page.ResultCode());
    batch.commit();
}

}  // namespace gleanery
