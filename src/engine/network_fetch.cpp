#include "engine/network_fetch.h"

#include "archive/warc_writer.h"
#include "engine/fetch_result_codes.h"
#include "links/url_utils.h"
#include "politeness/cookie_jar.h"
#include "support/http_head.h"
#include "support/text.h"
#include "support/user_agent.h"

#include <algorithm>
#include <ctime>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace gleanery {
namespace {

struct Address {
    std::string withoutCredentials;
    std::optional<std::string> credentials;
};

// Credentials stand percent-encoded in front of the host (MakeURL writes
// them so), ending at the last "@" before the first "/", "?" or "#"; an "@"
// further on belongs to the path or query. The server gets them decoded.
Address splitCredentials(std::string_view url) {
    std::string without = WithoutCredentials(url);
    if (without.size() == url.size()) return {std::move(without), std::nullopt};
    // What was cut: the credentials and their "@", right after "://".
    const std::size_t start = url.find("://") + 3;
    std::string credentials = UnURLEncode(url.substr(start, url.size() - without.size() - 1));
    return {std::move(without), std::move(credentials)};
}

// "http://" or "https://" in any case, and a host.
bool isFetchable(std::string_view url) {
    for (const std::string_view scheme : {"http://", "https://"}) {
        if (url.size() > scheme.size() && equalsNoCase(url.substr(0, scheme.size()), scheme))
            return std::string_view("/?#").find(url[scheme.size()]) == std::string_view::npos;
    }
    return false;
}

// URLs arrive percent-encoded. Bytes outside printable ASCII are escaped one
// by one here, so that each reaches the server as the byte it is; every
// existing escape stays as it is.
std::string escapeRawBytes(std::string_view encoded) {
    std::string escaped;
    escaped.reserve(encoded.size());
    for (const char c : encoded) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > ' ' && byte < 0x7F)
            escaped += c;
        else
            AppendEscape(escaped, byte);
    }
    return escaped;
}

bool isSuccess(long code) { return code >= 200 && code < 300; }

int transportCode(CURLcode result) {
    switch (result) {
    case CURLE_COULDNT_CONNECT: return kFetchConnectionRefused;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return kFetchHostNotFound;
    case CURLE_OPERATION_TIMEDOUT: return kFetchTimeout;
    case CURLE_TOO_MANY_REDIRECTS: return kFetchTooManyRedirects;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL: return kFetchMalformedUrl;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS: return kFetchTlsError;
    default: return kFetchNetworkError;
    }
}

// The value of an environment variable, or nullptr when unset or empty.
const char* environment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

}  // namespace

NetworkFetch::NetworkFetch(QObject* parent)
    : FetchObject(parent),
      multi_(CurlMulti::forThisThread()),
      easy_(curl_easy_init()),
      idleSeconds_(std::chrono::duration_cast<std::chrono::seconds>(kFetchIdleTimeout).count()) {}

NetworkFetch::~NetworkFetch() {
    detach();
    curl_easy_cleanup(easy_);
    curl_slist_free_all(requestHeaders_);
}

void NetworkFetch::setIdleTimeout(std::chrono::milliseconds timeout) {
    idleSeconds_ = std::max<long>(1, long(std::chrono::duration_cast<std::chrono::seconds>(timeout).count()));
}

void NetworkFetch::StartTransfer(const std::string& url, const std::string& localFile) {
    detach();
    part_.reset();
    ++transfer_;
    busy_ = true;
    headers_.clear();
    content_.clear();
    // A connection keeps its buffer between pages, but not a huge one.
    if (content_.capacity() > 4 * 1024 * 1024) content_.shrink_to_fit();
    finalUrl_.clear();
    multiplexed_ = false;
    lastModified_ = -1;
    failure_ = 0;
    resultCode_ = 0;
    bytesReceived_ = 0;
    exchange_.reset();

    if (!configure(url, !localFile.empty())) return conclude(kFetchMalformedUrl);
    if (!localFile.empty()) {
        part_ = std::make_unique<PartFile>();
        if (!part_->open(localFile)) return conclude(kFetchFileNotWritable);
    }
    // Attached before curl sees it: a transfer that ends at once, inside
    // add(), detaches itself there.
    attached_ = true;
    if (!multi_->add(easy_)) {
        attached_ = false;
        return conclude(kFetchNetworkError);
    }
}

