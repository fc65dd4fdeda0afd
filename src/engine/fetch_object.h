#pragma once
// One connection: it performs one transfer at a time, asynchronously, and
// emits Complete on the UI thread when the transfer is over, whatever its
// outcome. The engine asks the object itself for everything else.

#include <QObject>
#include <cstdint>
#include <string>

namespace gleanery {

class CookieJar;
class WarcWriter;

// What a job asks of each of its transfers beyond the address.
struct TransferPolicy {
    std::string userAgent;               // "" names the program itself
    std::int64_t maxBytesPerSecond = 0;  // for one transfer; 0 for no cap
    CookieJar* cookies = nullptr;        // the job's jar, or none
    bool httpsOnly = false;              // http addresses and redirects to them are refused
    WarcWriter* archive = nullptr;       // records every request and response, or none
};

class FetchObject : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~FetchObject() override = default;

    // Starts a transfer and returns at once. With a file name the body is in
    // that file, complete, when Complete arrives; with "" it is kept for Content().
    virtual void StartTransfer(const std::string& url, const std::string& localFile) = 0;
    virtual bool IsBusy() const = 0;
    // Called first in every completion handler.
    virtual void Finish() = 0;
    // Response headers; "" gives the whole header text.
    virtual std::string GetHeader(const std::string& name) const = 0;

    // The body of an in-memory transfer; empty when there is none.
    virtual const std::string& Content() const = 0;
    // HTTP status when a response arrived, else a negative transport code.
    virtual int ResultCode() const = 0;
    virtual std::int64_t BytesReceived() const = 0;
    // The address of the final response when the transfer was redirected,
    // percent-encoded; "" when it was not. The page's links are relative to it.
    virtual std::string FinalURL() const { return {}; }
    // The transfer went over a connection that carries several at once (HTTP/2).
    virtual bool Multiplexed() const { return false; }
    // The response's Last-Modified, seconds since 1970; -1 without one.
    virtual std::int64_t LastModified() const { return -1; }

    // Carried unchanged from the start of a transfer to its completion.
    std::string RequestURL;
    std::string RequestReferrer;
    std::string TargetFile;
    std::int64_t RequestTag = 0;
    int SlotNumber = 0;
    // The job's policy, read at each start; none gives the program's defaults.
    const TransferPolicy* Policy = nullptr;
    // A conditional request: the body only when it changed since this time
    // (seconds since 1970, 0 for none) or no longer has this ETag ("" for
    // none); otherwise the answer is 304 and a file transfer leaves the file.
    std::int64_t RequestModifiedSince = 0;
    std::string RequestETag;

    bool Conditional() const { return RequestModifiedSince > 0 || !RequestETag.empty(); }
    // Asks for the body only when it changed since this stored copy (a
    // path, "" for none), whose time is the server's Last-Modified.
    void AskIfChangedSince(const std::string& storedCopy, std::string etag);
    // The ETag to keep for what arrived: the answer's own, or the one asked with.
    std::string KeptETag() const;

signals:
    void Complete();
};

}  // namespace gleanery
