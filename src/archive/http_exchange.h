#pragma once
// One transfer as it crossed the wire, for the archive: each request and
// each response of its redirect chain, byte for byte. The transport feeds
// it as the bytes go out and come in; the response body is kept before any
// content decoding, with the transfer coding (chunks) still in it.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/spooled_bytes.h"
#include "archive/warc_format.h"

namespace gleanery {

// Takes the chunks of a "Transfer-Encoding: chunked" body apart, piece by
// piece, keeping only their data.
class ChunkedDecoder {
public:
    // Appends the data in `raw` to `data`.
    void feed(std::string_view raw, std::string& data);

private:
    enum class Part { Size, Extension, Data, DataEnd, Trailer, Done };
    Part part_ = Part::Size;
    std::uint64_t remaining_ = 0;
    bool emptyLine_ = true;
};

// One request and the response that answered it.
struct HttpHop {
    explicit HttpHop(const std::string& spoolFolder) : body(spoolFolder) {}
    std::string targetUri;  // without credentials
    std::string ipAddress;
    std::int64_t date = 0;  // seconds since 1970, when the request went out
    std::string request;    // as sent, without credentials
    std::string responseHead;
    SpooledBytes body;
    WarcDigest blockDigest;    // of the response head and body
    WarcDigest payloadDigest;  // of the body without its transfer coding

    bool answered() const;  // the response head arrived whole
    int status() const;     // of the response's status line; 0 without one
    // Worth compressing: text of some kind, not compressed already.
    bool compressible() const;
    void takeBody(std::string_view raw);
    bool spoolFailed = false;

private:
    std::unique_ptr<ChunkedDecoder> chunks_;
    bool bodyStarted_ = false;
};

class HttpExchange {
public:
    explicit HttpExchange(std::string spoolFolder) : spoolFolder_(std::move(spoolFolder)) {}

    // A request went out, to this address over a connection to this IP:
    // each request begins a hop of its own.
    void requestSent(std::string_view head, std::string_view targetUri, std::string ipAddress, std::int64_t date);
    void requestBody(std::string_view bytes);
    void responseHead(std::string_view bytes);
    void responseBody(std::string_view bytes);

    const std::vector<std::unique_ptr<HttpHop>>& hops() const { return hops_; }

private:
    std::string spoolFolder_;
    std::vector<std::unique_ptr<HttpHop>> hops_;
};

}  // namespace gleanery