bool NetworkFetch::configure(const std::string& url, bool toFile) {
    const Address address = splitCredentials(url);
    if (!isFetchable(address.withoutCredentials)) return false;
    CURL* e = easy_;
    // curl 7.88 keeps the cookie file names of a handle across transfers and
    // forgets them unfreed at a reset: let go of them first.
    curl_easy_setopt(e, CURLOPT_COOKIEFILE, nullptr);
    curl_easy_reset(e);
    curl_easy_setopt(e, CURLOPT_PRIVATE, static_cast<CurlMulti::Transfer*>(this));
    curl_easy_setopt(e, CURLOPT_URL, escapeRawBytes(address.withoutCredentials).c_str());
    if (address.credentials && !address.credentials->empty()) {
        // Sent at once as Basic authentication, and by curl only to this host and port.
        const std::size_t colon = address.credentials->find(':');
        curl_easy_setopt(e, CURLOPT_USERNAME, address.credentials->substr(0, colon).c_str());
        curl_easy_setopt(e, CURLOPT_PASSWORD,
                         colon == std::string::npos ? "" : address.credentials->substr(colon + 1).c_str());
    }
    const Address referrer = splitCredentials(RequestReferrer);
    if (isFetchable(referrer.withoutCredentials)) {
        const std::string_view page = referrer.withoutCredentials;
        curl_easy_setopt(e, CURLOPT_REFERER, escapeRawBytes(page.substr(0, page.find('#'))).c_str());
    }
    const TransferPolicy defaults;
    const TransferPolicy& policy = Policy ? *Policy : defaults;
    curl_easy_setopt(e, CURLOPT_USERAGENT, userAgentOr(policy.userAgent).c_str());
    if (policy.maxBytesPerSecond > 0)
        curl_easy_setopt(e, CURLOPT_MAX_RECV_SPEED_LARGE, curl_off_t(policy.maxBytesPerSecond));
    // A reset keeps the handle's share: a job without cookies leaves it here.
    if (policy.cookies)
        policy.cookies->attach(e);
    else
        curl_easy_setopt(e, CURLOPT_SHARE, nullptr);
    // Asked for at every transfer: a stored file keeps the server's time.
    curl_easy_setopt(e, CURLOPT_FILETIME, 1L);
    if (RequestModifiedSince > 0) {
        curl_easy_setopt(e, CURLOPT_TIMECONDITION, long(CURL_TIMECOND_IFMODSINCE));
        curl_easy_setopt(e, CURLOPT_TIMEVALUE_LARGE, curl_off_t(RequestModifiedSince));
    }
    curl_slist_free_all(requestHeaders_);
    requestHeaders_ = nullptr;
    if (!RequestETag.empty()) {
        requestHeaders_ = curl_slist_append(nullptr, ("If-None-Match: " + RequestETag).c_str());
        curl_easy_setopt(e, CURLOPT_HTTPHEADER, requestHeaders_);
    }
    const char* protocols = policy.httpsOnly ? "https" : "http,https";
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, protocols);
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, protocols);
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, long(kMaxRedirects));
    // The path goes out as the page wrote it, "/../" included.
    curl_easy_setopt(e, CURLOPT_PATH_AS_IS, 1L);
    // A file is stored as the server keeps it: a "file.tar.gz" that a server
    // labels as gzip-encoded must not be unpacked.
    if (!toFile) curl_easy_setopt(e, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, idleSeconds_);
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, long((kFetchMinBytesPerWindow + idleSeconds_ - 1) / idleSeconds_));
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, idleSeconds_);
    // Over TLS, waits for a connection that may multiplex rather than open
    // another; plain HTTP never multiplexes here, so waiting would only
    // queue transfers behind a connection still being opened.
    curl_easy_setopt(e, CURLOPT_PIPEWAIT, long(startsWithNoCase(address.withoutCredentials, "https:")));
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    if (const char* file = environment("SSL_CERT_FILE")) curl_easy_setopt(e, CURLOPT_CAINFO, file);
    if (const char* folder = environment("SSL_CERT_DIR")) curl_easy_setopt(e, CURLOPT_CAPATH, folder);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &NetworkFetch::onBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &NetworkFetch::onHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, this);
    archive_ = policy.archive;
    if (archive_) {
        exchange_ = std::make_unique<HttpExchange>(archive_->spoolFolder());
        curl_easy_setopt(e, CURLOPT_DEBUGFUNCTION, &NetworkFetch::onWire);
        curl_easy_setopt(e, CURLOPT_DEBUGDATA, this);
        curl_easy_setopt(e, CURLOPT_VERBOSE, 1L);
    }
    return true;
}

