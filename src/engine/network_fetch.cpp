#include "engine/network_fetch.h"

#include "engine/fetch_result_codes.h"
#include "links/url_utils.h"
#include "support/text.h"

#include <QNetworkRequest>

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
    const std::size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string_view::npos) return {std::string(url), std::nullopt};
    const std::string_view afterScheme = url.substr(schemeEnd + 3);
    const std::string_view host = StripCredentials(afterScheme);
    if (host.size() == afterScheme.size()) return {std::string(url), std::nullopt};
    return {std::string(url.substr(0, schemeEnd + 3)).append(host),
            UnURLEncode(afterScheme.substr(0, afterScheme.size() - host.size() - 1))};
}

// URLs arrive percent-encoded. Bytes outside printable ASCII are escaped one
// by one here, so QUrl never reads them as UTF-8 text, and tolerant parsing
// leaves every existing escape as it is.
QUrl toQUrl(std::string_view encoded) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    QByteArray escaped;
    escaped.reserve(static_cast<qsizetype>(encoded.size()));
    for (const char c : encoded) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > ' ' && byte < 0x7F) {
            escaped += c;
        } else {
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0x0F];
        }
    }
    return QUrl::fromEncoded(escaped, QUrl::TolerantMode);
}

constexpr qint64 kReadBufferBytes = 1024 * 1024;

bool isFetchable(const QUrl& url) {
    return url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https") && !url.host().isEmpty();
}

bool sameServer(const QUrl& a, const QUrl& b) {
    const auto port = [](const QUrl& url) { return url.port(url.scheme() == u"https" ? 443 : 80); };
    return a.host() == b.host() && port(a) == port(b);
}

QByteArray basicAuthorization(std::string credentials) {
    if (credentials.empty()) return {};
    if (credentials.find(':') == std::string::npos) credentials += ':';
    return "Basic " + QByteArray::fromStdString(credentials).toBase64();
}

QByteArray userAgent() {
    return "Gleanery/" + QByteArray::number(GLEANERY_VERSION_MAJOR) + '.' + QByteArray::number(GLEANERY_VERSION_MINOR) +
           '.' + QByteArray::number(GLEANERY_VERSION_PATCH);
}

bool isRedirectStatus(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool isSuccess(int code) { return code >= 200 && code < 300; }

// Errors that Qt derives from an HTTP status: the response itself arrived.
bool isStatusError(QNetworkReply::NetworkError error) {
    return (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError) ||
           error == QNetworkReply::ProtocolInvalidOperationError ||
           error == QNetworkReply::ProxyAuthenticationRequiredError ||
           (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError);
}

int transportCode(QNetworkReply::NetworkError error) {
    switch (error) {
    case QNetworkReply::ConnectionRefusedError: return kFetchConnectionRefused;
    case QNetworkReply::HostNotFoundError: return kFetchHostNotFound;
    case QNetworkReply::TimeoutError: return kFetchTimeout;
    case QNetworkReply::SslHandshakeFailedError: return kFetchTlsError;
    case QNetworkReply::ProtocolUnknownError: return kFetchMalformedUrl;
    default: return kFetchNetworkError;
    }
}

}  // namespace

NetworkFetch::NetworkFetch(QObject* parent) : FetchObject(parent) {
    idleTimer_.setInterval(kFetchIdleTimeout);
    connect(&idleTimer_, &QTimer::timeout, this, &NetworkFetch::checkProgress);
}

NetworkFetch::~NetworkFetch() { dropReply(); }

void NetworkFetch::setIdleTimeout(std::chrono::milliseconds timeout) { idleTimer_.setInterval(timeout); }

void NetworkFetch::StartTransfer(const std::string& url, const std::string& localFile) {
    dropReply();
    idleTimer_.stop();
    part_.reset();
    ++transfer_;
    busy_ = true;
    redirects_ = 0;
    finalUrl_.clear();
    status_ = 0;
    statusLine_.clear();
    headers_.clear();
    content_.clear();
    resultCode_ = 0;
    bytesReceived_ = 0;

    const Address address = splitCredentials(url);
    origin_ = toQUrl(address.withoutCredentials);
    authorization_ = basicAuthorization(address.credentials.value_or(std::string()));
    const QUrl referrer = toQUrl(splitCredentials(RequestReferrer).withoutCredentials);
    referrer_ = isFetchable(referrer) ? referrer.toEncoded(QUrl::RemoveFragment) : QByteArray();

    if (!isFetchable(origin_)) return conclude(kFetchMalformedUrl);
    if (!localFile.empty()) {
        part_ = std::make_unique<PartFile>();
        if (!part_->open(localFile)) return conclude(kFetchFileNotWritable);
    }
    send(origin_);
}

