// A transfer as the transport sees it on the wire: hops split at each
// request, bodies kept raw, digests taken of the right bytes.
#include <gtest/gtest.h>

#include "archive/http_exchange.h"

namespace gleanery::test {
namespace {

// A redirect, then an interim answer and a chunked body with an extension
// and a trailer, fed in pieces of every size the wire might cut them into.
TEST(HttpExchange, KeepsEachHopRawWithoutCredentialsAndDigestsItsPayload) {
    const std::string redirectHead = "HTTP/1.1 301 Moved\r\nLocation: /b\r\nContent-Length: 3\r\n\r\n";
    const std::string interim = "HTTP/1.1 100 Continue\r\n\r\n";
    const std::string finalHead = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    const std::string chunked = "5;note=x\r\nhello\r\n7\r\n, world\r\n0\r\nX-Trailer: 1\r\n\r\n";
    for (const std::size_t piece : {std::size_t(1), std::size_t(3), std::size_t(7), chunked.size()}) {
        SCOPED_TRACE(piece);
        HttpExchange exchange("/tmp");
        exchange.requestSent("GET /a HTTP/1.1\r\nHost: h\r\nAuthorization: Basic YTpi\r\n\r\n", "http://u:p@h/a",
                             "10.0.0.1", 100);
        exchange.responseHead(redirectHead);
        exchange.responseBody("moo");
        exchange.requestSent("GET /b HTTP/1.1\r\nHost: h\r\n\r\n", "http://h/b", "10.0.0.2", 101);
        exchange.responseHead(interim);
        exchange.responseHead(finalHead);
        for (std::size_t at = 0; at < chunked.size(); at += piece) exchange.responseBody(chunked.substr(at, piece));

        ASSERT_EQ(exchange.hops().size(), 2u);
        const HttpHop& first = *exchange.hops()[0];
        EXPECT_EQ(first.targetUri, "http://h/a");
        EXPECT_EQ(first.request, "GET /a HTTP/1.1\r\nHost: h\r\n\r\n");
        EXPECT_EQ(first.status(), 301);
        EXPECT_EQ(first.payloadDigest.result(), warcDigestOf("moo"));
        const HttpHop& second = *exchange.hops()[1];
        EXPECT_EQ(second.ipAddress, "10.0.0.2");
        EXPECT_EQ(second.responseHead, finalHead);
        EXPECT_EQ(second.body.size(), chunked.size());
        EXPECT_EQ(second.blockDigest.result(), warcDigestOf(finalHead + chunked));
        EXPECT_EQ(second.payloadDigest.result(), warcDigestOf("hello, world"));
    }
}

TEST(SpooledBytes, ALargeBodyMovesToATemporaryFileAndReadsBackWhole) {
    SpooledBytes bytes("/tmp");
    std::string expected;
    for (int i = 0; expected.size() < 3 * 1024 * 1024; ++i) {
        const std::string piece(std::size_t(1000 + i % 7), char('a' + i % 26));
        ASSERT_TRUE(bytes.append(piece));
        expected += piece;
    }
    std::string back;
    ASSERT_TRUE(bytes.read([&](std::string_view piece) {
        back.append(piece);
        return true;
    }));
    EXPECT_EQ(bytes.size(), expected.size());
    EXPECT_TRUE(back == expected);
}

}  // namespace
}  // namespace gleanery::test