int NetworkFetch::onWire(CURL* easy, curl_infotype type, char* data, std::size_t size, void* self) {
    HttpExchange& exchange = *static_cast<NetworkFetch*>(self)->exchange_;
    const std::string_view bytes(data, size);
    switch (type) {
    case CURLINFO_HEADER_OUT: {
        // Asked now, they name this request of a redirect chain.
        char* url = nullptr;
        char* ip = nullptr;
        curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &url);
        curl_easy_getinfo(easy, CURLINFO_PRIMARY_IP, &ip);
        exchange.requestSent(bytes, url ? url : "", ip ? ip : "", std::int64_t(std::time(nullptr)));
        break;
    }
    case CURLINFO_DATA_OUT: exchange.requestBody(bytes); break;
    case CURLINFO_HEADER_IN: exchange.responseHead(bytes); break;
    case CURLINFO_DATA_IN: exchange.responseBody(bytes); break;
    default: break;
    }
    return 0;
}

bool NetworkFetch::archive(CURLcode result) {
    const std::unique_ptr<HttpExchange> exchange = std::move(exchange_);
    if (!exchange) return true;
    std::string_view truncated;
    if (result != CURLE_OK)
        truncated = failure_ == kFetchBodyTooLarge                 ? "length"
                    : result == CURLE_OPERATION_TIMEDOUT           ? "time"
                    : failure_ == 0 && result != CURLE_WRITE_ERROR ? "disconnect"
                                                                   : "unspecified";
    return archive_->write(*exchange, truncated);
}

std::size_t NetworkFetch::onHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto& headers = static_cast<NetworkFetch*>(self)->headers_;
    const std::string_view line(data, size * count);
    // Each response of a redirect chain begins with its status line; the last one stays.
    if (line.starts_with("HTTP/")) headers.clear();
    if (line != "\r\n" && line != "\n") headers.append(line);
    return size * count;
}

std::size_t NetworkFetch::onBody(char* data, std::size_t size, std::size_t count, void* self) {
    return static_cast<NetworkFetch*>(self)->takeBody(data, size * count);
}

std::size_t NetworkFetch::takeBody(const char* data, std::size_t size) {
    bytesReceived_ += std::int64_t(size);
    if (part_) {
        long status = 0;
        curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
        // Only a successful body becomes the file; others are counted and dropped.
        if (isSuccess(status) && !part_->write(data, size)) {
            failure_ = kFetchFileNotWritable;
            return 0;
        }
        return size;
    }
    if (bytesReceived_ > maxPageBytes_) {
        failure_ = kFetchBodyTooLarge;
        return 0;
    }
    if (content_.empty()) {
        curl_off_t announced = -1;
        curl_easy_getinfo(easy_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
        if (announced > 0) content_.reserve(std::size_t(std::min<curl_off_t>(announced, maxPageBytes_)));
    }
    content_.append(data, size);
    return size;
}

void NetworkFetch::transferDone(CURLcode result) {
    long status = 0;
    long redirects = 0;
    long version = 0;
    char* effective = nullptr;
    curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_getinfo(easy_, CURLINFO_HTTP_VERSION, &version);
    multiplexed_ = version >= CURL_HTTP_VERSION_2_0;
    curl_easy_getinfo(easy_, CURLINFO_REDIRECT_COUNT, &redirects);
    curl_easy_getinfo(easy_, CURLINFO_EFFECTIVE_URL, &effective);
    curl_off_t modified = -1;
    curl_easy_getinfo(easy_, CURLINFO_FILETIME_T, &modified);
    lastModified_ = modified;
    if (redirects > 0 && effective) finalUrl_ = effective;
    detach();
    if (!archive(result)) return conclude(kFetchArchiveNotWritable);
    // A status counts only when its response came complete: a body cut short
    // is a transport failure, never a success.
    if (result != CURLE_OK) return conclude(failure_ != 0 ? failure_ : transportCode(result));
    conclude(status > 0 ? int(status) : kFetchNetworkError);
}

void NetworkFetch::conclude(int code) {
    resultCode_ = code;
    if (code < 0) content_.clear();
    if (part_ && isSuccess(code) && !part_->commit(lastModified_)) resultCode_ = kFetchFileNotWritable;
    part_.reset();
    // Posted, so that Complete never runs inside StartTransfer or inside
    // curl's processing, and is dropped when the object goes away first.
    QMetaObject::invokeMethod(
        this,
        [this, transfer = transfer_] {
            if (transfer != transfer_) return;
            busy_ = false;
            emit Complete();
        },
        Qt::QueuedConnection);
}

void NetworkFetch::Finish() {
    if (!attached_) return;
    detach();
    exchange_.reset();
    conclude(kFetchCancelled);
}

void NetworkFetch::detach() {
    if (!attached_) return;
    attached_ = false;
    multi_->remove(easy_);
}

std::string NetworkFetch::GetHeader(const std::string& name) const {
    return name.empty() ? headers_ : std::string(httpHeaderValue(headers_, name));
}

std::unique_ptr<FetchObject> makeNetworkFetch(QObject* parent) { return std::make_unique<NetworkFetch>(parent); }

}  // namespace gleanery