void NetworkFetch::send(const QUrl& url) {
    QNetworkRequest request(url);
    // Redirects are followed here, so that the credentials go only to their own server.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    if (!referrer_.isEmpty()) request.setRawHeader("Referer", referrer_);
    if (!authorization_.isEmpty() && sameServer(url, origin_)) request.setRawHeader("Authorization", authorization_);
    // A file is stored as the server sends it: without this, Qt would unpack a
    // "file.tar.gz" that a server labels as gzip-encoded.
    if (part_) request.setRawHeader("Accept-Encoding", "identity");

    redirecting_ = false;
    reply_ = manager_.get(request);
    // Without a bound, Qt reads ahead from a fast server into memory for as
    // long as the UI thread is busy elsewhere, whatever the page cap or the
    // file on disk; with one it stops reading from the socket.
    reply_->setReadBufferSize(kReadBufferBytes);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &NetworkFetch::onMetaData);
    connect(reply_, &QNetworkReply::readyRead, this, &NetworkFetch::onReadyRead);
    connect(reply_, &QNetworkReply::finished, this, &NetworkFetch::onFinished);
    windowBytes_ = 0;
    idleTimer_.start();
}

void NetworkFetch::checkProgress() {
    if (windowBytes_ < kFetchMinBytesPerWindow) return conclude(kFetchTimeout);
    windowBytes_ = 0;
}

void NetworkFetch::onMetaData() {
    // A response that has begun may take a while to produce its body.
    windowBytes_ += kFetchMinBytesPerWindow;
    status_ = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    redirecting_ = isRedirectStatus(status_) && !reply_->rawHeader("Location").isEmpty();
    if (redirecting_) return;
    const bool http2 = reply_->attribute(QNetworkRequest::Http2WasUsedAttribute).toBool();
    const QByteArray reason = reply_->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray();
    statusLine_ = (http2 ? "HTTP/2 " : "HTTP/1.1 ") + QByteArray::number(status_);
    if (!reason.isEmpty()) statusLine_ += ' ' + reason;
    headers_ = reply_->rawHeaderPairs();
}

void NetworkFetch::onReadyRead() {
    const QByteArray data = reply_->readAll();
    windowBytes_ += data.size();
    if (redirecting_) return;
    bytesReceived_ += data.size();
    if (part_) {
        // Only a successful body becomes the file; others are counted and dropped.
        if (isSuccess(status_) && !part_->write(data.constData(), static_cast<std::size_t>(data.size())))
            conclude(kFetchFileNotWritable);
        return;
    }
    if (bytesReceived_ > maxPageBytes_) return conclude(kFetchBodyTooLarge);
    content_.append(data.constData(), static_cast<std::size_t>(data.size()));
}

void NetworkFetch::onFinished() {
    if (reply_->bytesAvailable() > 0) {
        onReadyRead();
        if (!reply_) return;  // that last piece ended the transfer
    }
    const QNetworkReply::NetworkError error = reply_->error();
    if (redirecting_ && error == QNetworkReply::NoError) return followRedirect();
    // A status counts only when its response came complete: a body cut short
    // is a transport failure, never a success.
    const bool responded = status_ > 0 && (error == QNetworkReply::NoError || isStatusError(error));
    conclude(responded ? status_ : transportCode(error));
}

void NetworkFetch::followRedirect() {
    const QByteArray location = reply_->rawHeader("Location");
    const QUrl next = reply_->url().resolved(
        toQUrl(std::string_view(location.constData(), static_cast<std::size_t>(location.size()))));
    dropReply();
    if (redirects_ == kMaxRedirects) return conclude(kFetchTooManyRedirects);
    ++redirects_;
    if (!isFetchable(next)) return conclude(kFetchMalformedUrl);
    // Resolved against origin_'s form, which holds no credentials: those of
    // the request never reach a page of another server through this address.
    finalUrl_ = next.toEncoded().toStdString();
    send(next);
}

void NetworkFetch::conclude(int code) {
    idleTimer_.stop();
    dropReply();
    resultCode_ = code;
    if (code < 0) content_.clear();
    if (part_ && isSuccess(code) && !part_->commit()) resultCode_ = kFetchFileNotWritable;
    part_.reset();
    // Posted, so that Complete never runs inside StartTransfer or inside a
    // handler of the reply, and is dropped when the object goes away first.
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
    if (reply_) conclude(kFetchCancelled);
}

void NetworkFetch::dropReply() {
    if (!reply_) return;
    // Disconnected first: abort() reports synchronously, and nothing of this
    // transfer may come back here any more.
    reply_->disconnect(this);
    reply_->abort();
    reply_->deleteLater();
    reply_ = nullptr;
}

std::string NetworkFetch::GetHeader(const std::string& name) const {
    if (name.empty()) {
        if (statusLine_.isEmpty()) return {};
        QByteArray text = statusLine_ + "\r\n";
        for (const auto& [key, value] : headers_) text += key + ": " + value + "\r\n";
        return text.toStdString();
    }
    for (const auto& [key, value] : headers_)
        if (equalsNoCase(std::string_view(key.constData(), static_cast<std::size_t>(key.size())), name))
            return value.toStdString();
    return {};
}

std::unique_ptr<FetchObject> makeNetworkFetch(QObject* parent) { return std::make_unique<NetworkFetch>(parent); }

}  // namespace gleanery
