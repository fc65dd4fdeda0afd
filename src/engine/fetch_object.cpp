#include "engine/fetch_object.h"

#include "support/file_time.h"

namespace gleanery {

void FetchObject::AskIfChangedSince(const std::string& storedCopy, std::string etag) {
    // Without the stored copy a 304 would leave nothing: ask for the whole body.
    const std::int64_t modified = storedCopy.empty() ? -1 : ModifiedTime(storedCopy);
    RequestModifiedSince = modified > 0 ? modified : 0;
    RequestETag = modified > 0 ? std::move(etag) : std::string();
}

std::string FetchObject::KeptETag() const {
    std::string etag = GetHeader("ETag");
    return etag.empty() ? RequestETag : etag;
}

}  // namespace gleanery
