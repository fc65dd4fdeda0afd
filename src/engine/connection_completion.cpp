// What happens when a connection reports the end of its transfer.
#include "engine/robot.h"

#include <QLoggingCategory>

#include "engine/fetch_result_codes.h"
#include "engine/work_store.h"
#include "job/job_settings.h"
#include "links/url_utils.h"
#include "support/failure.h"

namespace gleanery {

// "Log Output" writes each fetched page's address and response headers here.
Q_LOGGING_CATEGORY(lcPages, "gleanery.pages")

void Robot::liInet1_Complete() {
    FetchObject& page = connection(1);
    page.Finish();
    inFlight_[0] = false;
    std::string url = page.RequestURL;
    const std::string& body = page.Content();
    setConnectionText(1, "Parsing File");
    // A page's bytes are known only now, not when it was handed out.
    bytesCounter_ += page.BytesReceived();
    ++progress_.pagesScanned;
    if (fetchFailed(page.ResultCode())) ++progress_.pagesFailed;
    progress_.bytesReceived += page.BytesReceived();
    if (!body.empty()) logResult(page.RequestURL, page.GetHeader(""));
    if (!url.empty() && url.back() == '/') url += "index.html";

    // The page's new routes and targets land together with the mark of its
    // own route, so a crash loses at most this page, which Resume fetches again.
    storeStep("liInet1_Complete", [&] {
        WorkStore::Batch batch(store_);
        if (parsePage_) skipSilently([&] { parsePage_(url, body, page.ResultCode()); });
        store_.markRouteScanned(page.RequestTag, page.ResultCode());
        batch.commit();
    });
    setConnectionText(1, "Not Busy");
    if (!downloadQueue_.empty()) passSoon();
    DoScan();
}

void Robot::liInetDownload_Complete(int slot) {
    FetchObject& c = connection(slot);
    c.Finish();
    inFlight_[slot - 1] = false;
    completionQueue_.push_back(&c);
    passSoon();
}

void Robot::passSoon() {
    // A connection just became free or files just got queued: the next
    // runner pass need not wait out the rest of its 50 ms. Passes still never
    // overlap: they run from the timer, one at a time.
    if (tmrForceCall_.isActive() && tmrForceCall_.remainingTime() > 0) tmrForceCall_.start(0);
}

void Robot::logResult(const std::string& url, const std::string& headers) {
    if (settings_.checked("chkLogOutput"))
        qCInfo(lcPages, "%s\n%s", HidePassword(url).c_str(), headers.c_str());
}

std::string Robot::GetWrapText(const std::string& url) {
    const std::string s = HidePassword(url);
    std::string result;
    result.reserve(s.size() + s.size() / 18 + 1);
    for (std::size_t i = 0; i < s.size(); i += 18) {
        result.append(s, i, 18);
        result += ' ';
    }
    return result;
}

}  // namespace gleanery
