#pragma once
// libcurl's multi interface driven by the Qt event loop of the thread that
// owns it: curl tells which sockets to watch and when to wake it
// (CURLMOPT_SOCKETFUNCTION, CURLMOPT_TIMERFUNCTION), socket notifiers and one
// timer do the watching, and no transfer thread exists. All transfers of the
// thread share one multi handle, so they share its connection cache and
// multiplex over HTTP/2 where a server offers it.

#include <QObject>
#include <QTimer>

#include <curl/curl.h>

#include <memory>
#include <unordered_map>

class QSocketNotifier;

namespace gleanery {

class CurlMulti : public QObject {
    Q_OBJECT
public:
    // Told when its transfer is over, after curl has let go of every callback.
    class Transfer {
    public:
        virtual void transferDone(CURLcode result) = 0;

    protected:
        ~Transfer() = default;
    };

    // The thread's multi handle, made on first use and kept while anyone holds it.
    static std::shared_ptr<CurlMulti> forThisThread();

    CurlMulti();
    ~CurlMulti() override;
    CurlMulti(const CurlMulti&) = delete;
    CurlMulti& operator=(const CurlMulti&) = delete;

    // The easy handle's CURLOPT_PRIVATE must point at its Transfer. False when
    // curl refuses the handle; nothing is reported then.
    bool add(CURL* easy);
    // Never from inside a curl callback.
    void remove(CURL* easy);

private:
    struct Watch {
        QSocketNotifier* read = nullptr;
        QSocketNotifier* write = nullptr;
    };
    static int onSocket(CURL* easy, curl_socket_t socket, int what, void* self, void* socketData);
    static int onTimer(CURLM* multi, long timeoutMs, void* self);
    void watch(curl_socket_t socket, int what);
    void act(curl_socket_t socket, int events);
    void reportDone();

    CURLM* multi_;
    QTimer timer_;
    std::unordered_map<curl_socket_t, Watch> watches_;
};

}  // namespace gleanery
