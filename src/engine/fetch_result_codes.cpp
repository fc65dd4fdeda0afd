#include "engine/fetch_result_codes.h"

#include "support/text.h"

namespace gleanery {

std::string fetchResultText(int code) {
    switch (code) {
    case kFetchConnectionRefused: return "Connection refused";
    case kFetchHostNotFound: return "Host not found";
    case kFetchTimeout: return "Timed out";
    case kFetchTlsError: return "TLS/SSL error";
    case kFetchTooManyRedirects: return "Too many redirects";
    case kFetchBodyTooLarge: return "Page too large";
    case kFetchFileNotWritable: return "File not writable";
    case kFetchMalformedUrl: return "Malformed URL";
    case kFetchNetworkError: return "Network error";
    case kFetchCancelled: return "Cancelled";
    case kFetchArchiveNotWritable: return "Archive not writable";
    }
    return code < 0 ? "Transfer failed (" + decimal(code) + ")" : "HTTP " + decimal(code);
}

}  // namespace gleanery
