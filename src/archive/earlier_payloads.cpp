#include "archive/earlier_payloads.h"

#include <fstream>

namespace gleanery {
namespace {

// "20261207153005" as a WARC date: "2026-12-07T15:30:05Z".
std::string dateOf(std::string_view stamp) {
    if (stamp.size() != 14) return {};
    std::string date(stamp.substr(0, 4));
    date.append("-").append(stamp.substr(4, 2)).append("-").append(stamp.substr(6, 2));
    date.append("T").append(stamp.substr(8, 2)).append(":").append(stamp.substr(10, 2));
    return date.append(":").append(stamp.substr(12, 2)).append("Z");
}

// The value of a string member of a one-line JSON object, unescaped; "" without it.
std::string jsonStringMember(std::string_view object, std::string_view key) {
    const std::string quotedKey = "\"" + std::string(key) + "\"";
    std::size_t at = object.find(quotedKey);
    if (at == std::string_view::npos) return {};
    at = object.find('"', object.find(':', at + quotedKey.size()));
    if (at == std::string_view::npos) return {};
    std::string value;
    for (++at; at < object.size() && object[at] != '"'; ++at) {
        // Addresses are percent-encoded: only quotes and backslashes come escaped.
        if (object[at] == '\\' && at + 1 < object.size()) ++at;
        value += object[at];
    }
    return value;
}

}  // namespace

EarlierPayloads::EarlierPayloads(const std::vector<std::string>& indexFiles) {
    for (const std::string& file : indexFiles) {
        std::ifstream in(file, std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            const std::size_t stampAt = line.find(' ') + 1;
            const std::size_t objectAt = line.find(' ', stampAt);
            if (stampAt == 0 || objectAt == std::string::npos) continue;
            const std::string_view object = std::string_view(line).substr(objectAt + 1);
            const std::string digest = jsonStringMember(object, "digest");
            if (jsonStringMember(object, "status") != "200" || digest.empty()) continue;
            byUrl_[jsonStringMember(object, "url")] = {
                "sha1:" + digest, dateOf(std::string_view(line).substr(stampAt, objectAt - stampAt))};
        }
    }
}

const EarlierPayload* EarlierPayloads::find(const std::string& url) const {
    const auto it = byUrl_.find(url);
    return it == byUrl_.end() ? nullptr : &it->second;
}

}  // namespace gleanery
