// Writing WARC records: heads, dates, digests and the gzip member around each.
#include <gtest/gtest.h>

#include "archive/warc_format.h"
#include "common/noise_bytes.h"

namespace gleanery {
namespace {

TEST(WarcFormat, WritesHeadsAndDates) {
    EXPECT_EQ(warcRecordHead({{"WARC-Type", "response"}, {"WARC-Date", "x"}}, 12),
              "WARC/1.1\r\nWARC-Type: response\r\nWARC-Date: x\r\nContent-Length: 12\r\n\r\n");
    EXPECT_EQ(warcRecordHead({}, 0), "WARC/1.1\r\nContent-Length: 0\r\n\r\n");

    const struct {
        std::int64_t seconds;
        const char* date;
    } dates[] = {
        {0, "1970-01-01T00:00:00Z"},
        {951782400, "2000-02-29T00:00:00Z"},
        {1796655845, "2026-12-07T15:04:05Z"},
        {4102444799, "2099-12-31T23:59:59Z"},
    };
    for (const auto& d : dates) EXPECT_EQ(warcDate(d.seconds), d.date) << d.seconds;
}

TEST(WarcDigest, GivesBase32Sha1OfAllPieces) {
    const struct {
        std::vector<std::string> pieces;
        const char* digest;
    } cases[] = {
        {{}, "sha1:3I42H3S6NNFQ2MSVX7XZKYAYSCX5QBYJ"},
        {{"abc"}, "sha1:VGMT4NSHA2AWVOR6EVYXQUGCNSONBWE5"},
        {{"a", "", "bc"}, "sha1:VGMT4NSHA2AWVOR6EVYXQUGCNSONBWE5"},
        {{"The quick brown fox ", "jumps over the lazy dog"}, "sha1:F7KODRT2FUUPZ3MET3Q3W5XHHENZH2YS"},
    };
    for (const auto& c : cases) {
        WarcDigest digest;
        for (const std::string& p : c.pieces) {
            digest.add(p);
            digest.result();  // an early look must not change the end result
        }
        EXPECT_EQ(digest.result(), c.digest) << testing::PrintToString(c.pieces);
    }
}

TEST(GzipMemberWriter, StopsWhenTheSinkRefuses) {
    // Bytes that do not compress, so that output reaches the sink before finish().
    const std::string noise = test::noiseBytes(300 * 1024, 1);

    for (const int accepted : {0, 2, 100}) {
        int calls = 0;
        GzipMemberWriter writer;
        writer.begin([&](std::string_view) { return calls++ < accepted; });
        const bool added = writer.add(noise);
        const bool finished = writer.finish();
        EXPECT_EQ(added, accepted == 100) << accepted;
        EXPECT_EQ(finished, accepted == 100) << accepted;
        if (accepted < 100) {
            EXPECT_EQ(calls, accepted + 1) << "the sink is not asked again";
        }
    }
}

}  // namespace
}  // namespace gleanery
