#pragma once
// ResultCode values of a fetch object. A transfer that got an HTTP response
// reports its status (200, 404, 500 ...); one that did not, or whose response
// was cut short, reports one of these negative transport codes.

#include <string>

namespace gleanery {

enum FetchFailure : int {
    kFetchConnectionRefused = -1,  // the server's port refused the connection (nothing listens there)
    kFetchHostNotFound = -2,       // the host name could not be resolved
    kFetchTimeout = -3,            // under 1 KiB arrived in a 60 s window: a stall or a trickle
    kFetchTlsError = -4,           // the TLS handshake failed or the certificate was not accepted
    kFetchTooManyRedirects = -5,   // more than 10 redirects, usually a redirect loop
    kFetchBodyTooLarge = -6,       // a page kept in memory exceeded its size limit (64 MB by default)
    kFetchFileNotWritable = -7,    // the local file or its folder could not be created or written
    kFetchMalformedUrl = -8,       // the URL (or a redirect's target) is not a usable http or https address
    kFetchNetworkError = -9,  // any other network failure, e.g. the connection closed before the response was complete
    kFetchCancelled = -10,    // the transfer was ended by Finish() before it was over
    kFetchArchiveNotWritable = -11,  // the transfer's records could not be written to the job's WARC archive
};

// A short English text for a ResultCode: the transport failure's name for a
// negative code, "HTTP <status>" for a status.
std::string fetchResultText(int code);

// A transfer that got no answer or an error status (400 and up). A page
// skipped for its blocked domain (0) has not failed.
inline bool fetchFailed(int code) { return code < 0 || code >= 400; }

// A transfer whose records the archive could not keep is left to do: the
// scan stops at once, and the next Resume fetches it again.
inline bool fetchLeftToDo(int code) { return code == kFetchArchiveNotWritable; }

}  // namespace gleanery
