#pragma once
// The one HTTP server of the tests: a real server on 127.0.0.1 at a free port,
// answering from its own threads, that can also misbehave on purpose; with
// a certificate and its key it speaks HTTPS. It
// starts in the constructor and stops in the destructor; stalled handlers are
// woken at shutdown.
//
// Paths are matched exactly, as the server sees them (percent-decoded, without
// the query). Registering a path again replaces its behaviour; registration is
// safe while requests are served. Unknown paths answer 404.

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace gleanery::test {

class TestServer {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    struct Tls {
        std::string certificateFile, keyFile;
    };
    explicit TestServer(const Tls* tls = nullptr);
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    int port() const { return port_; }
    std::string baseUrl() const;                     // "http://127.0.0.1:PORT" or "https://..."
    std::string url(const std::string& path) const;  // baseUrl() + path

    void handle(const std::string& path, Handler handler);
    void page(const std::string& path, std::string body, std::string contentType = "text/html");
    void status(const std::string& path, int code, std::string body = "<html>error</html>");
    // redirect(p, p) is a redirect loop.
    void redirect(const std::string& path, std::string location, int code = 302);
    // Answers only after the delay (or not at all when the server stops first).
    void stall(const std::string& path, std::chrono::milliseconds delay, std::string body = "late",
               std::string contentType = "text/html");
    // Sends the body in pieces with a gap before each piece.
    void trickle(const std::string& path, std::string body, std::size_t pieceBytes, std::chrono::milliseconds gap);
    // A body of totalBytes, streamed in chunks without a length announced in advance.
    void largeBody(const std::string& path, std::size_t totalBytes);
    // Closes the connection without sending any response.
    void resetConnection(const std::string& path);
    // The body for the right Basic credentials, otherwise 401 with a challenge.
    void requireBasicAuth(const std::string& path, const std::string& user, const std::string& password,
                          std::string body);

    // For handlers: waits for the delay; false when the server is stopping.
    bool pause(std::chrono::milliseconds delay) const;

    int hits(const std::string& path) const;
    // A request header of the latest request for the path ("" when absent).
    std::string lastRequestHeader(const std::string& path, const std::string& name) const;
    // When each request arrived, in order.
    std::vector<std::chrono::steady_clock::time_point> arrivals() const;
    // The most handlers that ever ran at once.
    int maxInFlight() const { return maxInFlight_; }

private:
    void dispatch(const httplib::Request& request, httplib::Response& response);

    std::unique_ptr<httplib::Server> server_;
    std::string scheme_;
    std::thread thread_;
    int port_ = 0;

    mutable std::mutex mutex_;
    std::map<std::string, Handler> handlers_;
    std::map<std::string, int> hits_;
    std::map<std::string, httplib::Headers> lastHeaders_;
    std::vector<std::chrono::steady_clock::time_point> arrivals_;

    std::atomic<int> inFlight_{0};
    std::atomic<int> maxInFlight_{0};

    mutable std::mutex stopMutex_;
    mutable std::condition_variable stopSignal_;
    bool stopping_ = false;
};

// The tests' throw-away certificate and key: a TestServer made with them
// speaks HTTPS, trusted by the program while SSL_CERT_FILE names the certificate.
inline const TestServer::Tls kThrowawayTls{GLEANERY_TEST_FILES_DIR "/throwaway-cert.pem",
                                           GLEANERY_TEST_FILES_DIR "/throwaway-key.pem"};

}  // namespace gleanery::test
