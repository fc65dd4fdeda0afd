#include "archive/cdxj_index.h"

#include <algorithm>
#include <cstdio>

#include "support/http_head.h"
#include "support/part_file.h"
#include "support/text.h"

namespace gleanery {
namespace {

// "www.", "www2." and the like name the same site as the bare host.
std::string_view withoutWww(std::string_view host) {
    if (!host.starts_with("www")) return host;
    const std::size_t dot = host.find_first_not_of("0123456789", 3);
    return dot != std::string_view::npos && host[dot] == '.' ? host.substr(dot + 1) : host;
}

std::vector<std::string_view> split(std::string_view s, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = s.find(separator, start);
        parts.push_back(s.substr(start, end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

std::string join(const std::vector<std::string_view>& parts, char separator) {
    std::string joined;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) joined += separator;
        joined += parts[i];
    }
    return joined;
}

std::string jsonString(std::string_view s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string cdxjLine(const WarcEntry& r, bool revisit, std::string_view fileName) {
    const std::string url = r.field("WARC-Target-URI");
    std::string time;
    for (const char c : r.field("WARC-Date"))
        if (c >= '0' && c <= '9' && time.size() < 14) time += c;
    std::string mime = "warc/revisit";
    if (!revisit) {
        const std::string type(httpHeaderValue(r.httpHead, "Content-Type"));
        mime = asciiLower(trimBlanks(std::string_view(type).substr(0, type.find(';'))));
        if (mime.empty()) mime = "unk";
    }
    std::string json = "{\"url\": " + jsonString(url) + ", \"mime\": " + jsonString(mime);
    const std::string_view status = httpStatusText(r.httpHead);
    if (!status.empty()) json += ", \"status\": " + jsonString(status);
    std::string digest = r.field("WARC-Payload-Digest");
    if (startsWithNoCase(digest, "sha1:")) digest.erase(0, 5);
    if (!digest.empty()) json += ", \"digest\": " + jsonString(digest);
    json += ", \"length\": " + jsonString(std::to_string(r.length)) +
            ", \"offset\": " + jsonString(std::to_string(r.offset)) + ", \"filename\": " + jsonString(fileName);
    return surtKey(url) + " " + time + " " + json + "}\n";
}

}  // namespace

std::string surtKey(std::string_view url) {
    url = url.substr(0, url.find('#'));
    std::string scheme;
    if (const std::size_t sep = url.find("://"); sep != std::string_view::npos) {
        scheme = asciiLower(url.substr(0, sep));
        url.remove_prefix(sep + 3);
    }
    const std::size_t pathStart = std::min(url.find_first_of("/?"), url.size());
    std::string_view authority = url.substr(0, pathStart);
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
    std::string_view port;
    if (const std::size_t colon = authority.rfind(':');
        colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos) {
        port = authority.substr(colon + 1);
        authority = authority.substr(0, colon);
    }
    if ((scheme == "http" && port == "80") || (scheme == "https" && port == "443")) port = {};
    const std::string host = asciiLower(authority);
    // An IPv4 address is turned around like a name, as replay tools do.
    std::vector<std::string_view> labels = split(withoutWww(host), '.');
    std::reverse(labels.begin(), labels.end());
    std::string key = join(labels, ',');
    if (!port.empty()) key += ":" + std::string(port);
    const std::string rest = asciiLower(url.substr(pathStart));
    const std::size_t q = rest.find('?');
    const std::string path = rest.substr(0, q);
    key += ")" + (path.empty() ? std::string("/") : path);
    if (q != std::string::npos && q + 1 < rest.size()) {
        std::vector<std::string_view> params = split(std::string_view(rest).substr(q + 1), '&');
        std::sort(params.begin(), params.end());
        key += "?" + join(params, '&');
    }
    return key;
}

std::string cdxjLines(const std::vector<WarcEntry>& records, std::string_view fileName) {
    std::vector<std::string> lines;
    for (const WarcEntry& r : records) {
        const std::string type = r.field("WARC-Type");
        if (type == "response" || type == "revisit") lines.push_back(cdxjLine(r, type == "revisit", fileName));
    }
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const std::string& line : lines) out += line;
    return out;
}

bool writeCdxjIndex(const std::string& warcPath, const WarcFileScan& scan) {
    const std::string lines = cdxjLines(scan.records, warcPath.substr(warcPath.rfind('/') + 1));
    PartFile file;
    return file.open(warcPath + ".cdxj") && file.write(lines.data(), lines.size()) && file.commit();
}

}  // namespace gleanery
