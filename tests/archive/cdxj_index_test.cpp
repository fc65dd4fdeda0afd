// The CDXJ index replay tools read beside a WARC file.
#include <gtest/gtest.h>

#include "archive/cdxj_index.h"

namespace gleanery {
namespace {

TEST(CdxjIndex, KeysUrlsInSortFriendlyForm) {
    const struct {
        const char* url;
        const char* key;
    } cases[] = {
        {"http://www.Example.com:8080/a?b=2&a=1", "com,example:8080)/a?a=1&b=2"},
        {"HTTPS://user:pw@WWW2.Sub.Example.ORG:443/Path/X.html?Z=1&y=2#Top", "org,example,sub)/path/x.html?y=2&z=1"},
        {"http://example.com", "com,example)/"},
        {"http://example.com:80?", "com,example)/"},
        {"https://example.com:80/", "com,example:80)/"},
        {"http://wwwx.example.com/", "com,example,wwwx)/"},
        {"http://127.0.0.1:8080/A", "1,0,0,127:8080)/a"},
        {"http://localhost:18080/x", "localhost:18080)/x"},
    };
    for (const auto& c : cases) EXPECT_EQ(surtKey(c.url), c.key) << c.url;
}

TEST(CdxjIndex, ListsResponsesAndRevisitsSorted) {
    const auto record = [](const char* type, const char* url, const char* digest, std::string head) {
        std::vector<WarcField> fields = {
            {"WARC-Type", type}, {"WARC-Target-URI", url}, {"WARC-Date", "2026-12-07T15:04:05.25Z"}};
        if (*digest) fields.push_back({"WARC-Payload-Digest", digest});
        return WarcEntry{0, 0, fields, std::move(head)};
    };
    std::vector<WarcEntry> records = {
        record("response", "http://h.example/b", "sha1:ABC", "HTTP/1.1 200 OK\r\nContent-Type: Text/HTML; x=y\r\n"),
        record("revisit", "http://h.example/a", "sha1:ABC", "HTTP/1.1 304 Not Modified\r\n"),
        record("request", "http://h.example/a", "", "GET /a HTTP/1.1\r\n"),
        record("response", "http://h.example/c", "", "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n"),
        record("warcinfo", "", "", ""),
    };
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].offset = 100 * i;
        records[i].length = 10 + i;
    }

    EXPECT_EQ(cdxjLines(records, "a\"\\\x01.warc.gz"),
              "example,h)/a 20261207150405 {\"url\": \"http://h.example/a\", \"mime\": \"warc/revisit\", "
              "\"status\": \"304\", \"digest\": \"ABC\", \"length\": \"11\", \"offset\": \"100\", "
              "\"filename\": \"a\\\"\\\\\\u0001.warc.gz\"}\n"
              "example,h)/b 20261207150405 {\"url\": \"http://h.example/b\", \"mime\": \"text/html\", "
              "\"status\": \"200\", \"digest\": \"ABC\", \"length\": \"10\", \"offset\": \"0\", "
              "\"filename\": \"a\\\"\\\\\\u0001.warc.gz\"}\n"
              "example,h)/c 20261207150405 {\"url\": \"http://h.example/c\", \"mime\": \"unk\", "
              "\"status\": \"404\", \"length\": \"13\", \"offset\": \"300\", "
              "\"filename\": \"a\\\"\\\\\\u0001.warc.gz\"}\n");
}

}  // namespace
}  // namespace gleanery
