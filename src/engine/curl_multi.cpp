#include "engine/curl_multi.h"

#include "engine/connection_set.h"

#include <QSocketNotifier>

#include <algorithm>
#include <climits>
#include <mutex>
#include <utility>
#include <vector>

namespace gleanery {
namespace {

constexpr long kCachedConnections = 64;

void dropNotifier(QSocketNotifier*& notifier) {
    if (!notifier) return;
    // It may be the notifier whose signal is being handled right now.
    notifier->setEnabled(false);
    notifier->deleteLater();
    notifier = nullptr;
}

}  // namespace

std::shared_ptr<CurlMulti> CurlMulti::forThisThread() {
    thread_local std::weak_ptr<CurlMulti> current;
    std::shared_ptr<CurlMulti> multi = current.lock();
    if (!multi) {
        multi = std::make_shared<CurlMulti>();
        current = multi;
    }
    return multi;
}

CurlMulti::CurlMulti() {
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    multi_ = curl_multi_init();
    curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, &CurlMulti::onSocket);
    curl_multi_setopt(multi_, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, &CurlMulti::onTimer);
    curl_multi_setopt(multi_, CURLMOPT_TIMERDATA, this);
    curl_multi_setopt(multi_, CURLMOPT_PIPELINING, long(CURLPIPE_MULTIPLEX));
    // Without a size of its own the cache holds four connections per transfer
    // running at the time, and closes the rest whenever few are running.
    curl_multi_setopt(multi_, CURLMOPT_MAXCONNECTS, kCachedConnections);
    // However many transfers run, never more connections to one host than a job may use.
    curl_multi_setopt(multi_, CURLMOPT_MAX_HOST_CONNECTIONS, long(kConnectionCount));
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
}

CurlMulti::~CurlMulti() {
    // Closing the cached connections must not call back into a half-destroyed object.
    curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, nullptr);
    curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, nullptr);
    curl_multi_cleanup(multi_);
    for (auto& [socket, watch] : watches_) {
        delete watch.read;
        delete watch.write;
    }
}

bool CurlMulti::add(CURL* easy) {
    if (curl_multi_add_handle(multi_, easy) != CURLM_OK) return false;
    // The request goes out now, not after every event already posted (a
    // burst of arrived pages) has been handled.
    act(CURL_SOCKET_TIMEOUT, 0);
    return true;
}

void CurlMulti::remove(CURL* easy) { curl_multi_remove_handle(multi_, easy); }

int CurlMulti::onSocket(CURL*, curl_socket_t socket, int what, void* self, void*) {
    static_cast<CurlMulti*>(self)->watch(socket, what);
    return 0;
}

int CurlMulti::onTimer(CURLM*, long timeoutMs, void* self) {
    QTimer& timer = static_cast<CurlMulti*>(self)->timer_;
    // Only the timer is set here: curl may not be called back from its own callback.
    timeoutMs < 0 ? timer.stop() : timer.start(int(std::min(timeoutMs, long(INT_MAX))));
    return 0;
}

void CurlMulti::watch(curl_socket_t socket, int what) {
    if (what == CURL_POLL_REMOVE) {
        if (const auto found = watches_.find(socket); found != watches_.end()) {
            dropNotifier(found->second.read);
            dropNotifier(found->second.write);
            watches_.erase(found);
        }
        return;
    }
    Watch& w = watches_[socket];
    const auto follow = [&](QSocketNotifier*& notifier, QSocketNotifier::Type type, bool wanted, int event) {
        if (!notifier && wanted) {
            notifier = new QSocketNotifier(qintptr(socket), type, this);
            connect(notifier, &QSocketNotifier::activated, this, [this, socket, event] { act(socket, event); });
        }
        if (notifier) notifier->setEnabled(wanted);
    };
    follow(w.read, QSocketNotifier::Read, what & CURL_POLL_IN, CURL_CSELECT_IN);
    follow(w.write, QSocketNotifier::Write, what & CURL_POLL_OUT, CURL_CSELECT_OUT);
}

void CurlMulti::act(curl_socket_t socket, int events) {
    int running = 0;
    curl_multi_socket_action(multi_, socket, events, &running);
    reportDone();
}

void CurlMulti::reportDone() {
    std::vector<std::pair<CURL*, CURLcode>> done;
    int left = 0;
    while (const CURLMsg* message = curl_multi_info_read(multi_, &left))
        if (message->msg == CURLMSG_DONE) done.emplace_back(message->easy_handle, message->data.result);
    for (const auto& [easy, result] : done) {
        void* owner = nullptr;
        curl_easy_getinfo(easy, CURLINFO_PRIVATE, &owner);
        static_cast<Transfer*>(owner)->transferDone(result);
    }
}

}  // namespace gleanery
