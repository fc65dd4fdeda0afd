#include "archive/http_exchange.h"

#include "links/url_utils.h"
#include "support/http_head.h"
#include "support/text.h"

namespace gleanery {
namespace {

bool endsHead(std::string_view head) { return head.ends_with("\r\n\r\n") || head.ends_with("\n\n"); }

// The request as sent, less the lines that carry credentials.
std::string withoutCredentials(std::string_view head) {
    std::string kept;
    kept.reserve(head.size());
    while (!head.empty()) {
        const std::size_t end = std::min(head.find('\n'), head.size() - 1);
        const std::string_view line = head.substr(0, end + 1);
        head.remove_prefix(end + 1);
        if (!startsWithNoCase(line, "authorization:") && !startsWithNoCase(line, "proxy-authorization:"))
            kept.append(line);
    }
    return kept;
}

}  // namespace

void ChunkedDecoder::feed(std::string_view raw, std::string& data) {
    while (!raw.empty()) {
        if (part_ == Part::Data) {
            const std::size_t n = std::size_t(std::min<std::uint64_t>(remaining_, raw.size()));
            data.append(raw.substr(0, n));
            raw.remove_prefix(n);
            remaining_ -= n;
            if (remaining_ == 0) part_ = Part::DataEnd;
            continue;
        }
        const char c = raw.front();
        raw.remove_prefix(1);
        switch (part_) {
        case Part::Size:
            if (const int digit = hexDigitValue(c); digit >= 0) {
                remaining_ = remaining_ * 16 + std::uint64_t(digit);
                break;
            }
            if (c != '\n') {
                if (c != '\r') part_ = Part::Extension;
                break;
            }
            [[fallthrough]];
        case Part::Extension:
            if (c == '\n') part_ = remaining_ > 0 ? Part::Data : Part::Trailer;
            break;
        case Part::DataEnd:
            if (c == '\n') part_ = Part::Size;
            break;
        case Part::Trailer:
            if (c == '\n') {
                if (emptyLine_) part_ = Part::Done;
                emptyLine_ = true;
            } else if (c != '\r') {
                emptyLine_ = false;
            }
            break;
        case Part::Data:
        case Part::Done: break;
        }
    }
}

bool HttpHop::answered() const { return endsHead(responseHead); }

// A status code has three digits; more, sent by a broken server, would not fit an int.
int HttpHop::status() const { return int(numericValue(httpStatusText(responseHead).substr(0, 3))); }

bool HttpHop::compressible() const {
    const std::string_view encoding = httpHeaderValue(responseHead, "Content-Encoding");
    if (!encoding.empty() && !equalsNoCase(encoding, "identity")) return false;
    const std::string type = asciiLower(httpHeaderValue(responseHead, "Content-Type"));
    if (type.empty() || type.starts_with("text/")) return true;
    for (const char* textual : {"json", "xml", "javascript", "ecmascript"})
        if (type.find(textual) != std::string::npos) return true;
    return false;
}

void HttpHop::takeBody(std::string_view raw) {
    if (!bodyStarted_) {
        bodyStarted_ = true;
        if (equalsNoCase(httpHeaderValue(responseHead, "Transfer-Encoding"), "chunked"))
            chunks_ = std::make_unique<ChunkedDecoder>();
    }
    if (!body.append(raw)) spoolFailed = true;
    blockDigest.add(raw);
    if (!chunks_) return payloadDigest.add(raw);
    std::string data;
    chunks_->feed(raw, data);
    payloadDigest.add(data);
}

void HttpExchange::requestSent(std::string_view head, std::string_view targetUri, std::string ipAddress,
                               std::int64_t date) {
    auto hop = std::make_unique<HttpHop>(spoolFolder_);
    // Credentials in front of the host would put a password into a file
    // that is made to be shared.
    hop->targetUri = WithoutCredentials(targetUri);
    hop->ipAddress = std::move(ipAddress);
    hop->date = date;
    hop->request = withoutCredentials(head);
    hops_.push_back(std::move(hop));
}

void HttpExchange::requestBody(std::string_view bytes) {
    if (!hops_.empty()) hops_.back()->request.append(bytes);
}

void HttpExchange::responseHead(std::string_view bytes) {
    if (hops_.empty()) return;
    HttpHop& hop = *hops_.back();
    // A head after a whole one follows an interim answer (100 Continue, 103
    // Early Hints): the final answer replaces it.
    if (hop.answered()) {
        hop.responseHead.clear();
        hop.blockDigest = WarcDigest();
    }
    hop.responseHead.append(bytes);
    hop.blockDigest.add(bytes);
}

void HttpExchange::responseBody(std::string_view bytes) {
    if (!hops_.empty() && hops_.back()->answered()) hops_.back()->takeBody(bytes);
}

}  // namespace gleanery
