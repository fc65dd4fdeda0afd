#pragma once
// What the archive already holds of an address: the digest and date of its
// latest 200 response, read from the CDXJ indexes of the closed files. A
// "304 Not Modified" answer is recorded as a revisit that points there.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace gleanery {

struct EarlierPayload {
    std::string digest;  // "sha1:..."
    std::string date;    // the WARC-Date of that response
};

class EarlierPayloads {
public:
    explicit EarlierPayloads(const std::vector<std::string>& indexFiles);
    const EarlierPayload* find(const std::string& url) const;

private:
    std::unordered_map<std::string, EarlierPayload> byUrl_;
};

}  // namespace gleanery
