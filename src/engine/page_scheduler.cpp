// Choosing the next page and handing it to the page connection.
#include "engine/robot.h"

#include "engine/work_store.h"
#include "job/job_settings.h"
#include "links/url_utils.h"
#include "support/failure.h"

namespace gleanery {

void Robot::DoScan() {
    CheckServerLimits(true);
    if (stop_) return;
    if (downloadQueue_.size() >= kQueueBackOff) {
        queueFull_ = true;
        return;
    }
    // The page connection carries one transfer at a time; when a pause ends
    // while a page is still on its way, that page's completion calls DoScan.
    if (connectionBusy(1)) return;

    FetchObject& page = connection(1);
    while (!stop_) {
        std::optional<RouteRow> route;
        if (!storeStep("DoScan", [&] { route = store_.nextRoute(settings_.checked("chkTunnel")); })) break;
        if (!route) {
            routesExhausted_ = true;
            CheckFinished();
            return;
        }
        currentPriority_ = route->Priority;
        setStatus("Scanning: " + HidePassword(route->URL));
        const std::string full = MakeURL(route->URL, settings_);
        currentDomain_ = GetDomain(full);
        if (BlockedSite(currentDomain_)) {
            if (!storeStep("DoScan", [&] { store_.markRouteScanned(route->RouteID, 0); })) break;
            continue;
        }
        page.RequestURL = URLEncode(full);
        page.RequestTag = route->RouteID;
        setConnectionText(1, GetWrapText(full));
        inFlight_[0] = true;
        page.StartTransfer(page.RequestURL, "");
        ++pagesDispatched_;
        return;
    }
    setStatus("Execution Haulted");
    if (timerRestart_.isActive()) {
        setStatus("Daily limit exceeded... Waiting");
    } else {
        setButtons(true, true, false);
    }
}

bool Robot::BlockedSite(const std::string& domain) {
    bool blocked = false;
    storeStep("BlockedSite", [&] { blocked = store_.isBlocked(domain); });
    return blocked;
}

}  // namespace gleanery
