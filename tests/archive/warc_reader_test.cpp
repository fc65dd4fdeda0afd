// Reading a .warc.gz back: its records, and where a torn or damaged file stops being sound.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "archive/cdxj_index.h"
#include "archive/warc_reader.h"
#include "common/files.h"
#include "common/noise_bytes.h"

namespace gleanery {
namespace {

// One writer for every member, as the archive uses it; a member of media
// is stored rather than compressed.
std::string gzipped(std::string_view bytes, bool compress = true) {
    static GzipMemberWriter writer;
    std::string out;
    writer.begin(
        [&](std::string_view piece) {
            out += piece;
            return true;
        },
        compress);
    writer.add(bytes);
    writer.finish();
    return out;
}

std::string warcRecord(std::vector<WarcField> fields, std::string_view block) {
    fields.push_back({"WARC-Block-Digest", warcDigestOf(block)});
    return warcRecordHead(fields, block.size()) + std::string(block) + std::string(kWarcRecordEnd);
}

std::string replaced(std::string s, std::string_view from, std::string_view to) {
    return s.replace(s.find(from), from.size(), to);
}

const std::string kRequestBlock = "GET /a HTTP/1.1\r\nHost: h.example\r\n\r\n";
const std::string kResponseBlock =
    "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n" + test::noiseBytes(150 * 1024, 7);
const std::string kInfo =
    warcRecord({{"WARC-Type", "warcinfo"}, {"Content-Type", "application/warc-fields"}}, "software: gleanery\r\n\r\n");
const std::string kResponse = warcRecord({{"WARC-Type", "response"},
                                          {"WARC-Target-URI", "http://h.example/a"},
                                          {"WARC-Date", "2026-12-07T15:04:05Z"},
                                          {"Content-Type", "application/http;msgtype=response"}},
                                         kResponseBlock);
const std::string kRequest =
    warcRecord({{"WARC-Type", "request"}, {"Content-Type", "application/http;msgtype=request"}}, kRequestBlock);

struct Written {
    QTemporaryDir dir;
    std::string path = dir.filePath("site.warc.gz").toStdString();
    explicit Written(const std::string& bytes) { EXPECT_TRUE(test::writeFile(path, bytes)); }
};

TEST(WarcReader, ReadsBackEveryRecord) {
    const std::string members[] = {gzipped(kInfo), gzipped(kResponse, false), gzipped(kRequest)};
    const Written file(members[0] + members[1] + members[2]);
    const WarcFileScan scan = scanWarcFile(file.path);

    EXPECT_TRUE(scan.whole());
    ASSERT_EQ(scan.records.size(), 3u);
    std::uint64_t offset = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(scan.records[i].offset, offset) << i;
        EXPECT_EQ(scan.records[i].length, members[i].size()) << i;
        offset += members[i].size();
    }
    const WarcEntry& response = scan.records[1];
    EXPECT_EQ(response.field("warc-target-uri"), "http://h.example/a");
    EXPECT_EQ(response.field("Content-Length"), std::to_string(kResponseBlock.size()));
    EXPECT_EQ(response.field("WARC-Refers-To"), "");
    EXPECT_EQ(response.httpHead, "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n");
    EXPECT_EQ(scan.records[0].httpHead, "");
    EXPECT_EQ(scan.records[2].httpHead, "GET /a HTTP/1.1\r\nHost: h.example\r\n");

    EXPECT_TRUE(writeCdxjIndex(file.path, scan));
    EXPECT_EQ(test::readFile(file.path + ".cdxj"), cdxjLines(scan.records, "site.warc.gz"));
}

TEST(WarcReader, StopsAtTheFirstRecordThatIsNotWhole) {
    const std::string info = gzipped(kInfo);
    const std::string response = gzipped(kResponse);
    const std::string request = gzipped(kRequest);
    const std::string sound = info + response;
    const std::string older = gzipped(replaced(kRequest, "WARC/1.1", "WARC/1.0"));
    const auto declaring = [](std::size_t length) {
        const auto field = [](std::size_t n) { return "Content-Length: " + std::to_string(n); };
        return gzipped(replaced(kRequest, field(kRequestBlock.size()), field(length)));
    };
    const std::string bare = "WARC/1.1\r\nContent-Length: 0\r\n\r\n";
    std::string badCrc = request;
    badCrc[badCrc.size() - 8] ^= 1;

    const struct {
        const char* what;
        std::string bytes;
        std::size_t records;
        std::uint64_t soundBytes;
    } cases[] = {
        {"empty", "", 0, 0},
        {"an older version", sound + older, 3, sound.size() + older.size()},
        {"torn in a long member", info + response.substr(0, 70000), 1, info.size()},
        {"torn mid-member", sound + request.substr(0, request.size() / 2), 2, sound.size()},
        {"one byte short", sound + request.substr(0, request.size() - 1), 2, sound.size()},
        {"garbage after", sound + request + "junk", 3, sound.size() + request.size()},
        {"bad checksum", sound + badCrc, 2, sound.size()},
        {"block not its digest", sound + gzipped(replaced(kRequest, "GET /a", "GET /b")), 2, sound.size()},
        {"block longer than declared", sound + declaring(kRequestBlock.size() - 1), 2, sound.size()},
        {"block shorter than declared", sound + declaring(kRequestBlock.size() + 2), 2, sound.size()},
        {"no closing bytes", sound + gzipped(bare), 2, sound.size()},
        {"no length", sound + gzipped(replaced(bare, "Content-Length: 0", "X: 0") + "\r\n\r\n"), 2, sound.size()},
        {"head too long", sound + gzipped(replaced(kRequest, "\r\n", "\r\nX: " + std::string(70000, 'x') + "\r\n")), 2,
         sound.size()},
        {"two records in a member", sound + gzipped(kRequest + kRequest), 2, sound.size()},
        {"a line without a colon", sound + gzipped(replaced(kRequest, "WARC-Type:", "WARC-Type")), 2, sound.size()},
        {"not a WARC head", sound + gzipped(replaced(kRequest, "WARC/1.1", "WARC/2.0")), 2, sound.size()},
    };
    for (const auto& c : cases) {
        const Written file(c.bytes);
        const WarcFileScan scan = scanWarcFile(file.path);
        EXPECT_TRUE(scan.opened) << c.what;
        EXPECT_EQ(scan.records.size(), c.records) << c.what;
        EXPECT_EQ(scan.soundBytes, c.soundBytes) << c.what;
        EXPECT_EQ(scan.fileBytes, c.bytes.size()) << c.what;
    }
    EXPECT_FALSE(scanWarcFile("/nonexistent/site.warc.gz").opened);
}

}  // namespace
}  // namespace gleanery
