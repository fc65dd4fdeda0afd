#include "common/test_server.h"

#include <QByteArray>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace gleanery::test {
namespace {

// Enough workers for ten connections held open at once plus stalled handlers.
constexpr std::size_t kWorkerThreads = 32;
constexpr std::size_t kChunkBytes = 64 * 1024;

int portOf(const sockaddr_in& address) { return ntohs(address.sin_port); }

// httplib gives handlers no access to their socket, so the server's end of
// the connection is found among the process's descriptors by its two ports
// and shut down; httplib then fails to write its response and closes it.
void shutDownConnection(int serverPort, int clientPort) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        const int fd = std::stoi(entry.path().filename().native());
        sockaddr_in local{};
        sockaddr_in peer{};
        socklen_t localSize = sizeof local;
        socklen_t peerSize = sizeof peer;
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localSize) != 0 ||
            ::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerSize) != 0 || local.sin_family != AF_INET)
            continue;
        if (portOf(local) == serverPort && portOf(peer) == clientPort) ::shutdown(fd, SHUT_RDWR);
    }
}

}  // namespace

TestServer::TestServer(const Tls* tls)
    : server_(tls ? std::make_unique<httplib::SSLServer>(tls->certificateFile.c_str(), tls->keyFile.c_str())
                  : std::make_unique<httplib::Server>()),
      scheme_(tls ? "https" : "http") {
    server_->new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
    // Idle keep-alive connections hold a worker and delay shutdown by this much.
    server_->set_keep_alive_timeout(1);
    server_->Get(".*",
                 [this](const httplib::Request& request, httplib::Response& response) { dispatch(request, response); });
    int listening = -1;
    server_->set_socket_options([&listening](int fd) {
        httplib::default_socket_options(fd);
        listening = fd;
    });
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("test server: no free port on 127.0.0.1");
    // httplib listens with a backlog of five: more connections opened at once
    // would lose their first packet and retry only a second later.
    ::listen(listening, SOMAXCONN);
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() does nothing before the accept loop runs, so wait for it.
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TestServer::~TestServer() {
    {
        std::lock_guard lock(stopMutex_);
        stopping_ = true;
    }
    stopSignal_.notify_all();
    server_->stop();
    thread_.join();
}

std::string TestServer::baseUrl() const { return scheme_ + "://127.0.0.1:" + std::to_string(port_); }

std::string TestServer::url(const std::string& path) const { return baseUrl() + path; }

void TestServer::handle(const std::string& path, Handler handler) {
    std::lock_guard lock(mutex_);
    handlers_[path] = std::move(handler);
}

void TestServer::page(const std::string& path, std::string body, std::string contentType) {
    handle(path,
           [body = std::move(body), contentType = std::move(contentType)](
               const httplib::Request&, httplib::Response& response) { response.set_content(body, contentType); });
}

void TestServer::status(const std::string& path, int code, std::string body) {
    handle(path, [code, body = std::move(body)](const httplib::Request&, httplib::Response& response) {
        response.status = code;
        response.set_content(body, "text/html");
    });
}

void TestServer::redirect(const std::string& path, std::string location, int code) {
    handle(path, [location = std::move(location), code](const httplib::Request&, httplib::Response& response) {
        response.set_redirect(location, code);
    });
}

void TestServer::stall(const std::string& path, std::chrono::milliseconds delay, std::string body,
                       std::string contentType) {
    handle(path, [this, delay, body = std::move(body), contentType = std::move(contentType)](
                     const httplib::Request&, httplib::Response& response) {
        if (pause(delay)) response.set_content(body, contentType);
    });
}

void TestServer::trickle(const std::string& path, std::string body, std::size_t pieceBytes,
                         std::chrono::milliseconds gap) {
    handle(path, [this, body = std::move(body), pieceBytes, gap](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider(
            "application/octet-stream", [this, body, pieceBytes, gap](std::size_t offset, httplib::DataSink& sink) {
                if (offset >= body.size()) {
                    sink.done();
                    return true;
                }
                if (!pause(gap)) return false;
                return sink.write(body.data() + offset, std::min(pieceBytes, body.size() - offset));
            });
    });
}

void TestServer::largeBody(const std::string& path, std::size_t totalBytes) {
    handle(path, [totalBytes](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider(
            "application/octet-stream", [totalBytes](std::size_t offset, httplib::DataSink& sink) {
                static const std::string chunk(kChunkBytes, 'x');
                if (offset >= totalBytes) {
                    sink.done();
                    return true;
                }
                return sink.write(chunk.data(), std::min(chunk.size(), totalBytes - offset));
            });
    });
}

void TestServer::resetConnection(const std::string& path) {
    handle(path, [this](const httplib::Request& request, httplib::Response&) {
        shutDownConnection(port_, request.remote_port);
    });
}

void TestServer::requireBasicAuth(const std::string& path, const std::string& user, const std::string& password,
                                  std::string body) {
    const std::string expected = "Basic " + QByteArray::fromStdString(user + ":" + password).toBase64().toStdString();
    handle(path, [expected, body = std::move(body)](const httplib::Request& request, httplib::Response& response) {
        if (request.get_header_value("Authorization") == expected) {
            response.set_content(body, "text/html");
            return;
        }
        response.status = 401;
        response.set_header("WWW-Authenticate", "Basic realm=\"test\"");
        response.set_content("<html>login</html>", "text/html");
    });
}

bool TestServer::pause(std::chrono::milliseconds delay) const {
    std::unique_lock lock(stopMutex_);
    return !stopSignal_.wait_for(lock, delay, [this] { return stopping_; });
}

std::vector<std::chrono::steady_clock::time_point> TestServer::arrivals() const {
    std::lock_guard lock(mutex_);
    return arrivals_;
}

int TestServer::hits(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto found = hits_.find(path);
    return found == hits_.end() ? 0 : found->second;
}

std::string TestServer::lastRequestHeader(const std::string& path, const std::string& name) const {
    std::lock_guard lock(mutex_);
    const auto found = lastHeaders_.find(path);
    if (found == lastHeaders_.end()) return {};
    const auto header = found->second.find(name);  // httplib compares header names without case
    return header == found->second.end() ? std::string() : header->second;
}

void TestServer::dispatch(const httplib::Request& request, httplib::Response& response) {
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        ++hits_[request.path];
        arrivals_.push_back(std::chrono::steady_clock::now());
        lastHeaders_[request.path] = request.headers;
        const auto found = handlers_.find(request.path);
        if (found != handlers_.end()) handler = found->second;
    }
    const int now = ++inFlight_;
    int seen = maxInFlight_;
    while (now > seen && !maxInFlight_.compare_exchange_weak(seen, now)) {
    }
    if (handler) {
        handler(request, response);
    } else {
        response.status = 404;
        response.set_content("<html>not found</html>", "text/html");
    }
    --inFlight_;
}

}  // namespace gleanery::test
